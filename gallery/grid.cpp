// The grid with list columns: a cell being edited in place and a title tip showing a name too long
// for its cell.

#include "gallery/Gallery.h"

#include "controls/CtrlMessages.h"
#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"
#include "platform/qt/DrawText.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "res/Strings.h"

#include <QApplication>
#include <QPainter>

ZK_GALLERY(grid_editing)
{
    const bool cn = Gallery::Chinese();
    QWidget panel;
    panel.setWindowTitle(QTr(StrId::PresetLoadTitle));
    panel.resize(460, 240);
    panel.setAutoFillBackground(true);
    CComboGridCtrl grid(&panel);
    grid.SetRowCount(7);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    grid.Create(QRect(12, 12, 436, 216), &panel, 2724, WS_BORDER);
    grid.SetFont(g_fontArial16);
    for (int r = 0; r < 7; ++r)
        grid.SetRowHeight(r, 28);
    grid.SetColumnWidth(0, 56);
    grid.SetColumnWidth(1, 230);
    grid.SetColumnWidth(2, 140);
    grid.SetLineColor(RGB(51, 153, 255));
    grid.UpdateScrollBars();

    const QStringList levels = cn ? QStringList{"低", "中", "高"} : QStringList{"Low", "Middle", "High"};
    grid.SetColumnList(2, levels);
    const char *en[] = {"Custom", "Club Night", "Live Stage", "Night Drive", "Highway Cruise with the Windows Down",
                        "Karaoke Hall"};
    const char *zh[] = {"自定义", "夜店", "现场舞台", "夜间驾驶", "开着车窗在高速公路上一路巡航到天亮", "卡拉OK厅"};
    grid.SetItemText(0, 0, QTr(StrId::PresetHeaderNumber));
    grid.SetItemText(0, 1, QTr(StrId::PresetHeaderName));
    grid.SetItemText(0, 2, cn ? QStringLiteral("音量") : QStringLiteral("Level"));
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 3; ++c)
            grid.SetItemFormat(r, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    for (int p = 1; p <= 6; ++p) {
        grid.SetItemText(p, 0, QString::number(p));
        grid.SetItemText(p, 1, QString::fromUtf8(cn ? zh[p - 1] : en[p - 1]));
        grid.SetItemText(p, 2, levels.at((p - 1) % 3));
    }

    panel.show();
    panel.activateWindow();
    for (int i = 0; i < 20 && QApplication::activeWindow() != &panel; ++i)
        QApplication::processEvents();
    grid.setFocus();
    QApplication::processEvents();
    // The name of preset 3 opened for editing.
    grid.SetFocusCell(3, 1);
    grid.OnChar(VK_RETURN, false);
    QApplication::processEvents();

    // The long name of preset 5 in a tip over its cell.
    CRect rc;
    grid.GetCellRect(5, 1, &rc);
    const QRect cell(rc.left, rc.top, rc.right - rc.left + 1, rc.bottom - rc.top + 1);
    grid.TitleTip()->Show(cell, grid.GetItemText(5, 1), 0, nullptr, &g_fontArial16);
    QApplication::processEvents();

    QImage shot = Gallery::Shot(panel);
    if (CTitleTip *tip = grid.TitleTip(); tip && tip->isVisible()) {
        QPainter p(&shot);
        p.drawImage(tip->geometry().topLeft() - panel.mapToGlobal(QPoint(0, 0)), tip->grab().toImage());
    } else {
        qWarning("grid_editing: the title tip did not show (focus widget %p)", static_cast<void *>(QApplication::focusWidget()));
        return {};
    }
    grid.TitleTip()->Hide();
    panel.hide();
    return shot;
}
