#include "controls/ColorListCtrl.h"

#include "platform/qt/QtGlobals.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

class ColourDelegate : public QStyledItemDelegate {
public:
    explicit ColourDelegate(CColorListCtrl *list) : QStyledItemDelegate(list), m_list(list) {}
    void initStyleOption(QStyleOptionViewItem *opt, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(opt, index);
        const auto [text, back] = m_list->CellColours(index.row(), index.column());
        opt->palette.setColor(QPalette::Text, ToQColor(text));
        opt->backgroundBrush = ToQColor(back);
    }

private:
    CColorListCtrl *m_list;
};

}  // namespace

CColorListCtrl::CColorListCtrl(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new ColourDelegate(this));
    setCornerButtonEnabled(false);
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);
    // The header is the system's: here the console's own header face.
    horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView { background: #262A31; }"
        "QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3A404B, stop:1 #262A31);"
        " color: #E4E8EE; border: none; border-right: 1px solid #0D0F12; border-bottom: 1px solid #0D0F12;"
        " padding: 2px 4px; }"));
}

CColorListCtrl::~CColorListCtrl() = default;

void CColorListCtrl::SetCellColor(int row, int col, COLORREF text, COLORREF back)
{
    m_colors.push_back({row, col, text, back});
    viewport()->repaint();
}

void CColorListCtrl::SetRowColor(int row, COLORREF text, COLORREF back)
{
    for (int col = 0; col < columnCount(); ++col)
        SetCellColor(row, col, text, back);
}

void CColorListCtrl::SetBkColor(COLORREF c)
{
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, ToQColor(c));
    pal.setColor(QPalette::Window, ToQColor(c));
    viewport()->setPalette(pal);
    viewport()->update();
}

void CColorListCtrl::ClearColors()
{
    m_colors.clear();
    viewport()->repaint();
}

bool CColorListCtrl::DeleteAllItems()
{
    setRowCount(0);
    ClearColors();
    return true;
}

bool CColorListCtrl::DeleteItem(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    removeRow(row);
    std::erase_if(m_colors, [row](const LIST_CELL_COLOR &c) { return c.nRow == row; });
    viewport()->update();
    return true;
}

std::pair<COLORREF, COLORREF> CColorListCtrl::CellColours(int row, int col) const
{
    std::pair<COLORREF, COLORREF> c{RGB(0, 0, 0), RGB(255, 255, 255)};
    for (const auto &r : m_colors)
        if (r.nRow == row && r.nCol == col)
            c = {r.clrText, r.clrBack};
    return c;
}
