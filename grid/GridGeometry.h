#pragma once
// Where the grid's cells lie in its client area, for given scroll positions and client size:
// the first scrolled cell, the visible ranges, cell origins and rectangles, hit tests and the
// scroll maxima. The fixed rows always sit at the top and the fixed columns at the left; the
// scroll positions are pixel offsets into the rest. Cell rectangles end on the cell's last
// pixel (right = x + width - 1), where its grid line is drawn.

#include "grid/GridModel.h"

#include <vector>

struct GridView {
    int hPos = 0;  // horizontal scroll position, pixels
    int vPos = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

namespace GridGeometry {

CGridCellPos TopLeftScrollCell(const CGridModel &m, const GridView &v);
// The cells from the top-left scroll cell to the last row and column that reach into the client
// area; `rect` (optional) receives (0, 0, right, bottom) of what they cover, clipped to the client.
CGridCellRange VisibleCellRange(const CGridModel &m, const GridView &v, CRect *rect = nullptr);
// The same, less a last row or column that is cut off by the client's edge.
CGridCellRange WhollyVisibleCellRange(const CGridModel &m, const GridView &v);
bool CellOrigin(const CGridModel &m, const GridView &v, int row, int col, CPoint *origin);
bool CellRect(const CGridModel &m, const GridView &v, int row, int col, CRect *rect);
bool RangeRect(const CGridModel &m, const GridView &v, const CGridCellRange &range, CRect *rect);
// The cell under a client point; either part is -1 where the point lies outside.
CGridCellPos CellFromPoint(const CGridModel &m, const GridView &v, CPoint pt, bool allowFixed = true);
// A cell counts as visible when its top-left corner lies inside the client area.
bool IsCellVisible(const CGridModel &m, const GridView &v, int row, int col);
// total - fixed - 1 when the scrolled part does not fit, else 0.
int VScrollMax(const CGridModel &m, const GridView &v);
int HScrollMax(const CGridModel &m, const GridView &v);

// The first row of each printed page: the non-fixed rows from the top, a new page where the
// heights so far pass `pageHeight`. One page at least (starting past the last row when there
// are no non-fixed rows).
std::vector<int> PrintPageStarts(const CGridModel &m, int pageHeight);

}  // namespace GridGeometry
