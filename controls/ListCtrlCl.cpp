#include "controls/ListCtrlCl.h"

#include "platform/GlobalData.h"
#include "platform/qt/QtGlobals.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(CListCtrlCl *list) : QStyledItemDelegate(list), m_list(list) {}
    void paint(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const override
    {
        const int row = index.row(), col = index.column();
        QRect r = opt.rect;
        if (col == 0)
            r.setLeft(r.left() - 2);
        p->save();
        p->fillRect(r, (opt.state & QStyle::State_Selected) ? ToQColor(kColourHighlight) : ToQColor(m_list->CellBackColour(row, col)));
        p->setFont(g_bChinese.load() ? g_fontListCn : g_fontListEn);
        p->setPen(ToQColor(m_list->CellTextColour(row, col)));
        p->drawText(opt.rect.adjusted(2, 0, -2, 0), m_list->CellAlignment(col) | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data().toString());
        p->restore();
    }

private:
    CListCtrlCl *m_list;
};

}  // namespace

CListCtrlCl::CListCtrlCl(QWidget *parent) : QTableWidget(parent)
{
    m_pHeader = new CHeaderCtrlCl(this);
    setHorizontalHeader(m_pHeader);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setItemDelegate(new CellDelegate(this));
    setFont(g_bChinese.load() ? g_fontListCn : g_fontListEn);
    setFrameShape(QFrame::NoFrame);
    setCornerButtonEnabled(false);
    SetBkColor(m_clrBack);
}

CListCtrlCl::~CListCtrlCl() = default;

void CListCtrlCl::changeEvent(QEvent *e)
{
    // The list font is the interface language's.
    if (e->type() == QEvent::LanguageChange)
        setFont(g_bChinese.load() ? g_fontListCn : g_fontListEn);
    QTableWidget::changeEvent(e);
}

int CListCtrlCl::InsertColumn(int col, const QString &heading, int format, int width, int)
{
    col = std::clamp(col, 0, columnCount());
    m_pHeader->m_HChar.append(heading);
    const int align = format & 3;
    m_pHeader->m_Format += align == LVCFMT_LEFT ? QLatin1Char('0') : align == LVCFMT_CENTER ? QLatin1Char('1')
                                                : align == LVCFMT_RIGHT ? QLatin1Char('2') : QLatin1Char('1');
    insertColumn(col);
    setHorizontalHeaderItem(col, new QTableWidgetItem(heading));
    if (width >= 0)
        setColumnWidth(col, width);
    return col;
}

int CListCtrlCl::InsertItem(int row, const QString &text)
{
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    if (m_nRowHeight > 0)
        setRowHeight(row, m_nRowHeight);
    setItem(row, 0, new QTableWidgetItem(text));
    return row;
}

bool CListCtrlCl::SetItemText(int row, int col, const QString &text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return false;
    setItem(row, col, new QTableWidgetItem(text));
    return true;
}

QString CListCtrlCl::GetItemText(int row, int col) const
{
    const QTableWidgetItem *it = item(row, col);
    return it ? it->text() : QString();
}

bool CListCtrlCl::DeleteAllItems()
{
    setRowCount(0);
    return true;
}

bool CListCtrlCl::DeleteAllTitles()
{
    m_pHeader->m_HChar.clear();
    return true;
}

void CListCtrlCl::SetHeaderBkColor(int r, int g, int b, int step)
{
    m_pHeader->m_R = r;
    m_pHeader->m_G = g;
    m_pHeader->m_B = b;
    m_pHeader->m_Gradient = step;
    m_pHeader->viewport()->update();
}

void CListCtrlCl::SetHeaderHeight(float factor)
{
    m_pHeader->m_Height = factor;
    m_pHeader->updateGeometry();
    updateGeometries();
}

void CListCtrlCl::SetHeaderFontHW(int height, int width)
{
    m_pHeader->m_fontHeight = height;
    m_pHeader->m_fontWith = width;
}

void CListCtrlCl::SetHeaderTextColor(COLORREF c)
{
    m_pHeader->m_color = c;
    m_pHeader->viewport()->update();
}

void CListCtrlCl::SetColBkColor(int col, COLORREF c) { m_colBack.push_back({col, c}); viewport()->update(); }
void CListCtrlCl::SetColTextColor(int col, COLORREF c) { m_colText.push_back({col, c}); viewport()->update(); }

void CListCtrlCl::SetCellBkColor(int col, int row, COLORREF c)
{
    m_cellBack.clear();
    m_cellBack.push_back({row, col, c});
    viewport()->update();
}

void CListCtrlCl::SetCellTextColor(int col, int row, COLORREF c)
{
    m_cellText.clear();
    m_cellText.push_back({row, col, c});
    viewport()->update();
}

void CListCtrlCl::SetRowBkColor(int row, COLORREF c)
{
    for (int col = 0; col < columnCount(); ++col)
        m_cellBack.push_back({row, col, c});
    viewport()->update();
}

void CListCtrlCl::SetRowTextColor(int row, COLORREF c)
{
    for (int col = 0; col < columnCount(); ++col)
        m_cellText.push_back({row, col, c});
    viewport()->update();
}

bool CListCtrlCl::SetTextColorAll(COLORREF c)
{
    m_clrText = c;
    viewport()->update();
    return true;
}

void CListCtrlCl::SetBkColor(COLORREF c)
{
    m_clrBack = c;
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, ToQColor(c));
    pal.setColor(QPalette::Window, ToQColor(c));
    viewport()->setPalette(pal);
    viewport()->update();
}

void CListCtrlCl::SetFontHW(int height, int width)
{
    m_fontHeight = height;
    m_fontWidth = width;
}

void CListCtrlCl::SetRowHeight(int height)
{
    m_nRowHeight = height;
    if (height > 0) {
        verticalHeader()->setDefaultSectionSize(height);
        for (int r = 0; r < rowCount(); ++r)
            setRowHeight(r, height);
    }
}

std::optional<COLORREF> CListCtrlCl::FindCol(const std::vector<ColColour> &v, int col)
{
    for (const auto &e : v)
        if (e.col == col)
            return e.colour;
    return std::nullopt;
}

std::optional<COLORREF> CListCtrlCl::FindCell(const std::vector<CellColour> &v, int row, int col)
{
    for (const auto &e : v)
        if (e.row == row && e.col == col)
            return e.colour;
    return std::nullopt;
}

COLORREF CListCtrlCl::CellBackColour(int row, int col) const
{
    COLORREF c = m_clrBack;
    if (auto v = FindCol(m_colBack, col))
        c = *v;
    if (auto v = FindCell(m_cellBack, row, col))
        c = *v;
    return c;
}

COLORREF CListCtrlCl::CellTextColour(int row, int col) const
{
    COLORREF c = m_clrText;
    if (auto v = FindCol(m_colText, col))
        c = *v;
    if (auto v = FindCell(m_cellText, row, col))
        c = *v;
    return c;
}

Qt::Alignment CListCtrlCl::CellAlignment(int col) const
{
    const QString &codes = m_pHeader->m_Format;
    const QChar code = col >= 0 && col < codes.size() ? codes[col] : QLatin1Char('1');
    return code == QLatin1Char('0') ? Qt::AlignLeft : code == QLatin1Char('2') ? Qt::AlignRight : Qt::AlignHCenter;
}

void CListCtrlCl::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Delete:
        e->accept();
        return;
    default:
        QTableWidget::keyPressEvent(e);
    }
}
