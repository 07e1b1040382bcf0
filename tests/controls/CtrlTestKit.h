#pragma once
// A parent page that records every message its controls send or post.

#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QCoreApplication>
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
