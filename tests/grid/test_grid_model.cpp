// The grid's cell model without a window: structure, cells and items, the focus cell and the
// selection, modified marks and the search, driven as the owner drives them.

#include "grid/GridModel.h"
#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Note {
    int row, col, code;
    bool operator==(const Note &) const = default;
};

// A model that records what it would tell its owner and which cells it would repaint.
class RecordingModel : public CGridModel {
public:
    RecordingModel(int rows, int cols, int fixedRows, int fixedCols)
    {
        QtTestApp();
        SetRowCount(rows);
        SetColumnCount(cols);
        SetFixedRowCount(fixedRows);
        SetFixedColumnCount(fixedCols);
        notes.clear();
    }
    LRESULT NotifyOwner(int row, int col, int code) override
    {
        notes.push_back({row, col, code});
        return 0;
    }
    bool RedrawCell(int row, int col) override
    {
        redrawn.push_back({row, col});
        return true;
    }
    bool InvalidateCell(CGridCellPos p) override
    {
        redrawn.push_back(p);
        return true;
    }
    void SetMode(int mode) { m_nMouseMode = mode; }
    void SetStart(CGridCellPos p) { m_selectionStart = p; }
    void KeepOnCtrl() { m_prevSelected = m_selected; }
    std::vector<Note> notes;
    std::vector<CGridCellPos> redrawn;
};

// The machine-preset list: 7 rows, 2 columns, one fixed row and column, not editable, single
// selection, every cell centred, row 1 selected and (1, 1) the focus, as its dialog sets it up.
struct PresetList : RecordingModel {
    PresetList() : RecordingModel(7, 2, 1, 1)
    {
        SetColumnWidth(1, 262);
        SetRowResizing(false);
        SetSingleSelect(true);
        SetEditable(false);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 2; ++c) {
                GRID_ITEM item;
                item.row = r;
                item.col = c;
                item.mask = GRID_MASK_TEXT | GRID_MASK_FORMAT;
                item.format = 0x8025;
                SetItem(&item);
            }
        SetItemText(0, 0, "No.");
        SetItemText(0, 1, "Name");
        for (int p = 1; p <= 6; ++p) {
            SetItemText(p, 0, QString::number(p));
            SetItemText(p, 1, QStringLiteral("Preset %1").arg(p));
        }
        SetSelectedRange(1, 0, 1, 1);
        SetFocusCell(1, 1);
        notes.clear();
        redrawn.clear();
    }
};

std::vector<CGridCellPos> Selected(const CGridModel &m)
{
    std::vector<CGridCellPos> v;
    for (int r = 0; r < m.GetRowCount(); ++r)
        for (int c = 0; c < m.GetColumnCount(); ++c)
            if (m.IsCellSelected(r, c))
                v.push_back({r, c});
    return v;
}

TEST(GridModel, EmptyGridAnswersNeutralValuesEverywhere)
{
    RecordingModel m(0, 0, 0, 0);
    EXPECT_EQ(m.GetRowCount(), 0);
    EXPECT_EQ(m.GetColumnCount(), 0);
    for (auto [r, c] : std::vector<std::pair<int, int>>{{0, 0}, {-1, 0}, {0, -1}, {5, 5}}) {
        EXPECT_EQ(m.GetCell(r, c), nullptr);
        EXPECT_TRUE(m.GetItemText(r, c).isEmpty());
        EXPECT_EQ(m.GetItemImage(r, c), -1);
        EXPECT_EQ(m.GetItemState(r, c), 0u);
        EXPECT_FALSE(m.SetItemText(r, c, "x"));
        EXPECT_FALSE(m.SetItemFormat(r, c, 1));
    }
    EXPECT_EQ(m.GetRowHeight(0), -1);
    EXPECT_EQ(m.GetColumnWidth(-1), -1);
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(0, 0, -1, -1));
}

TEST(GridModel, CountsSizesAndFixedCounts)
{
    RecordingModel m(2, 3, 0, 0);
    EXPECT_FALSE(m.SetRowCount(-1));
    EXPECT_FALSE(m.SetFixedColumnCount(-2));
    EXPECT_EQ(m.GetRowCount(), 2);

    EXPECT_TRUE(m.SetFixedRowCount(3));  // grows the grid to hold the fixed rows
    EXPECT_EQ(m.GetRowCount(), 3);
    EXPECT_EQ(m.GetFixedRowCount(), 3);

    m.SetFixedRowCount(1);
    m.SetFocusCell(2, 1);
    EXPECT_TRUE(m.SetRowCount(0));
    EXPECT_EQ(m.GetFixedRowCount(), 0);
    EXPECT_EQ(m.GetFocusCell(), CGridCellPos());

    RecordingModel s(3, 3, 1, 1);
    EXPECT_FALSE(s.SetRowHeight(3, 10));
    EXPECT_FALSE(s.SetColumnWidth(0, -1));
    EXPECT_TRUE(s.SetRowHeight(0, 20));
    EXPECT_TRUE(s.SetColumnWidth(0, 50));
    EXPECT_TRUE(s.SetColumnWidth(2, 70));
    EXPECT_EQ(s.GetFixedRowHeight(), 20);
    EXPECT_EQ(s.GetFixedColumnWidth(), 50);
    EXPECT_EQ(s.GetTotalHeight(), 20 + 2 * s.GetDefaultRowHeight());
    EXPECT_EQ(s.GetTotalWidth(), 50 + s.GetDefaultColumnWidth() + 70);

    // Shrinking the columns past the focus clears it and frees the selected cells' map entries.
    s.SetSelectedRange(1, 1, 2, 2);
    s.SetFocusCell(1, 2);
    EXPECT_TRUE(s.SetColumnCount(2));
    EXPECT_EQ(s.GetFocusCell(), CGridCellPos());
    EXPECT_EQ(s.GetSelectedRange(), CGridCellRange(1, 1, 2, 1));
}

TEST(GridModel, NewCellsTakeTheFormatOfTheCellAbove)
{
    RecordingModel m(2, 2, 0, 0);
    EXPECT_EQ(m.GetItemFormat(0, 0), 0u);
    m.SetItemFormat(1, 0, 0x25);
    m.SetItemFormat(1, 1, 0x8025);
    m.SetRowCount(4);
    EXPECT_EQ(m.GetItemFormat(2, 0), 0x25u);
    EXPECT_EQ(m.GetItemFormat(3, 0), 0x25u);
    EXPECT_EQ(m.GetItemFormat(3, 1), 0x8025u);
    m.SetColumnCount(3);
    EXPECT_EQ(m.GetItemFormat(3, 2), 0u);
}

TEST(GridModel, TextsItemsAndAttributes)
{
    RecordingModel m(3, 3, 1, 1);
    m.SetItemText(1, 1, "alpha");
    EXPECT_EQ(m.GetItemAltText(1, 1), "alpha");
    m.SetItemAltText(1, 1, "beta");
    EXPECT_EQ(m.GetItemText(1, 1), "alpha");
    EXPECT_EQ(m.GetItemAltText(1, 1), "beta");

    GRID_ITEM in;
    in.row = 2;
    in.col = 2;
    in.mask = GRID_MASK_TEXT | GRID_MASK_STATE | GRID_MASK_BKCOLOR | GRID_MASK_PARAM;
    in.text = "gamma";
    in.state = GRID_STATE_SELECTED;  // stored as given, outside the selection's bookkeeping
    in.bkColor = RGB(1, 2, 3);
    in.param = 77;
    in.textColor = RGB(9, 9, 9);  // not in the mask
    EXPECT_TRUE(m.SetItem(&in));
    EXPECT_FALSE(m.SetItem(nullptr));
    GRID_ITEM out;
    out.row = 2;
    out.col = 2;
    out.mask = 0xFF;
    EXPECT_TRUE(m.GetItem(&out));
    EXPECT_EQ(out.text, "gamma");
    EXPECT_EQ(out.state, GRID_STATE_SELECTED);
    EXPECT_EQ(out.bkColor, RGB(1, 2, 3));
    EXPECT_EQ(out.textColor, GRID_DEFAULT_COLOR);
    EXPECT_EQ(out.param, 77);
    EXPECT_EQ(m.GetItemAltText(2, 2), "") << "the item sets the first text only";
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(3, 3, -1, -1)) << "selected through the item, not the map";

    in.row = 3;
    EXPECT_FALSE(m.SetItem(&in));
}

TEST(GridModel, ClearCellKeepsTheSecondTextAndLeavesTheSelection)
{
    RecordingModel m(3, 3, 1, 1);
    m.SetItemText(1, 1, "x");
    m.SetSelectedRange(1, 1, 1, 1);
    m.ClearCell(m.GetCell(1, 1), 1, 1);
    EXPECT_EQ(m.GetItemText(1, 1), "");
    EXPECT_EQ(m.GetItemAltText(1, 1), "x");
    EXPECT_EQ(m.SelectedCount(), 0u);
}

TEST(GridModel, InsertAndDeleteRowsAndColumns)
{
    RecordingModel m(3, 2, 1, 1);
    m.SetItemText(1, 1, "a");
    m.SetItemText(2, 1, "b");
    m.SetFocusCell(1, 1);
    EXPECT_EQ(m.InsertRow("new", 1), 1);
    EXPECT_EQ(m.GetRowCount(), 4);
    EXPECT_EQ(m.GetItemText(1, 0), "new");
    EXPECT_EQ(m.GetItemText(2, 1), "a");
    EXPECT_EQ(m.GetFocusCell(), CGridCellPos()) << "insertion clears focus and selection";
    EXPECT_EQ(m.InsertRow("x", 4), -1);
    EXPECT_EQ(m.InsertColumn("H", 0x25), 2);
    EXPECT_EQ(m.GetItemText(0, 2), "H");
    EXPECT_EQ(m.GetItemFormat(3, 2), 0x25u);

    EXPECT_TRUE(m.DeleteColumn(0));
    EXPECT_EQ(m.GetFixedColumnCount(), 0);
    EXPECT_EQ(m.GetColumnCount(), 2);
    EXPECT_FALSE(m.DeleteRow(4));
    EXPECT_TRUE(m.DeleteScrollRows());
    EXPECT_EQ(m.GetRowCount(), 1);
    EXPECT_TRUE(m.DeleteAll());
    EXPECT_EQ(m.GetRowCount() + m.GetColumnCount() + m.GetFixedRowCount() + m.GetFixedColumnCount(), 0);

    RecordingModel empty(0, 0, 0, 0);
    EXPECT_EQ(empty.InsertColumn("only"), 0);
    EXPECT_EQ(empty.GetRowCount(), 1);
    EXPECT_EQ(empty.GetItemText(0, 0), "only");
}

TEST(GridModel, ModifiedMarks)
{
    RecordingModel m(4, 4, 1, 1);
    m.SetModified(true, 0, 3);  // row 0 addresses the whole grid
    EXPECT_TRUE(m.IsModified());
    EXPECT_FALSE(m.IsModified(1, 3));

    m.SetModified(true, 2, 2);
    EXPECT_TRUE(m.IsModified(2, 2));
    m.SetModified(false, 1, 1);  // the grid's flag stays set: other cells keep theirs
    EXPECT_TRUE(m.IsModified(2, 2));
    m.SetModified(false);
    EXPECT_FALSE(m.IsModified(2, 2));

    m.SetItemState(3, 3, GRID_STATE_MODIFIED | GRID_STATE_READONLY);
    m.SetModified(false, 2, 2);  // flag already clear: every cell loses the bit
    EXPECT_EQ(m.GetItemState(3, 3), GRID_STATE_READONLY);
}

TEST(GridModel, FocusInAGridThatIsNotEditableSelectsItsCell)
{
    PresetList m;
    EXPECT_EQ(m.GetItemState(1, 1), GRID_STATE_SELECTED);
    m.SetFocusCell(2, 1);
    EXPECT_EQ(m.GetItemState(2, 1), GRID_STATE_SELECTED);
    EXPECT_TRUE(m.IsCellSelected(1, 1)) << "the old focus stays selected until the selection is replaced";
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(1, 0, 2, 1));
    EXPECT_EQ(m.notes, (std::vector<Note>{{1, 1, LVN_ITEMCHANGING}, {2, 1, LVN_ITEMCHANGED}}));

    m.notes.clear();
    m.SetFocusCell(2, 1);
    EXPECT_TRUE(m.notes.empty()) << "the same focus again sends nothing";
    m.SetFocusCell(-1, -1);
    EXPECT_EQ(m.notes, (std::vector<Note>{{2, 1, LVN_ITEMCHANGING}}));
    m.notes.clear();
    m.SetFocusCell(3, 1);
    EXPECT_EQ(m.notes, (std::vector<Note>{{3, 1, LVN_ITEMCHANGED}}));
}

TEST(GridModel, FocusInAnEditableGridAddsTheFocusBitAndRedrawsItsHeaders)
{
    RecordingModel m(4, 4, 1, 1);
    m.SetItemState(2, 2, GRID_STATE_READONLY);
    m.redrawn.clear();
    m.SetFocusCell(2, 2);
    EXPECT_EQ(m.GetItemState(2, 2), GRID_STATE_READONLY | GRID_STATE_FOCUSED);
    EXPECT_EQ(m.redrawn, (std::vector<CGridCellPos>{{2, 2}, {0, 2}, {2, 0}}));
    m.redrawn.clear();
    m.SetFocusCell(2, 3);  // same row: only the column headers change
    EXPECT_EQ(m.GetItemState(2, 2), GRID_STATE_READONLY);
    EXPECT_EQ(m.redrawn, (std::vector<CGridCellPos>{{2, 2}, {0, 2}, {2, 3}, {0, 3}}));

    m.SetEditable(false);  // re-applies the focus in the new mode
    EXPECT_EQ(m.GetItemState(2, 3), GRID_STATE_SELECTED);
}

TEST(GridModel, SelectedRanges)
{
    PresetList m;
    EXPECT_EQ(Selected(m), (std::vector<CGridCellPos>{{1, 0}, {1, 1}})) << "fixed cells are selected too";
    m.SetSelectedRange(-1, -1, -1, -1);
    EXPECT_TRUE(Selected(m).empty());
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(7, 2, -1, -1));

    const struct {
        CGridCellRange in;
        std::size_t count;
    } cases[] = {
        {{2, 1, 4, 1}, 3}, {{6, 0, 6, 1}, 2}, {{0, 0, 6, 1}, 14},
        {{3, 1, 2, 1}, 0},  // min above max
        {{1, 1, 7, 1}, 0},  // beyond the last row
        {{1, 2, 1, 2}, 0},  // beyond the last column
    };
    for (const auto &c : cases) {
        m.SetSelectedRange(c.in);
        EXPECT_EQ(m.SelectedCount(), c.count) << c.in.minRow << "," << c.in.minCol;
        if (c.count) {
            EXPECT_EQ(m.GetSelectedRange(), c.in);
        }
    }

    m.ClearSelection();
    EXPECT_EQ(m.SelectedCount(), 0u);
    EXPECT_EQ(m.GetFocusCell(), CGridCellPos());
    m.SelectAll();
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(1, 1, 6, 1));
    m.EnableSelection(false);
    m.SetSelectedRange(1, 0, 1, 0);
    EXPECT_EQ(m.GetSelectedRange(), CGridCellRange(1, 1, 6, 1)) << "selection disabled changes nothing";
}

TEST(GridModel, RedrawsOnlyCellsThatLeaveOrJoinTheSelection)
{
    RecordingModel m(5, 5, 1, 1);
    m.SetSelectedRange(1, 1, 2, 2);
    m.redrawn.clear();
    m.SetSelectedRange(2, 2, 3, 2);
    std::sort(m.redrawn.begin(), m.redrawn.end(),
              [](CGridCellPos a, CGridCellPos b) { return std::pair(a.row, a.col) < std::pair(b.row, b.col); });
    // (2, 2) leaves and joins again; (1, 1), (1, 2) and (2, 1) leave; (3, 2) joins.
    EXPECT_EQ(m.redrawn, (std::vector<CGridCellPos>{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 2}}));
}

TEST(GridModel, KeptSelectionComesBackUnlessSingleSelection)
{
    for (bool single : {false, true}) {
        RecordingModel m(5, 5, 1, 1);
        m.SetSingleSelect(single);
        m.SetSelectedRange(1, 1, 1, 1);
        m.KeepOnCtrl();
        m.SetSelectedRange(3, 3, 3, 3);
        EXPECT_EQ(m.IsCellSelected(1, 1), !single) << "single " << single;
        EXPECT_TRUE(m.IsCellSelected(3, 3));
    }
}

TEST(GridModel, ExtendSelectionByMode)
{
    const struct {
        int mode;
        bool listMode, single;
        CGridCellPos start, cell;
        CGridCellRange expect;
    } cases[] = {
        {GRID_MOUSE_SELECT_ALL, false, false, {2, 2}, {3, 3}, {1, 1, 5, 4}},
        {GRID_MOUSE_SELECT_COLUMNS, false, false, {2, 3}, {4, 2}, {1, 2, 5, 3}},
        {GRID_MOUSE_SELECT_ROWS, false, false, {4, 2}, {2, 3}, {2, 1, 4, 4}},
        {GRID_MOUSE_SELECT_ROWS, true, true, {4, 2}, {2, 3}, {2, 1, 2, 4}},
        {GRID_MOUSE_SELECT_CELLS, false, false, {4, 4}, {2, 2}, {2, 2, 4, 4}},
    };
    for (const auto &c : cases) {
        RecordingModel m(6, 5, 1, 1);
        m.SetListMode(c.listMode);
        m.SetSingleSelect(c.single);
        m.SetMode(c.mode);
        m.SetStart(c.start);
        m.ExtendSelection(c.cell);
        EXPECT_EQ(m.GetSelectedRange(), c.expect) << "mode " << c.mode;
    }

    // Fixed or invalid cells extend nothing in the by-row, by-column and by-cell modes.
    for (int mode : {GRID_MOUSE_SELECT_COLUMNS, GRID_MOUSE_SELECT_ROWS, GRID_MOUSE_SELECT_CELLS}) {
        RecordingModel m(6, 5, 1, 1);
        m.SetMode(mode);
        m.SetStart({2, 2});
        for (CGridCellPos cell : {CGridCellPos(0, 0), CGridCellPos(-1, 2), CGridCellPos(6, 2)})
            m.ExtendSelection(cell);
        EXPECT_EQ(m.SelectedCount(), 0u) << "mode " << mode;
    }
}

TEST(GridModel, FindCellDirections)
{
    RecordingModel m(6, 5, 1, 1);
    for (auto [r, c] : std::vector<std::pair<int, int>>{{1, 3}, {3, 1}, {4, 2}, {2, 2}})
        m.SetItemState(r, c, GRID_STATE_SELECTED);
    m.SetItemState(5, 2, GRID_STATE_MODIFIED);
    const unsigned S = GRID_STATE_SELECTED;
    const struct {
        CGridCellPos start;
        unsigned flags;
        CGridCellPos expect;
    } cases[] = {
        {{1, 2}, S | GRID_FIND_BELOW, {2, 2}},
        {{2, 2}, S | GRID_FIND_BELOW, {4, 2}},
        {{4, 2}, S | GRID_FIND_BELOW, {}},
        {{4, 2}, GRID_STATE_MODIFIED | GRID_FIND_BELOW, {5, 2}},
        {{5, 2}, S | GRID_FIND_ABOVE, {4, 2}},
        {{1, 4}, S | GRID_FIND_LEFT, {1, 3}},
        {{3, 0}, S | GRID_FIND_RIGHT, {3, 1}},
        {{1, 3}, S | GRID_FIND_BELOW | GRID_FIND_LEFT | GRID_FIND_RIGHT, {2, 2}},  // reading order
        {{2, 2}, S | GRID_FIND_BELOW | GRID_FIND_LEFT | GRID_FIND_RIGHT, {3, 1}},
        {{1, 3}, S | GRID_FIND_BELOW | GRID_FIND_RIGHT, {}},  // only columns right of the start, every row
        {{3, 1}, S | GRID_FIND_BELOW | GRID_FIND_RIGHT, {4, 2}},
        {{-1, -1}, S | GRID_FIND_BELOW | GRID_FIND_LEFT | GRID_FIND_RIGHT, {1, 3}},
        {{1, 2}, S, {}},  // no direction
        {{1, 2}, GRID_FIND_BELOW, {}},  // no state bit
    };
    for (const auto &c : cases)
        EXPECT_EQ(m.FindCell(c.start, c.flags), c.expect)
            << c.start.row << "," << c.start.col << " flags " << std::hex << c.flags;
}

TEST(GridModel, SystemColourChangeKeepsColoursTheOwnerSet)
{
    RecordingModel m(1, 1, 0, 0);
    m.SetLineColor(RGB(51, 153, 255));
    m.SetFixedBkColor(RGB(10, 20, 30));
    GridSystemColours dark{RGB(230, 232, 238), RGB(27, 30, 35), RGB(38, 42, 49), RGB(13, 15, 18)};
    m.OnSysColorChange(dark);
    EXPECT_EQ(m.GetTextColor(), dark.windowText);
    EXPECT_EQ(m.GetFixedTextColor(), dark.windowText);
    EXPECT_EQ(m.GetTextBkColor(), dark.window);
    EXPECT_EQ(m.GetBkColor(), dark.shadow);
    EXPECT_EQ(m.GetFixedBkColor(), RGB(10, 20, 30));
    EXPECT_EQ(m.GetLineColor(), RGB(51, 153, 255));
    EXPECT_EQ(m.SystemColours(), dark);
}

}  // namespace
