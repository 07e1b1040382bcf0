// Where the cells lie for given scroll positions and client sizes: scroll cells, visible ranges,
// origins, hit tests and scroll maxima, as tables.

#include "grid/GridGeometry.h"
#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

namespace {

using namespace GridGeometry;

// 1 fixed row of 20 and 1 fixed column of 40; rows of 10, 20, 30, 40 and columns of 50, 60, 70.
struct Sized : CGridModel {
    Sized()
    {
        QtTestApp();
        SetRowCount(5);
        SetColumnCount(4);
        SetFixedRowCount(1);
        SetFixedColumnCount(1);
        const int heights[] = {20, 10, 20, 30, 40};
        const int widths[] = {40, 50, 60, 70};
        for (int r = 0; r < 5; ++r)
            SetRowHeight(r, heights[r]);
        for (int c = 0; c < 4; ++c)
            SetColumnWidth(c, widths[c]);
    }
};

TEST(GridGeometry, TopLeftScrollCellAndVisibleRanges)
{
    Sized m;
    const struct {
        GridView view;
        CGridCellPos topLeft;
        CGridCellRange visible, wholly;
        CRect rect;
    } cases[] = {
        // Everything fits.
        {{0, 0, 300, 200}, {1, 1}, {1, 1, 4, 3}, {1, 1, 4, 3}, {0, 0, 220, 120}},
        // The last row and column are cut by the client's edge.
        {{0, 0, 200, 100}, {1, 1}, {1, 1, 4, 3}, {1, 1, 3, 2}, {0, 0, 200, 100}},
        // Scrolled by one row (10 px) and one column (50 px); a partial offset rounds up.
        {{50, 10, 200, 100}, {2, 2}, {2, 2, 4, 3}, {2, 2, 3, 3}, {0, 0, 170, 100}},
        {{1, 1, 200, 100}, {2, 2}, {2, 2, 4, 3}, {2, 2, 3, 3}, {0, 0, 170, 100}},
        // Scrolling never passes the last row or column.
        {{9999, 9999, 200, 100}, {4, 3}, {4, 3, 4, 3}, {4, 3, 4, 3}, {0, 0, 110, 60}},
    };
    for (const auto &c : cases) {
        CRect rect;
        EXPECT_EQ(TopLeftScrollCell(m, c.view), c.topLeft) << c.view.hPos << "," << c.view.clientWidth;
        EXPECT_EQ(VisibleCellRange(m, c.view, &rect), c.visible) << c.view.hPos << "," << c.view.clientWidth;
        EXPECT_EQ(rect, c.rect) << c.view.hPos << "," << c.view.clientWidth;
        EXPECT_EQ(WhollyVisibleCellRange(m, c.view), c.wholly) << c.view.hPos << "," << c.view.clientWidth;
    }
}

TEST(GridGeometry, OriginsRectsAndHitTests)
{
    Sized m;
    const GridView scrolled{50, 10, 200, 100};  // top-left scroll cell (2, 2)
    const struct {
        int row, col;
        bool has;
        CRect rect;
    } cells[] = {
        {0, 0, true, {0, 0, 39, 19}},   {0, 2, true, {40, 0, 99, 19}}, {2, 0, true, {0, 20, 39, 39}},
        {3, 3, true, {100, 40, 169, 69}}, {4, 3, true, {100, 70, 169, 109}},
        {1, 2, false, {}},  // scrolled out above
        {2, 1, false, {}},  // scrolled out to the left
        {5, 0, false, {}},  // outside the grid
    };
    for (const auto &c : cells) {
        CRect r;
        EXPECT_EQ(CellRect(m, scrolled, c.row, c.col, &r), c.has) << c.row << "," << c.col;
        if (c.has) {
            EXPECT_EQ(r, c.rect) << c.row << "," << c.col;
        }
    }
    CRect range;
    EXPECT_TRUE(RangeRect(m, scrolled, {2, 2, 3, 3}, &range));
    EXPECT_EQ(range, (CRect{40, 20, 169, 69}));
    EXPECT_FALSE(RangeRect(m, scrolled, {1, 2, 3, 3}, &range));

    const struct {
        CPoint pt;
        bool allowFixed;
        CGridCellPos cell;
    } hits[] = {
        {{0, 0}, true, {0, 0}},       {{39, 19}, true, {0, 0}},    {{40, 20}, true, {2, 2}},
        {{99, 39}, true, {2, 2}},     {{100, 40}, true, {3, 3}},   {{10, 50}, false, {3, -1}},
        {{-1, 50}, true, {3, -1}},    {{170, 50}, true, {3, -1}},  // right of the last column
        {{60, 110}, true, {-1, 2}},   // below the last row
    };
    for (const auto &h : hits)
        EXPECT_EQ(CellFromPoint(m, scrolled, h.pt, h.allowFixed), h.cell) << h.pt.x << "," << h.pt.y;
}

TEST(GridGeometry, VisibilityIsTheTopLeftCornerInsideTheClient)
{
    Sized m;
    const GridView v{0, 0, 150, 60};  // rows start at 20, 30, 50, 80; columns at 40, 90, 150
    const struct {
        int row, col;
        bool visible;
    } cases[] = {
        {1, 1, true}, {3, 1, true},   // row 3 starts at 50: cut off but its corner is inside
        {4, 1, false},                // row 4 starts at 80, below the client
        {1, 2, true}, {1, 3, false},  // column 3 starts at 150, the client's right edge
        {0, 0, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsCellVisible(m, v, c.row, c.col), c.visible) << c.row << "," << c.col;
    EXPECT_FALSE(IsCellVisible(m, GridView{0, 10, 150, 60}, 1, 1)) << "scrolled out";
}

TEST(GridGeometry, ScrollMaxima)
{
    Sized m;  // scrolled part: 100 px high, 180 px wide
    EXPECT_EQ(VScrollMax(m, {0, 0, 300, 120}), 0);
    EXPECT_EQ(VScrollMax(m, {0, 0, 300, 119}), 99);
    EXPECT_EQ(HScrollMax(m, {0, 0, 220, 100}), 0);
    EXPECT_EQ(HScrollMax(m, {0, 0, 219, 100}), 179);
}

}  // namespace
