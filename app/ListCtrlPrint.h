#pragma once
// Prints a report list as a ruled table, page by page: a page header (free text on the left, the
// page number and count on the right), the column titles on every page, the rows, and a footer
// text. The columns keep their proportions on screen and are scaled to the printable width; the
// last page is filled with empty ruled rows.
//
//   CListCtrlPrint job;
//   job.m_strHeader = ...; job.m_strFooter = ...; job.m_strPageFormat = "Page %1 of %2";
//   job.m_pList = &list;
//   job.OnFilePrint();

#include "app/PrinterJob.h"

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QString>

#include <vector>

class CListCtrlCl;
class QPaintDevice;

class CListCtrlPrint : public CPrinterJob {
public:
    CListCtrlPrint();
    ~CListCtrlPrint() override;

    void OnPrint(QPainter &painter, CPrintJobInfo &info) override;
    void OnEndPrinting(CPrintJobInfo &info) override;
    void OnBeginPrinting(CPrintJobInfo &info) override;
    bool OnPreparePrinting(CPrintJobInfo &info, bool preview) override;

    // Each takes a painter to draw with, or none to measure only, and returns the size it takes.
    // The page header and the list header move the rectangle's top down by their height, the
    // page footer moves its bottom up.
    QSize ApplyMargins(QRect &r) const;
    QSize PrintPageHeader(QPainter *p, QRect &r, int page, int pageCount);
    QSize PrintListHeader(QPainter *p, QRect &r);
    QSize PrintFooterExtra(QPainter *p, QRect &r);
    QSize PrintPageFooter(QPainter *p, QRect &r);

    // The layout of the last job, in device units.
    int RowsPerPage() const { return m_nRowsPerPage; }
    int MaxPage() const { return m_nMaxPage; }
    const std::vector<int> &ColumnPositions() const { return m_colPos; }

    QMargins m_rcMarginMM{10, 10, 10, 10};  // left, top, right, bottom in millimetres
    CListCtrlCl *m_pList = nullptr;
    QString m_strHeader;
    QString m_strFooter;
    QString m_strPageFormat;  // %1 the page, %2 the page count
    QString m_strHeaderFont = QStringLiteral("Arial");
    QString m_strFooterFont = QStringLiteral("Times New Roman");
    QString m_strListFont = QStringLiteral("Arial");
    int m_nHeaderFontSize = 12;  // points
    int m_nFooterFontSize = 6;
    int m_nListFontSize = 8;

private:
    QString PageNumberText(int page, int pageCount) const;
    void DrawCell(QPainter &p, const QRect &cell, int col, const QString &text) const;
    int Units(int mm, bool horizontal) const;

    QFont m_fontList, m_fontHeader, m_fontFooter;
    QSize m_szList, m_szHeader, m_szFooter;  // "X" in each font; list and header heights + 4
    std::vector<int> m_colPos;               // left edge of each column, then the table's right edge
    std::vector<int> m_colFormat;            // LVCFMT_* per column
    std::vector<QString> m_colTitle;
    int m_nRowsPerPage = 1;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nMaxPage = 0;
    int m_nFooterHeight = 0;
    QPaintDevice *m_device = nullptr;  // the printer while a job runs
};
