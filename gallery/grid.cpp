// The grid as the machine-preset dialog shows it: a read-only list of the six presets under a
// header row, row 3 in focus.

#include "gallery/Gallery.h"

#include "grid/GridCtrl.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QFrame>
#include <QPalette>
#include <QWidget>

namespace {

// The console's colours in the roles the grid reads.
QPalette ConsoleGridPalette(QPalette pal)
{
    using namespace Skins::Palette;
    const auto set = [&](QPalette::ColorRole role, QRgb c) { pal.setColor(role, QColor::fromRgb(c)); };
    set(QPalette::Window, Panel);
    set(QPalette::WindowText, Text);
    set(QPalette::Base, 0xFF1F2329);
    set(QPalette::Text, Text);
    set(QPalette::Button, PanelLight);
    set(QPalette::ButtonText, Text);
    set(QPalette::Dark, Background);
    set(QPalette::Light, 0xFF4A515D);
    set(QPalette::Midlight, 0xFF3E4450);
    set(QPalette::Shadow, Frame);
    set(QPalette::Highlight, Accent);
    set(QPalette::HighlightedText, Frame);
    return pal;
}

}  // namespace

ZK_GALLERY(machine_preset_grid)
{
    const bool cn = Gallery::Chinese();
    QWidget panel;
    panel.setPalette(ConsoleGridPalette(panel.palette()));
    panel.setAutoFillBackground(true);
    const QRect r = DluRect(21, 4, 201, 92, DialogUnitsOf(MakePointFont("Arial", 90)));
    panel.resize(r.width() + 2 * r.left(), r.height() + 2 * r.top());

    // The dialog's placeholder control, which the grid takes over.
    auto *placeholder = new QFrame(&panel);
    placeholder->setFrameStyle(QFrame::Box | QFrame::Plain);
    placeholder->setGeometry(r);
    SetCtrlId(placeholder, 2724);
    CComboGridCtrl grid;
    DDX_GridCtrl(&panel, 2724, grid);
    grid.SetRowCount(7);
    grid.SetFixedRowCount(1);
    grid.SetColumnCount(2);
    grid.SetFixedColumnCount(1);
    grid.SetColumnWidth(1, 262);
    grid.SetRowResizing(false);
    grid.SetSingleSelect(true);
    grid.SetEditable(false);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 2; ++col) {
            GRID_ITEM item;
            item.row = row;
            item.col = col;
            item.mask = GRID_MASK_TEXT | GRID_MASK_FORMAT;
            item.format = 0x8025;
            grid.SetItem(&item);
        }
    grid.SetItemText(0, 0, cn ? QStringLiteral("序号") : QStringLiteral("No."));
    grid.SetItemText(0, 1, cn ? QStringLiteral("场景名") : QStringLiteral("Preset"));
    grid.SetLineColor(RGB(51, 153, 255));
    grid.SetFont(g_fontArial16);
    const char *en[] = {"Custom", "Club Night", "Live Stage", "", "Highway Cruise", "Karaoke Hall"};
    const char *zh[] = {"自定义", "夜店", "现场舞台", "", "高速巡航", "卡拉OK厅"};
    for (int p = 1; p <= 6; ++p) {
        grid.SetItemText(p, 0, QString::number(p));
        grid.SetItemText(p, 1, QString::fromUtf8(cn ? zh[p - 1] : en[p - 1]));
    }
    grid.SetSelectedRange(3, 1, 3, 1);
    grid.SetFocusCell(3, 1);
    return Gallery::Shot(panel);
}
