#include "platform/qt/Language.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <vector>

bool SetUiLanguage(bool chinese)
{
    if ((g_bChinese.exchange(chinese ? 1 : 0) != 0) == chinese)
        return false;
    AnnounceLanguageChange();
    return true;
}

void AnnounceLanguageChange()
{
    // Windows with a parent (dialogs, popups) hear it from their parent, which passes the event to
    // all its children; sending it to them as well would make them re-read twice. A handler may
    // close or create windows, so the list is taken first and each entry checked before use.
    std::vector<QPointer<QWidget>> roots;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget())
            roots.emplace_back(w);
    }
    for (const QPointer<QWidget> &w : roots) {
        if (w) {
            QEvent e(QEvent::LanguageChange);
            QCoreApplication::sendEvent(w, &e);
        }
    }
}
