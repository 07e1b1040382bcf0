// The cell model's text transfer and sorting without a window: the selection as clipboard text,
// pasted text split into cells, cut cells, and the row sorts.

#include "grid/GridModel.h"
#include "grid/GridTextLines.h"
#include "tests/platform/qt/QtTestApp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Note {
    int row, col, code;
    bool operator==(const Note &) const = default;
};

class Model : public CGridModel {
public:
    Model(int rows, int cols, int fixedRows, int fixedCols)
    {
        QtTestApp();
        SetRowCount(rows);
        SetColumnCount(cols);
        SetFixedRowCount(fixedRows);
        SetFixedColumnCount(fixedCols);
    }
    LRESULT NotifyOwner(int row, int col, int code) override
    {
        notes.push_back({row, col, code});
        return 0;
    }
    // Column c of row r reads "r.c" unless a test sets it.
    void Number()
    {
        for (int r = 0; r < GetRowCount(); ++r)
            for (int c = 0; c < GetColumnCount(); ++c)
                SetItemText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
    }
    QStringList Column(int c) const
    {
        QStringList out;
        for (int r = 0; r < GetRowCount(); ++r)
            out << GetItemText(r, c);
        return out;
    }
    std::vector<Note> notes;
};

TEST(GridTransfer, SelectionTextHasALinePerRowAndATabPerColumn)
{
    Model m(4, 3, 1, 1);
    m.Number();
    m.SetItemText(2, 1, "");
    EXPECT_FALSE(m.SelectionText()) << "nothing selected";

    m.SetSelectedRange(1, 1, 2, 1);
    EXPECT_EQ(*m.SelectionText(), "1.1\n ") << "an empty selected cell gives one space";

    // A hole in the selection gives an empty field between its neighbours' tabs.
    m.SetSelectedRange(1, 0, 1, 2);
    m.SetItemState(1, 1, m.GetItemState(1, 1) & ~GRID_STATE_SELECTED);
    EXPECT_EQ(*m.SelectionText(), "1.0\t\t1.2");
}

TEST(GridTransfer, PastedTextSplitsIntoLinesAndFields)
{
    const struct {
        const char *text;
        std::vector<QStringList> lines;
    } cases[] = {
        {"a,,b", {{"a", "b"}}},                             // a run of separators is one
        {" x \r\n", {{"x"}}},                               // trimmed of spaces and the carriage return
        {"a\tb\nc", {{"a", "b"}, {"c"}}},                   // no line feed after the last line
        {"a\n\nb\n", {{"a"}, {""}, {"b"}}},                 // an empty line empties one cell
        {",\ta", {{"a"}}},                                  // leading separators are dropped
        {"a\nb", {{"a"}, {"b"}}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CGridModel::SplitPasteText(QString::fromUtf8(c.text)).lines, c.lines) << c.text;
    EXPECT_EQ(CGridModel::SplitPasteText(QStringLiteral("a") + QChar(0) + QStringLiteral("b")).lines,
              (std::vector<QStringList>{{"a"}}))
        << "the text ends at its first NUL";
}

TEST(GridTransfer, PasteFillsCellsFromTheStartAndDropsWhatFallsOutside)
{
    Model m(4, 3, 1, 1);
    m.Number();
    m.SetSelectedRange(1, 1, 3, 2);
    ASSERT_TRUE(m.PasteText({1, 1}, "a,,b"));
    EXPECT_EQ(m.GetItemText(1, 1), "a");
    EXPECT_EQ(m.GetItemText(1, 2), "b");
    EXPECT_TRUE(m.IsModified(1, 1));
    EXPECT_FALSE(m.IsCellSelected(1, 1)) << "a pasted cell leaves the selection";
    EXPECT_TRUE(m.IsCellSelected(2, 1));
    EXPECT_EQ(m.notes, (std::vector<Note>{{1, 1, LVN_BEGINLABELEDIT},
                                          {1, 1, LVN_ENDLABELEDIT},
                                          {1, 2, LVN_BEGINLABELEDIT},
                                          {1, 2, LVN_ENDLABELEDIT}}));

    // Two lines into the last row: the second has no row. Three fields into two columns.
    m.notes.clear();
    EXPECT_TRUE(m.PasteText({3, 1}, "p,q,r\ns"));
    EXPECT_EQ(m.Column(1), (QStringList{"0.1", "a", "2.1", "p"}));
    EXPECT_EQ(m.GetItemText(3, 2), "q");
    EXPECT_EQ(m.notes.size(), 4u);

    // An empty line between two lines empties the cell at the start column of its row.
    EXPECT_TRUE(m.PasteText({1, 1}, "x\n\ny"));
    EXPECT_EQ(m.Column(1), (QStringList{"0.1", "x", "", "y"}));
}

// A huge clipboard is read only as far as the grid takes it: the walk stops after the last row the
// grid has, and fields past its last column are passed over, never kept.
TEST(GridTransfer, HugePastesReadOnlyWhatTheGridTakes)
{
    const qsizetype huge = 10'000'000;
    const QString feeds(huge, u'\n');
    const QString wideLine = QStringLiteral("a,b,") + QString(huge, u'x') + QStringLiteral("\nc");
    const struct {
        const QString &text;
        int rows, cols;
        std::vector<QStringList> lines;
        qsizetype stop;
    } cases[] = {
        {feeds, 10, 10, std::vector<QStringList>(10, QStringList{""}), 10},
        {wideLine, 2, 2, {{"a", "b"}, {"c"}}, wideLine.size()},
        {wideLine, 1, 2, {{"a", "b"}}, huge + 5},
    };
    for (const auto &c : cases) {
        const CGridModel::PasteSplit split = CGridModel::SplitPasteText(c.text, c.rows, c.cols);
        EXPECT_TRUE(split.fits);
        EXPECT_EQ(split.lines, c.lines) << c.rows << "x" << c.cols;
        EXPECT_EQ(split.stop, c.stop) << c.rows << "x" << c.cols;
    }

    // Into a 10 x 10 grid from (1, 1): nine rows of one emptied cell each.
    Model m(10, 10, 1, 1);
    m.Number();
    ASSERT_TRUE(m.PasteText({1, 1}, feeds));
    EXPECT_EQ(m.Column(1), (QStringList{"0.1", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(m.GetItemText(1, 2), "1.2");
    EXPECT_EQ(m.notes.size(), 18u);

    // A field longer than a cell of the grid's text file can be is refused whole, as the file is.
    m.notes.clear();
    const QString tooLong = QStringLiteral("p,") + QString(qsizetype(gridtext::kMaxFileBytes) + 1, u'y');
    EXPECT_FALSE(CGridModel::SplitPasteText(tooLong, 1, 2).fits);
    EXPECT_FALSE(m.PasteText({1, 1}, tooLong));
    EXPECT_EQ(m.GetItemText(1, 1), "") << "nothing changes";
    EXPECT_TRUE(m.notes.empty());
    EXPECT_TRUE(m.PasteText({1, 9}, tooLong)) << "a field past the last column is never read";
    EXPECT_EQ(m.GetItemText(1, 9), "p");
}

TEST(GridTransfer, ReadOnlyCellsAndGridsKeepTheirTexts)
{
    Model m(4, 3, 1, 1);
    m.Number();
    m.SetItemState(1, 1, GRID_STATE_READONLY);
    EXPECT_FALSE(m.PasteText({1, 1}, "a,b")) << "a read-only start cell refuses the paste";
    EXPECT_EQ(m.GetItemText(1, 2), "1.2");

    // A read-only cell further along the paste is passed over.
    EXPECT_TRUE(m.PasteText({2, 1}, "a\nb,c"));
    m.SetItemState(2, 2, GRID_STATE_READONLY);
    EXPECT_TRUE(m.PasteText({2, 1}, "d,e"));
    EXPECT_EQ(m.GetItemText(2, 1), "d");
    EXPECT_EQ(m.GetItemText(2, 2), "2.2");
    EXPECT_EQ(m.GetItemText(3, 2), "c");

    m.SetEditable(false);
    EXPECT_FALSE(m.PasteText({3, 1}, "z"));
    m.SetSelectedRange(3, 1, 3, 2);
    EXPECT_FALSE(m.ClearSelectedCells());
    EXPECT_EQ(m.GetItemText(3, 1), "b");
}

TEST(GridTransfer, ClearingTheSelectionEmptiesEditableCellsOnly)
{
    Model m(3, 3, 1, 1);
    m.Number();
    m.SetItemState(1, 2, GRID_STATE_READONLY);
    m.SetSelectedRange(1, 1, 2, 2);
    m.notes.clear();
    EXPECT_TRUE(m.ClearSelectedCells());
    EXPECT_EQ(m.Column(1), (QStringList{"0.1", "", ""}));
    EXPECT_EQ(m.Column(2), (QStringList{"0.2", "1.2", ""}));
    EXPECT_EQ(m.GetItemAltText(1, 1), "1.1") << "the second text stays";
    EXPECT_TRUE(m.IsModified(2, 2));
    EXPECT_FALSE(m.IsModified(1, 2));
    EXPECT_EQ(m.notes.size(), 6u);
    EXPECT_EQ(m.SelectedCount(), 1u) << "the read-only cell stays selected";
}

TEST(GridSort, TextsSortInByteOrderAndEqualRowsStay)
{
    Model m(4, 2, 1, 1);
    const char *texts[] = {"B", "a", "A"};
    for (int r = 1; r <= 3; ++r) {
        m.SetItemText(r, 0, QString::number(r));
        m.SetItemText(r, 1, texts[r - 1]);
        m.SetRowHeight(r, 10 * r);
    }
    m.SetFocusCell(2, 1);
    ASSERT_TRUE(m.SortByText(1, true));
    EXPECT_EQ(m.Column(1), (QStringList{"", "A", "B", "a"}));
    EXPECT_EQ(m.Column(0), (QStringList{"", "3", "1", "2"})) << "whole rows move, fixed cells included";
    EXPECT_EQ(m.GetRowHeight(1), 30);
    EXPECT_EQ(m.GetFocusCell(), CGridCellPos()) << "sorting clears the focus";

    ASSERT_TRUE(m.SortByText(1, false));
    EXPECT_EQ(m.Column(1), (QStringList{"", "a", "B", "A"}));

    // Equal texts never swap.
    m.SetItemText(1, 1, "x");
    m.SetItemText(3, 1, "x");
    m.SetItemText(2, 1, "x");
    const QStringList before = m.Column(0);
    EXPECT_TRUE(m.SortByText(1, true));
    EXPECT_EQ(m.Column(0), before);

    // Chinese texts sort by their GBK bytes: 啊 B0A1, 阿 B0A2, 中 D6D0 (not by their code points).
    m.SetItemText(1, 1, QStringLiteral("中"));
    m.SetItemText(2, 1, QStringLiteral("阿"));
    m.SetItemText(3, 1, QStringLiteral("啊"));
    EXPECT_TRUE(m.SortByText(1, true));
    EXPECT_EQ(m.Column(1), (QStringList{"", QStringLiteral("啊"), QStringLiteral("阿"), QStringLiteral("中")}));
}

TEST(GridSort, BadColumnsAndShortRangesChangeNothing)
{
    Model m(3, 2, 1, 1);
    m.Number();
    const QStringList before = m.Column(1);
    EXPECT_FALSE(m.SortByText(2, true));
    EXPECT_FALSE(m.SortByText(-1, true));
    EXPECT_FALSE(m.SortByText(1, true, 2, 2));
    EXPECT_FALSE(m.SortByText(1, true, 1, 7));
    Model one(2, 2, 1, 1);
    EXPECT_FALSE(one.SortByText(1, true)) << "a single data row";
    EXPECT_EQ(m.Column(1), before);
}

TEST(GridSort, ByCompareUsesTheCellsParamsAndKeepsTheSelectionMapTrue)
{
    Model m(60, 2, 1, 1);
    for (int r = 1; r < 60; ++r) {
        m.SetItemParam(r, 1, LPARAM((r * 37) % 59));
        m.SetItemText(r, 1, QString::number((r * 37) % 59));
    }
    const auto byValue = [](LPARAM a, LPARAM b, LPARAM sign) -> int { return int(sign) * (int(a) - int(b)); };
    m.SetSelectedRange(5, 1, 5, 1);
    const QString selected = m.GetItemText(5, 1);
    ASSERT_TRUE(m.SortByCompare(byValue, 1, true, 1, 1, -1));
    for (int r = 2; r < 60; ++r)
        EXPECT_LE(m.GetItemParam(r - 1, 1), m.GetItemParam(r, 1)) << r;
    // The range form keeps the selection: the selected cell moved with its row.
    ASSERT_EQ(m.SelectedCount(), 1u);
    const CGridCellRange sel = m.GetSelectedRange();
    EXPECT_EQ(m.GetItemText(sel.minRow, sel.minCol), selected);

    ASSERT_TRUE(m.SortByCompare(byValue, 1, false, 1));
    for (int r = 2; r < 60; ++r)
        EXPECT_GE(m.GetItemParam(r - 1, 1), m.GetItemParam(r, 1)) << r;
    EXPECT_EQ(m.SelectedCount(), 0u);
}

}  // namespace
