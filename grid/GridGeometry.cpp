#include "grid/GridGeometry.h"

#include <algorithm>

namespace GridGeometry {

CGridCellPos TopLeftScrollCell(const CGridModel &m, const GridView &v)
{
    int col = m.GetFixedColumnCount();
    for (int sum = 0; sum < v.hPos && col < m.GetColumnCount() - 1; ++col)
        sum += m.GetColumnWidth(col);
    int row = m.GetFixedRowCount();
    for (int sum = 0; sum < v.vPos && row < m.GetRowCount() - 1; ++row)
        sum += m.GetRowHeight(row);
    return {row, col};
}

namespace {
// Walks from the first scrolled row (column) to the one that reaches the client's far edge.
struct Walk {
    int last;  // index of the last one reached
    int edge;  // the far edge after it
};

Walk WalkRows(const CGridModel &m, int first, int limit)
{
    int edge = m.GetFixedRowHeight();
    int i = first;
    for (; i < m.GetRowCount(); ++i) {
        edge += m.GetRowHeight(i);
        if (edge >= limit)
            break;
    }
    return {std::min(i, m.GetRowCount() - 1), edge};
}

Walk WalkCols(const CGridModel &m, int first, int limit)
{
    int edge = m.GetFixedColumnWidth();
    int i = first;
    for (; i < m.GetColumnCount(); ++i) {
        edge += m.GetColumnWidth(i);
        if (edge >= limit)
            break;
    }
    return {std::min(i, m.GetColumnCount() - 1), edge};
}
}  // namespace

CGridCellRange VisibleCellRange(const CGridModel &m, const GridView &v, CRect *rect)
{
    const CGridCellPos tl = TopLeftScrollCell(m, v);
    const Walk rows = WalkRows(m, tl.row, v.clientHeight);
    const Walk cols = WalkCols(m, tl.col, v.clientWidth);
    if (rect)
        *rect = {0, 0, std::min(cols.edge, v.clientWidth), std::min(rows.edge, v.clientHeight)};
    return {tl.row, tl.col, rows.last, cols.last};
}

CGridCellRange WhollyVisibleCellRange(const CGridModel &m, const GridView &v)
{
    const CGridCellPos tl = TopLeftScrollCell(m, v);
    Walk rows = WalkRows(m, tl.row, v.clientHeight);
    Walk cols = WalkCols(m, tl.col, v.clientWidth);
    if (rows.last > 0 && rows.edge > v.clientHeight)
        --rows.last;
    if (cols.last > 0 && cols.edge > v.clientWidth)
        --cols.last;
    return {tl.row, tl.col, rows.last, cols.last};
}

bool CellOrigin(const CGridModel &m, const GridView &v, int row, int col, CPoint *origin)
{
    if (!m.IsValidCell(row, col))
        return false;
    const CGridCellPos tl = TopLeftScrollCell(m, v);
    if ((row >= m.GetFixedRowCount() && row < tl.row) || (col >= m.GetFixedColumnCount() && col < tl.col))
        return false;
    int x = 0;
    if (col < m.GetFixedColumnCount()) {
        for (int c = 0; c < col; ++c)
            x += m.GetColumnWidth(c);
    } else {
        x = m.GetFixedColumnWidth();
        for (int c = tl.col; c < col; ++c)
            x += m.GetColumnWidth(c);
    }
    int y = 0;
    if (row < m.GetFixedRowCount()) {
        for (int r = 0; r < row; ++r)
            y += m.GetRowHeight(r);
    } else {
        y = m.GetFixedRowHeight();
        for (int r = tl.row; r < row; ++r)
            y += m.GetRowHeight(r);
    }
    if (origin)
        *origin = {x, y};
    return true;
}

bool CellRect(const CGridModel &m, const GridView &v, int row, int col, CRect *rect)
{
    CPoint o;
    if (!CellOrigin(m, v, row, col, &o))
        return false;
    if (rect)
        *rect = {o.x, o.y, o.x + m.GetColumnWidth(col) - 1, o.y + m.GetRowHeight(row) - 1};
    return true;
}

bool RangeRect(const CGridModel &m, const GridView &v, const CGridCellRange &range, CRect *rect)
{
    CPoint tl, br;
    if (!CellOrigin(m, v, range.minRow, range.minCol, &tl) || !CellOrigin(m, v, range.maxRow, range.maxCol, &br))
        return false;
    if (rect)
        *rect = {tl.x, tl.y, br.x + m.GetColumnWidth(range.maxCol) - 1, br.y + m.GetRowHeight(range.maxRow) - 1};
    return true;
}

namespace {
template <class SizeOf>
int IndexAt(int p, bool allowFixed, int fixedCount, int fixedExtent, int firstScrolled, int count, SizeOf size)
{
    if (p < 0 || (!allowFixed && p < fixedExtent))
        return -1;
    int edge = 0;
    if (p < fixedExtent) {
        int i = 0;
        for (; i < fixedCount; ++i) {
            edge += size(i);
            if (edge > p)
                break;
        }
        return i < count ? i : -1;
    }
    edge = fixedExtent;
    int i = firstScrolled;
    for (; i < count; ++i) {
        edge += size(i);
        if (edge > p)
            break;
    }
    return i < count ? i : -1;
}
}  // namespace

CGridCellPos CellFromPoint(const CGridModel &m, const GridView &v, CPoint pt, bool allowFixed)
{
    const CGridCellPos tl = TopLeftScrollCell(m, v);
    const int col = IndexAt(pt.x, allowFixed, m.GetFixedColumnCount(), m.GetFixedColumnWidth(), tl.col,
                            m.GetColumnCount(), [&](int i) { return m.GetColumnWidth(i); });
    const int row = IndexAt(pt.y, allowFixed, m.GetFixedRowCount(), m.GetFixedRowHeight(), tl.row,
                            m.GetRowCount(), [&](int i) { return m.GetRowHeight(i); });
    return {row, col};
}

bool IsCellVisible(const CGridModel &m, const GridView &v, int row, int col)
{
    const CGridCellPos tl = TopLeftScrollCell(m, v);
    if ((row >= m.GetFixedRowCount() && row < tl.row) || (col >= m.GetFixedColumnCount() && col < tl.col))
        return false;
    int left = 0, from = 0;
    if (col >= m.GetFixedColumnCount()) {
        left = m.GetFixedColumnWidth();
        from = tl.col;
    }
    for (int c = from; c < col; ++c) {
        if (left >= v.clientWidth)
            return false;
        left += m.GetColumnWidth(c);
    }
    int top = 0;
    from = 0;
    if (row >= m.GetFixedRowCount()) {
        top = m.GetFixedRowHeight();
        from = tl.row;
    }
    for (int r = from; r < row; ++r) {
        if (top >= v.clientHeight)
            return false;
        top += m.GetRowHeight(r);
    }
    // The corner itself must lie inside, not only the edge before it.
    return left < v.clientWidth && top < v.clientHeight;
}

int VScrollMax(const CGridModel &m, const GridView &v)
{
    const int scrolled = m.GetTotalHeight() - m.GetFixedRowHeight();
    return v.clientHeight - m.GetFixedRowHeight() < scrolled ? scrolled - 1 : 0;
}

int HScrollMax(const CGridModel &m, const GridView &v)
{
    const int scrolled = m.GetTotalWidth() - m.GetFixedColumnWidth();
    return v.clientWidth - m.GetFixedColumnWidth() < scrolled ? scrolled - 1 : 0;
}

std::vector<int> PrintPageStarts(const CGridModel &m, int pageHeight)
{
    std::vector<int> starts{m.GetFixedRowCount()};
    long long sum = 0;
    for (int r = m.GetFixedRowCount(); r < m.GetRowCount(); ++r) {
        sum += m.GetRowHeight(r);
        if (sum > pageHeight && r > starts.back()) {
            starts.push_back(r);
            sum = m.GetRowHeight(r);
        }
    }
    return starts;
}

}  // namespace GridGeometry
