#pragma once
// A parent page that records every message its controls send or post.

#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <vector>

struct RecordedMessage {
    unsigned msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RecordedMessage &) const = default;
};

struct QtAppFirst {
    QtAppFirst() { QtTestApp(); }
};

class RecordingPage : private QtAppFirst, public QWidget {
public:
    RecordingPage()
    {
        resize(400, 300);
        CMessageTable::Ensure(this)->OnAny([this](unsigned m, WPARAM w, LPARAM l) -> LRESULT {
            log.push_back({m, w, l});
            return 0;
        });
    }
    ~RecordingPage() override { CMessageTable::Ensure(this)->OnAny({}); }
    // Messages of one number, after the posted ones have arrived.
    std::vector<RecordedMessage> Of(unsigned msg)
    {
        QCoreApplication::processEvents();
        std::vector<RecordedMessage> r;
        for (const auto &m : log)
            if (m.msg == msg)
                r.push_back(m);
        return r;
    }
    std::vector<unsigned> Numbers()
    {
        QCoreApplication::processEvents();
        std::vector<unsigned> r;
        for (const auto &m : log)
            r.push_back(m.msg);
        return r;
    }
    void Clear()
    {
        QCoreApplication::processEvents();
        log.clear();
    }
    std::vector<RecordedMessage> log;
};

// The popup menu that shows, once it shows, or null.
inline QMenu *OpenedMenu()
{
    QMenu *menu = nullptr;
    WaitUntil([&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        // Shown and activated: a headless platform activates the popup's window a little later,
        // which once the menu has closed would take the focus from the widget under it.
        return menu && menu->isVisible() && QGuiApplication::focusWindow() == menu->windowHandle();
    }, 5000);
    return menu;
}

// Clicks the enabled item of the open menu whose text starts with `text` (a line edit's "&Paste"),
// and waits until the menu has closed. False when there is no such menu or item.
inline bool ClickMenuItem(const QString &text)
{
    QMenu *menu = OpenedMenu();
    if (!menu)
        return false;
    QAction *item = nullptr;
    for (QAction *a : menu->actions())
        if (a->text().startsWith(text) && a->isEnabled())
            item = a;
    if (!item)
        return false;
    const QPoint at = menu->actionGeometry(item).center();
    QTest::mouseMove(menu, at);
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    return WaitUntil([] { return QApplication::activePopupWidget() == nullptr; }, 5000);
}
