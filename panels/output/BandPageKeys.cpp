#include "panels/output/BandPageKeys.h"

#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "panels/output/OutStripMessages.h"
#include "panels/output/OutputKeyNav.h"
#include "platform/qt/WindowMessages.h"

#include <QWidget>

bool HandleBandPageKey(QWidget &page, CMessageTable &table, int key, bool geq)
{
    auto *edit = qobject_cast<CNumEdit *>(page.focusWidget());
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (edit)
            geq ? table.PostMessage(WM_NUMEDIT_KEY, WPARAM(GetCtrlId(edit)), LPARAM(outkeys::kRight))
                : table.PostMessage(WM_NUMEDIT_ENTER, WPARAM(GetCtrlId(edit)), 0);
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (edit)
            table.PostMessage(WM_NUMEDIT_KEY, WPARAM(GetCtrlId(edit)), LPARAM(outkeys::kRight));
        return true;
    case Qt::Key_Escape:
        page.setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}
