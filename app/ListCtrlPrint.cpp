#include "app/ListCtrlPrint.h"

#include "controls/ListCtrlCl.h"
#include "platform/qt/Fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTableWidgetItem>

#include <algorithm>

namespace {

// A font of a size in points on whatever device it is used with.
QFont PrinterFont(const QString &face, int points)
{
    QFont f = MakePointFont(face, points * 10);
    f.setPointSize(points);
    return f;
}

QString WithoutCarriageReturns(QString text)
{
    text.remove(QLatin1Char('\r'));
    return text;
}

}  // namespace

CListCtrlPrint::CListCtrlPrint() = default;
CListCtrlPrint::~CListCtrlPrint() = default;

int CListCtrlPrint::Units(int mm, bool horizontal) const
{
    const int dpi = m_device ? (horizontal ? m_device->logicalDpiX() : m_device->logicalDpiY()) : 96;
    return static_cast<int>(mm * dpi / 25.4);
}

QSize CListCtrlPrint::ApplyMargins(QRect &r) const
{
    r.adjust(Units(m_rcMarginMM.left(), true), Units(m_rcMarginMM.top(), false), -Units(m_rcMarginMM.right(), true),
             -Units(m_rcMarginMM.bottom(), false));
    return r.size();
}

bool CListCtrlPrint::OnPreparePrinting(CPrintJobInfo &info, bool preview)
{
    info.minPage = 1;
    if (!m_pList || m_pList->rowCount() == 0)
        return false;
    m_nColumns = m_pList->columnCount();
    if (m_nColumns <= 0)
        return false;
    m_nRows = m_pList->rowCount();
    m_colPos.assign(static_cast<std::size_t>(m_nColumns) + 1, 0);
    m_colFormat.assign(static_cast<std::size_t>(m_nColumns), LVCFMT_LEFT);
    m_colTitle.assign(static_cast<std::size_t>(m_nColumns), QString());
    for (int i = 0; i < m_nColumns; ++i) {
        const auto k = static_cast<std::size_t>(i);
        m_colPos[k + 1] = std::max(0, m_pList->columnWidth(i));
        const Qt::Alignment align = m_pList->CellAlignment(i);
        m_colFormat[k] = align & Qt::AlignHCenter ? LVCFMT_CENTER : align & Qt::AlignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        if (const QTableWidgetItem *title = m_pList->horizontalHeaderItem(i))
            m_colTitle[k] = title->text().left(128);
    }
    return CPrinterJob::OnPreparePrinting(info, preview);
}

void CListCtrlPrint::OnBeginPrinting(CPrintJobInfo &info)
{
    m_device = info.printer;
    m_fontList = PrinterFont(m_strListFont, m_nListFontSize);
    m_fontHeader = PrinterFont(m_strHeaderFont, m_nHeaderFontSize);
    m_fontFooter = PrinterFont(m_strFooterFont, m_nFooterFontSize);
    const auto measure = [&](const QFont &f, int extra) {
        const QFontMetrics fm(f, m_device);
        return QSize(fm.horizontalAdvance(QLatin1Char('X')), fm.height() + extra);
    };
    m_szList = measure(m_fontList, 4);
    m_szHeader = measure(m_fontHeader, 4);
    m_szFooter = measure(m_fontFooter, 0);

    // Widths become positions, scaled so that the table fills the printable width.
    for (std::size_t k = 1; k < m_colPos.size(); ++k)
        m_colPos[k] += m_colPos[k - 1];
    QRect r = info.drawRect;
    ApplyMargins(r);
    const int right = m_colPos.empty() ? 0 : m_colPos.back();
    for (std::size_t k = 0; k < m_colPos.size(); ++k) {
        if (right > 0)
            m_colPos[k] = static_cast<int>(m_colPos[k] * (static_cast<double>(r.width()) / right));
        else  // no column has a width on screen: share the page evenly
            m_colPos[k] = static_cast<int>(k) * r.width() / std::max(1, m_nColumns);
    }

    PrintListHeader(nullptr, r);
    PrintPageHeader(nullptr, r, 0, 0);
    const QSize extra = PrintFooterExtra(nullptr, r);
    const QSize footer = PrintPageFooter(nullptr, r);
    m_nFooterHeight = extra.height() + footer.height() + 2;
    // At least one row a page, however large the fonts are against the paper.
    m_nRowsPerPage = std::max(1, r.height() / (m_szList.height() + 1) - 1);
    info.maxPage = m_nRows / m_nRowsPerPage + 1;
    m_nMaxPage = info.maxPage;
}

void CListCtrlPrint::OnEndPrinting(CPrintJobInfo &) { m_device = nullptr; }

QString CListCtrlPrint::PageNumberText(int page, int pageCount) const
{
    return m_strPageFormat.arg(page).arg(pageCount);
}

QSize CListCtrlPrint::PrintPageHeader(QPainter *p, QRect &r, int page, int pageCount)
{
    const QFontMetrics fm(m_fontHeader, m_device);
    if (p)
        p->setFont(m_fontHeader);
    int height = 0;
    int textRight = r.right();
    if (!m_strPageFormat.isEmpty()) {
        const QString text = PageNumberText(page, pageCount);
        const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap;
        const QRect b = fm.boundingRect(r, flags, text);
        const QRect place(r.right() - b.width() + 1, r.top(), b.width(), b.height());
        if (p)
            p->drawText(place, flags, text);
        height = b.height();
        textRight = place.left() - 1;
    }
    if (!m_strHeader.isEmpty()) {
        const QString text = WithoutCarriageReturns(m_strHeader);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRect area(r.left(), r.top(), std::max(0, textRight - r.left()), r.height());
        const QRect b = fm.boundingRect(area, flags, text);
        if (p)
            p->drawText(area, flags, text);
        height = std::max(height, b.height());
    }
    r.setTop(r.top() + height);
    return QSize(r.width(), height);
}

void CListCtrlPrint::DrawCell(QPainter &p, const QRect &cell, int col, const QString &text) const
{
    const int format = m_colFormat[static_cast<std::size_t>(col)];
    const Qt::Alignment align = format == LVCFMT_CENTER  ? Qt::AlignHCenter
                                : format == LVCFMT_RIGHT ? Qt::AlignRight
                                                         : Qt::AlignLeft;
    const int pad = std::max(1, m_szList.width() / 3);
    p.drawText(cell.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter | Qt::TextSingleLine, text);
    p.drawLine(cell.topLeft(), cell.bottomLeft());
    p.drawLine(cell.topLeft(), cell.topRight());
}

QSize CListCtrlPrint::PrintListHeader(QPainter *p, QRect &r)
{
    const int rowH = m_szList.height();
    if (p) {
        p->setFont(m_fontList);
        for (int j = 0; j < m_nColumns; ++j) {
            const auto k = static_cast<std::size_t>(j);
            const QRect cell(QPoint(r.left() + m_colPos[k], r.top()), QPoint(r.left() + m_colPos[k + 1], r.top() + rowH));
            p->fillRect(cell, QColor(224, 224, 224));
            DrawCell(*p, cell, j, m_colTitle[k]);
        }
        const int right = r.left() + (m_colPos.empty() ? 0 : m_colPos.back());
        p->drawLine(QPoint(right, r.top()), QPoint(right, r.top() + rowH));
    }
    r.setTop(r.top() + rowH);
    return QSize(r.width(), rowH);
}

QSize CListCtrlPrint::PrintFooterExtra(QPainter *, QRect &) { return QSize(0, 0); }

QSize CListCtrlPrint::PrintPageFooter(QPainter *p, QRect &r)
{
    if (m_strFooter.isEmpty())
        return QSize(0, 0);
    const QString text = WithoutCarriageReturns(m_strFooter);
    const QFontMetrics fm(m_fontFooter, m_device);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect b = fm.boundingRect(r, flags, text);
    if (p) {
        p->setFont(m_fontFooter);
        p->drawText(QRect(r.left(), r.bottom() - b.height() + 1, r.width(), b.height()), flags, text);
    }
    r.setBottom(r.bottom() - b.height());
    return QSize(r.width(), b.height());
}

void CListCtrlPrint::OnPrint(QPainter &p, CPrintJobInfo &info)
{
    p.setBackgroundMode(Qt::TransparentMode);
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, m_device ? m_device->logicalDpiX() / 200 : 1));
    p.setPen(pen);

    QRect r = info.drawRect;
    ApplyMargins(r);
    PrintPageHeader(&p, r, info.curPage, info.maxPage);
    PrintListHeader(&p, r);

    p.setFont(m_fontList);
    const int rowH = m_szList.height();
    const int first = (info.curPage - 1) * m_nRowsPerPage;
    const int right = r.left() + m_colPos.back();
    int y = r.top();
    for (int row = first; row < first + m_nRowsPerPage; ++row) {
        for (int j = 0; j < m_nColumns; ++j) {
            const auto k = static_cast<std::size_t>(j);
            const QRect cell(QPoint(r.left() + m_colPos[k], y), QPoint(r.left() + m_colPos[k + 1], y + rowH));
            // Rows past the list's last are drawn as empty ruled rows.
            DrawCell(p, cell, j, row < m_nRows ? m_pList->GetItemText(row, j) : QString());
        }
        p.drawLine(QPoint(right, y), QPoint(right, y + rowH + 1));
        y += rowH + 1;
    }
    p.drawLine(QPoint(r.left(), y), QPoint(right, y));

    QRect footer = info.drawRect;
    ApplyMargins(footer);
    footer.setTop(footer.bottom() - m_nFooterHeight);
    PrintFooterExtra(&p, footer);
    PrintPageFooter(&p, footer);
}
