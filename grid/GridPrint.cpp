// The grid window on paper: a header with the program's and the window's names, the fixed rows on
// every page, as many further rows as fit, and a footer with the page number and the time. All
// drawing is in screen pixels of the grid, scaled onto the paper's printable area.

#include "grid/GridCtrl.h"

#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "res/Strings.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {
constexpr int kPrintDpi = 96;  // the grid's pixels: fonts given in points resolve as on the screen
}  // namespace

void CGridCtrl::Print()
{
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, nullptr);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintTo(printer);
}

bool CGridCtrl::PrintTo(QPrinter &printer)
{
    if (!printer.isValid())
        return false;
    printer.setResolution(kPrintDpi);
    printer.setDocName(QString::fromStdString(g_strProductName));
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const QRect paper = printer.pageLayout().paintRectPixels(printer.resolution());
    CPrintInfo info;
    info.drawRect = QRect(0, 0, paper.width(), paper.height());
    m_bPrinting = true;
    OnBeginPrinting(p, info);
    bool goOn = true;
    for (int page = info.minPage; page <= info.maxPage && goOn; ++page) {
        if (page > info.minPage)
            goOn = printer.newPage();
        if (!goOn)
            break;
        info.curPage = page;
        OnPrint(p, info);
    }
    OnEndPrinting(p, info);
    m_bPrinting = false;
    if (!goOn) {
        printer.abort();
        p.end();
        return false;
    }
    return p.end();
}

void CGridCtrl::OnBeginPrinting(QPainter &, CPrintInfo &info)
{
    m_printerFont = QFont(QStringLiteral("Times New Roman"));
    m_printerFont.setPixelSize(9);
    m_printerFont.setWeight(QFont::Normal);
    const QFontMetrics fm(m_printerFont);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");
    m_charSize = QSize(std::max(1, fm.horizontalAdvance(letters) / 52), std::max(1, fm.height()));

    const int margins = 8 * m_charSize.width();
    m_paperSize = info.drawRect.size();
    const int logicalWidth = std::max(1, GetTotalWidth() + margins);
    const int paperWidth = std::max(1, m_paperSize.width());
    m_logicalPageSize = QSize(logicalWidth, int(qint64(logicalWidth) * m_paperSize.height() / paperWidth));
    m_nPageHeight = m_logicalPageSize.height() - GetFixedRowHeight() - 6 * m_charSize.height();

    // A grid without rows below its headings prints one page of headings.
    info.maxPage = std::max(1, int(GridGeometry::PrintPageStarts(*this, m_nPageHeight).size()));
    info.curPage = 1;
}

void CGridCtrl::OnEndPrinting(QPainter &, CPrintInfo &) { m_printerFont = QFont(); }

namespace {
// The cell grid lines of printing, in the painter's current pen.
void CellLines(QPainter &p, int gridLines, const CRect &rc, bool firstRow, bool firstCol, bool topLine, bool leftLine)
{
    if (gridLines == GVL_HORZ || gridLines == GVL_BOTH) {
        p.drawLine(rc.left - (firstCol ? 0 : 1), rc.bottom, rc.right, rc.bottom);
        if (topLine)
            p.drawLine(rc.left, rc.top, rc.right, rc.top);
    }
    if (gridLines == GVL_VERT || gridLines == GVL_BOTH) {
        p.drawLine(rc.right, rc.top - (firstRow ? 0 : 1), rc.right, rc.bottom);
        if (leftLine)
            p.drawLine(rc.left, rc.top, rc.left, rc.bottom);
    }
}
}  // namespace

void CGridCtrl::OnPrint(QPainter &p, CPrintInfo &info)
{
    p.save();
    p.setFont(m_printerFont);
    p.setWindow(0, 0, m_logicalPageSize.width(), m_logicalPageSize.height());
    p.setViewport(0, 0, m_paperSize.width(), m_paperSize.height());
    const int cw = m_charSize.width(), ch = m_charSize.height();
    const auto origin = [&](int x, int y) { p.setWorldTransform(QTransform::fromTranslate(x, y)); };
    const int textWidth = m_logicalPageSize.width() - 8 * cw;

    origin(4 * cw, 0);
    info.drawRect = QRect(0, 0, textWidth, 2 * ch);
    PrintPageHeader(p, info);

    int top = 3 * ch;
    origin(4 * cw, top);
    info.drawRect = QRect(0, 0, textWidth, GetFixedRowHeight());
    PrintHeadingRows(p, info);
    top += GetFixedRowHeight();

    const std::vector<int> starts = GridGeometry::PrintPageStarts(*this, m_nPageHeight);
    const std::size_t page = std::size_t(std::max(1, info.curPage) - 1);
    if (page < starts.size() && starts[page] < m_nRows) {
        const int first = starts[page];
        const int last = page + 1 < starts.size() ? starts[page + 1] - 1 : m_nRows - 1;
        origin(4 * cw, top);
        p.setPen(QPen(Qt::black, 0));
        for (int r = first, y = 0; r <= last; ++r) {
            const int h = GetRowHeight(r);
            for (int c = 0, x = 0; c < m_nCols; ++c) {
                const int w = GetColumnWidth(c);
                const CRect rc{x, y, x + w - 1, y + h - 1};
                DrawCell(p, r, c, rc, false);
                p.setPen(QPen(Qt::black, 0));
                CellLines(p, m_nGridLines, rc, r == first, c == 0, r == 0, c == 0);
                x += w;
            }
            y += h;
        }
        origin(4 * cw, m_logicalPageSize.height() - 2 * ch);
        info.drawRect = QRect(0, 0, textWidth, 2 * ch);
        PrintPageFooter(p, info);
    }
    p.restore();
}

void CGridCtrl::PrintHeadingRows(QPainter &p, CPrintInfo &)
{
    p.setFont(m_printerFont);
    for (int r = 0, y = 0; r < m_nFixedRows; ++r) {
        const int h = GetRowHeight(r);
        for (int c = 0, x = 0; c < m_nCols; ++c) {
            const int w = GetColumnWidth(c);
            const CRect rc{x, y, x + w - 1, y + h - 1};
            DrawFixedCell(p, r, c, rc, false);
            p.setPen(QPen(Qt::black, 0));
            CellLines(p, m_nGridLines, rc, r == 0, c == 0, r == 0, c == 0);
            x += w;
        }
        y += h;
    }
}

void CGridCtrl::PrintPageHeader(QPainter &p, CPrintInfo &info)
{
    QFont bold = m_printerFont;
    bold.setWeight(QFont::Bold);
    p.setFont(bold);
    p.setPen(Qt::black);
    const QRect r = info.drawRect;
    const QString title = QString::fromStdString(g_strProductName);
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, title);
    // The name of the nearest window above the grid that has one.
    QString name = title;
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        name = w->windowTitle();
        if (!name.isEmpty())
            break;
    }
    p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, name);
    p.setFont(m_printerFont);
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

QString CGridCtrl::PrintPageNumberText(int page, int pages)
{
    return QString::fromStdString(TrArgs(StrId::GridPrintPage, {std::to_string(page), std::to_string(pages)}));
}

void CGridCtrl::PrintPageFooter(QPainter &p, CPrintInfo &info)
{
    QRect r = info.drawRect;
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    QFont bold = m_printerFont;
    bold.setWeight(QFont::Bold);
    p.setFont(bold);
    p.setPen(Qt::black);
    r.translate(0, m_charSize.height() / 2);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
               PrintPageNumberText(info.curPage, info.maxPage));
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
               QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    p.setFont(m_printerFont);
}
