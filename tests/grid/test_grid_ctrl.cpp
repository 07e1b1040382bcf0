// The grid window headless: the machine-preset list as its dialog sets it up, driven by QTest
// clicks, keys and wheel turns, with what it tells its owner; scrolling, sizes, painting and list
// columns.

#include "grid/GridCtrl.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "tests/grid/GridOwner.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// The grid's owner window, 420 x 240 pixels.
class Owner : public GridOwner {
public:
    Owner() : GridOwner(QSize(420, 240)) {}
};

// A preset grid whose context menu answers with a chosen command instead of waiting for a user.
class TestGrid : public CComboGridCtrl {
public:
    using CComboGridCtrl::CComboGridCtrl;
    int TrackContextMenu(const QPoint &globalPos) override
    {
        ++menusShown;
        menuPos = globalPos;
        menuTexts.clear();
        for (QAction *a : ContextMenu()->actions())
            menuTexts.push_back({a->data().toInt(), a->text()});
        return menuAnswer;
    }
    QWidget *CreateInPlaceEditControl(const CRect &, unsigned style, int id, int row, int col, const QString &text,
                                      unsigned ch) override
    {
        editors.push_back({row, col, int(ch)});
        editorStyle = style;
        EXPECT_EQ(id, IDC_GRID_INPLACE);
        lastEditText = text;
        return nullptr;
    }
    int menusShown = 0;
    int menuAnswer = 0;
    QPoint menuPos;
    std::vector<std::pair<int, QString>> menuTexts;
    std::vector<GridNote> editors;  // row, column, first character
    unsigned editorStyle = 0;
    QString lastEditText;
};

constexpr int kGridId = 2724;

// The machine-preset dialog's set-up of its grid, on a placeholder control of the template.
struct PresetFixture {
    Owner owner;
    TestGrid grid;
    explicit PresetFixture(bool chinese = false)
    {
        auto *placeholder = new QFrame(&owner);
        placeholder->setFrameStyle(QFrame::Box | QFrame::Plain);
        placeholder->setGeometry(DluRect(21, 4, 201, 92, DialogUnitsOf(MakePointFont("Arial", 90))));
        SetCtrlId(placeholder, kGridId);
        DDX_GridCtrl(&owner, kGridId, grid);
        grid.SetRowCount(7);
        grid.SetFixedRowCount(1);
        grid.SetColumnCount(2);
        grid.SetFixedColumnCount(1);
        grid.SetColumnWidth(1, 262);
        grid.SetRowResizing(false);
        grid.SetSingleSelect(true);
        grid.SetEditable(false);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 2; ++c) {
                GRID_ITEM item;
                item.row = r;
                item.col = c;
                item.mask = GRID_MASK_TEXT | GRID_MASK_FORMAT;
                item.format = 0x8025;
                grid.SetItem(&item);
            }
        grid.SetItemText(0, 0, chinese ? QStringLiteral("序号") : QStringLiteral("No."));
        grid.SetItemText(0, 1, chinese ? QStringLiteral("场景名") : QStringLiteral("Preset"));
        grid.SetSelectedRange(1, 0, 1, grid.GetColumnCount() - 1);
        grid.EnsureVisible(1, 0);
        grid.SetLineColor(RGB(51, 153, 255));
        grid.SetFont(g_fontArial16);
        const char *names[] = {"Custom", "Club", "Live Stage", "", "Night Drive", "Karaoke Hall"};
        const char *namesCn[] = {"自定义", "俱乐部", "现场", "", "夜间驾驶", "卡拉OK厅"};
        for (int p = 1; p <= 6; ++p) {
            grid.SetItemText(p, 1, chinese ? QString::fromUtf8(namesCn[p - 1]) : QString::fromUtf8(names[p - 1]));
            grid.SetItemText(p, 0, QString::number(p));
        }
        grid.SetFocusCell(1, 1);
        owner.show();
        QCoreApplication::processEvents();
        owner.Clear();
    }
    QPoint Centre(int row, int col)
    {
        CRect rc;
        EXPECT_TRUE(grid.GetCellRect(row, col, &rc)) << row << "," << col;
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Click(int row, int col, Qt::KeyboardModifiers mods = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid.viewport(), button, mods, Centre(row, col));
    }
    // What a window gets from a double click: press, release, double click, release.
    void DoubleClick(int row, int col)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Centre(row, col));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Centre(row, col));
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, Centre(row, col));
    }
    std::set<std::pair<int, int>> Selection() const
    {
        std::set<std::pair<int, int>> s;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 0; c < grid.GetColumnCount(); ++c)
                if (grid.IsCellSelected(r, c))
                    s.insert({r, c});
        return s;
    }
};

using Cells = std::set<std::pair<int, int>>;

TEST(GridCtrl, PresetListSetUp)
{
    PresetFixture f;
    EXPECT_EQ(f.grid.GetCtrlIdOfGrid(), kGridId);
    EXPECT_EQ(f.grid.parentWidget(), &f.owner);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(1, 1));
    EXPECT_EQ(f.Selection(), (Cells{{1, 0}, {1, 1}}));
    EXPECT_EQ(f.grid.GetColumnWidth(1), 262);
    // Rows were made while the dialog font was the grid's: they keep its height after Arial 16.
    EXPECT_EQ(f.grid.GetRowHeight(3), f.grid.GetRowHeight(0));
    EXPECT_GT(f.grid.GetDefaultRowHeight(), 0);
    EXPECT_EQ(f.grid.GetItemFont(3, 1), g_fontArial16);
    EXPECT_THROW(DDX_GridCtrl(&f.owner, 9999, *new TestGrid(&f.owner)), std::logic_error);
}

TEST(GridCtrl, LeftPresses)
{
    PresetFixture f;
    // The header row: nothing changes, but the release still reports the click.
    f.Click(0, 1);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(1, 1));
    EXPECT_EQ(f.Selection(), (Cells{{1, 0}, {1, 1}}));
    EXPECT_EQ(f.owner.Commands(), (std::vector<WPARAM>{WPARAM(kGridId)}));

    // The number column acts on the name beside it.
    f.owner.Clear();
    f.Click(3, 0);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(3, 1));
    EXPECT_EQ(f.Selection(), (Cells{{3, 1}}));
    EXPECT_EQ(f.owner.Of(LVN_ITEMCHANGING), (std::vector<GridNote>{{1, 1, LVN_ITEMCHANGING}}));
    EXPECT_EQ(f.owner.Of(LVN_ITEMCHANGED), (std::vector<GridNote>{{3, 1, LVN_ITEMCHANGED}}));
    EXPECT_EQ(f.owner.Commands().size(), 1u);

    // Shift spans from the old focus; Ctrl keeps nothing in a single-selection grid.
    f.Click(5, 1, Qt::ShiftModifier);
    EXPECT_EQ(f.Selection(), (Cells{{3, 1}, {4, 1}, {5, 1}}));
    f.Click(2, 1, Qt::ControlModifier);
    EXPECT_EQ(f.Selection(), (Cells{{2, 1}}));

    // Outside the cells: no focus change and no command.
    f.owner.Clear();
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, QPoint(f.grid.viewport()->width() - 2, 2 + f.Centre(6, 1).y()));
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, 1));
}

TEST(GridCtrl, CtrlKeepsTheSelectionWhenSingleSelectionIsOff)
{
    PresetFixture f;
    f.grid.SetSingleSelect(false);
    f.Click(2, 1);
    f.Click(4, 1, Qt::ControlModifier);
    EXPECT_EQ(f.Selection(), (Cells{{2, 1}, {4, 1}}));
}

TEST(GridCtrl, NavigationKeys)
{
    const struct {
        CGridCellPos from;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        CGridCellPos to;
    } cases[] = {
        {{3, 1}, Qt::Key_Down, {}, {4, 1}},      {{6, 1}, Qt::Key_Down, {}, {1, 1}},
        {{1, 1}, Qt::Key_Up, {}, {6, 1}},        {{4, 1}, Qt::Key_Up, {}, {3, 1}},
        {{3, 1}, Qt::Key_Right, {}, {3, 1}},     {{3, 1}, Qt::Key_Left, {}, {3, 1}},
        {{6, 1}, Qt::Key_Tab, {}, {1, 1}},       {{2, 1}, Qt::Key_Tab, {}, {3, 1}},
        {{2, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {1, 1}},
        {{1, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {1, 1}},
        {{4, 1}, Qt::Key_Home, {}, {1, 1}},      {{2, 1}, Qt::Key_End, {}, {6, 1}},
        {{3, 1}, Qt::Key_PageUp, {}, {1, 1}},
    };
    for (const auto &c : cases) {
        PresetFixture f;
        f.Click(c.from.row, c.from.col);
        f.owner.Clear();
        QTest::keyClick(&f.grid, c.key, c.mods);
        EXPECT_EQ(f.grid.GetFocusCell(), c.to) << "key " << std::hex << c.key << " from row " << c.from.row;
        if (!(c.to == c.from)) {
            EXPECT_EQ(f.Selection(), (Cells{{c.to.row, c.to.col}})) << "key " << std::hex << c.key;
            EXPECT_TRUE(f.owner.Of(LVN_ITEMCHANGED).empty()) << "keys move the focus without telling";
        }
    }
}

TEST(GridCtrl, PageDownAtTheEndGoesToTheLastRow)
{
    PresetFixture f;
    f.grid.resize(f.grid.width(), 400);  // everything fits: the view cannot scroll
    QCoreApplication::processEvents();
    f.Click(2, 1);
    QTest::keyClick(&f.grid, Qt::Key_PageDown);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(6, 1));
}

TEST(GridCtrl, RightPressOpensThePresetMenu)
{
    PresetFixture f;
    f.grid.menuAnswer = ID_GRID_PRESET_DELETE;
    f.Click(4, 1, {}, Qt::RightButton);
    EXPECT_EQ(f.grid.menusShown, 1);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos());
    EXPECT_EQ(f.Selection(), (Cells{{4, 1}}));
    EXPECT_EQ(f.grid.GetRightClickedCell(), CGridCellPos(4, 1));
    EXPECT_EQ(f.grid.menuPos, f.grid.viewport()->mapToGlobal(f.Centre(4, 1)));
    const std::vector<std::pair<int, QString>> texts = {{714, "Load Machine Preset(&E)"},
                                                        {713, "Save As Machine Preset(&I)"},
                                                        {715, "Delete Machine Preset(&D)"}};
    EXPECT_EQ(f.grid.menuTexts, texts);
    EXPECT_EQ(f.owner.Commands(), (std::vector<WPARAM>{715}));
    EXPECT_EQ(f.grid.GetMouseMode(), GRID_MOUSE_NONE);

    // Without a focus cell the navigation keys do nothing until a left press sets one.
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos());
    f.Click(2, 1);
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(3, 1));

    // On the focus cell: focus and selection stay, the menu still opens; nothing chosen, no command.
    f.owner.Clear();
    f.grid.menuAnswer = 0;
    f.Click(3, 1, {}, Qt::RightButton);
    EXPECT_EQ(f.grid.menusShown, 2);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(3, 1));
    EXPECT_EQ(f.Selection(), (Cells{{3, 1}}));
    EXPECT_TRUE(f.owner.Commands().empty());
    QTest::keyClick(&f.grid, Qt::Key_Up);
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, 1));

    // The header row opens no menu.
    f.Click(0, 1, {}, Qt::RightButton);
    EXPECT_EQ(f.grid.menusShown, 2);
}

TEST(GridCtrl, ChineseMenuTextsFollowTheLanguage)
{
    g_bChinese = 1;
    PresetFixture f(true);
    f.Click(2, 1, {}, Qt::RightButton);
    g_bChinese = 0;
    const std::vector<std::pair<int, QString>> texts = {{714, QStringLiteral("加载 机器预置场景(&E)")},
                                                        {713, QStringLiteral("另存为 机器预置场景(&I)")},
                                                        {715, QStringLiteral("删除 机器预置场景(&D)")}};
    EXPECT_EQ(f.grid.menuTexts, texts);
}

TEST(GridCtrl, TheRealMenuDeliversTheChosenCommand)
{
    Owner owner;
    CComboGridCtrl grid(&owner);
    grid.SetRowCount(3);
    grid.SetColumnCount(2);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    grid.resize(300, 200);
    owner.show();
    bool seen = false;
    QTimer::singleShot(50, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        seen = true;
        QTest::keyClick(menu, Qt::Key_I);  // the Save As item's mnemonic
    });
    CRect rc;
    ASSERT_TRUE(grid.GetCellRect(2, 1, &rc));
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, QPoint(rc.left + 3, rc.top + 3));
    EXPECT_TRUE(seen);
    EXPECT_EQ(owner.Commands(), (std::vector<WPARAM>{WPARAM(ID_GRID_PRESET_SAVEAS)}));
}

TEST(GridCtrl, DoubleClicksReportTheCell)
{
    const struct {
        int row, col;
        bool reported;
    } cases[] = {{2, 0, true}, {2, 1, true}, {0, 1, false}, {0, 0, false}};
    for (const auto &c : cases) {
        PresetFixture f;
        f.DoubleClick(c.row, c.col);
        const auto dbl = f.owner.Of(NM_DBLCLK);
        if (c.reported) {
            EXPECT_EQ(dbl, (std::vector<GridNote>{{c.row, c.col, NM_DBLCLK}})) << c.row << "," << c.col;
            EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(c.row, 1));
        } else {
            EXPECT_TRUE(dbl.empty()) << c.row << "," << c.col;
        }
        EXPECT_TRUE(f.grid.editors.empty()) << "no editor in a grid that is not editable";
    }
}

TEST(GridCtrl, DeleteEmptiesTheNameAndTheOwnerMayRefuse)
{
    PresetFixture f;
    f.Click(3, 1);
    f.owner.Clear();
    QTest::keyClick(&f.grid, Qt::Key_Delete);
    EXPECT_EQ(f.grid.GetItemText(3, 1), "");
    EXPECT_TRUE(f.grid.IsModified(3, 1));
    EXPECT_TRUE(f.grid.IsModified());
    EXPECT_EQ(f.owner.Of(LVN_DELETEITEM), (std::vector<GridNote>{{3, 1, LVN_DELETEITEM}}));

    // The owner asks first and answers No: the name shows again, nothing is marked modified.
    PresetFixture g;
    QString seenText = "unset";
    g.owner.answer = [&](int code) -> LRESULT {
        if (code != LVN_DELETEITEM)
            return 0;
        seenText = g.grid.GetItemText(5, 1);
        return 1;
    };
    g.Click(5, 1);
    QTest::keyClick(&g.grid, Qt::Key_Delete);
    EXPECT_EQ(seenText, "") << "the owner is told after the cell was emptied";
    EXPECT_EQ(g.grid.GetItemText(5, 1), "Night Drive");
    EXPECT_EQ(g.grid.GetItemAltText(5, 1), "Night Drive");
    EXPECT_FALSE(g.grid.IsModified(5, 1));
    EXPECT_FALSE(g.grid.IsModified());

    // A read-only cell refuses the key.
    PresetFixture h;
    h.Click(2, 1);
    h.grid.SetItemState(2, 1, h.grid.GetItemState(2, 1) | GRID_STATE_READONLY);
    h.owner.Clear();
    QTest::keyClick(&h.grid, Qt::Key_Delete);
    EXPECT_EQ(h.grid.GetItemText(2, 1), "Club");
    EXPECT_TRUE(h.owner.Of(LVN_DELETEITEM).empty());
}

TEST(GridCtrl, EnterAndEscapeAndTypingOpenNoEditorInTheList)
{
    PresetFixture f;
    f.grid.resize(f.grid.width(), f.grid.GetRowHeight(0) * 3);  // rows 1 and 2 in view
    QCoreApplication::processEvents();
    f.Click(2, 1);
    f.grid.SetFocusCell(6, 1);
    ASSERT_FALSE(f.grid.IsCellVisible(6, 1));
    f.owner.Clear();
    QTest::keyClick(&f.grid, Qt::Key_X);
    EXPECT_TRUE(f.grid.IsCellVisible(6, 1)) << "typing scrolls the focus cell into view";
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(&f.grid, k);
    EXPECT_TRUE(f.grid.editors.empty());
    EXPECT_TRUE(f.owner.Of(LVN_BEGINLABELEDIT).empty());
    for (Qt::Key k : {Qt::Key_X, Qt::Key_V})
        QTest::keyClick(&f.grid, k, Qt::ControlModifier);
    EXPECT_EQ(f.grid.GetItemText(6, 1), "Karaoke Hall");
}

TEST(GridCtrl, EditingInAnEditableGrid)
{
    PresetFixture f;
    f.grid.SetEditable(true);
    f.Click(2, 1);
    f.grid.SetFocusCell(2, 1);
    f.owner.Clear();
    QTest::keyClick(&f.grid, Qt::Key_Q);
    ASSERT_EQ(f.grid.editors, (std::vector<GridNote>{{2, 1, 'q'}}));
    EXPECT_EQ(f.grid.lastEditText, "Club");
    EXPECT_EQ(f.grid.editorStyle, 1u) << "centred cells edit centred";
    EXPECT_EQ(f.owner.Of(LVN_BEGINLABELEDIT), (std::vector<GridNote>{{2, 1, LVN_BEGINLABELEDIT}}));

    // The editor ends with Down: the text is stored, the focus moves and an editor opens there.
    const auto endEdit = [&](int row, int col, const QString &text, int key) {
        GRID_NOTIFY nm;
        nm.hdr = {nullptr, IDC_GRID_INPLACE, LVN_ENDLABELEDIT};
        nm.item.row = row;
        nm.item.col = col;
        nm.item.mask = GRID_MASK_TEXT | GRID_MASK_PARAM;
        nm.item.text = text;
        nm.item.param = key;
        SendMessageTo(&f.grid, WM_NOTIFY, IDC_GRID_INPLACE, reinterpret_cast<LPARAM>(&nm));
    };
    f.grid.editors.clear();
    endEdit(2, 1, "Quiet", 0x28);
    EXPECT_EQ(f.grid.GetItemText(2, 1), "Quiet");
    EXPECT_TRUE(f.grid.IsModified(2, 1));
    EXPECT_EQ(f.owner.Of(LVN_ENDLABELEDIT), (std::vector<GridNote>{{2, 1, LVN_ENDLABELEDIT}}));
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(3, 1));
    EXPECT_EQ(f.grid.editors, (std::vector<GridNote>{{3, 1, 0x28}}));

    // Enter or Esc (the same text) ends without moving on and marks nothing.
    f.grid.editors.clear();
    endEdit(3, 1, "Live Stage", 13);
    EXPECT_FALSE(f.grid.IsModified(3, 1));
    EXPECT_TRUE(f.grid.editors.empty());

    // A double click opens the editor at the release, with the mouse as first character.
    f.grid.editors.clear();
    f.DoubleClick(4, 1);
    EXPECT_EQ(f.grid.editors, (std::vector<GridNote>{{4, 1, int(VK_LBUTTON)}}));
}

// A tall grid in a small window, for scrolling.
struct TallGrid : GridAppFirst {
    Owner owner;
    CGridCtrl grid{40, 4, 1, 1, &owner};
    TallGrid()
    {
        grid.Create(QRect(0, 0, 250, 150), &owner, 77, 0);
        for (int r = 0; r < 40; ++r)
            grid.SetRowHeight(r, 20);
        for (int c = 0; c < 4; ++c)
            grid.SetColumnWidth(c, 100);
        owner.show();
        QCoreApplication::processEvents();
        grid.UpdateScrollBars();
    }
    int VPos() const { return grid.GetScrollPosition(SB_VERT); }
    void Wheel(int delta)
    {
        QWheelEvent e(QPointF(50, 50), QPointF(grid.viewport()->mapToGlobal(QPoint(50, 50))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &e);
        QCoreApplication::processEvents();
    }
};

TEST(GridCtrl, WheelScrollsByLinesAndAddsUpSmallDeltas)
{
    TallGrid t;
    ASSERT_EQ(t.grid.GetWheelScrollLines(), QApplication::wheelScrollLines());
    const int lines = t.grid.GetWheelScrollLines();
    ASSERT_GT(lines, 0);
    t.Wheel(-240);
    EXPECT_EQ(t.VPos(), 2 * lines * 20);
    t.Wheel(120);
    EXPECT_EQ(t.VPos(), lines * 20);
    t.Wheel(120);
    EXPECT_EQ(t.VPos(), 0);

    // A touchpad's small deltas add up: a third of a notch scrolls a third of the lines.
    for (int i = 0; i < 6; ++i)
        t.Wheel(-40);
    EXPECT_EQ(t.VPos(), 2 * lines * 20);
    t.Wheel(-10);
    EXPECT_EQ(t.VPos(), 2 * lines * 20 + (10 * lines >= 120 ? 20 : 0));
}

TEST(GridCtrl, ScrollBarsAndLineScrolling)
{
    TallGrid t;
    const int client = t.grid.viewport()->height();
    EXPECT_EQ(t.grid.GetScrollMax(SB_VERT), 39 * 20 - 1);
    EXPECT_EQ(t.grid.verticalScrollBar()->maximum(), 39 * 20 - (client - 20));
    t.grid.OnVScroll(SB_LINEDOWN);
    EXPECT_EQ(t.VPos(), 20);
    EXPECT_EQ(t.grid.GetTopLeftScrollCell(), CGridCellPos(2, 1));
    t.grid.OnVScroll(SB_BOTTOM);
    const int bottom = t.VPos();
    EXPECT_EQ(bottom, t.grid.verticalScrollBar()->maximum());
    t.grid.OnVScroll(SB_LINEDOWN);
    EXPECT_EQ(t.VPos(), bottom) << "the position stops at the end";
    t.grid.OnVScroll(SB_TOP);
    EXPECT_EQ(t.VPos(), 0);

    // Line-scrolling right stops once the position no longer changes.
    for (int i = 0; i < 10; ++i)
        t.grid.OnHScroll(SB_LINERIGHT);
    EXPECT_EQ(t.grid.GetScrollPosition(SB_HORZ), t.grid.horizontalScrollBar()->maximum());

    // EnsureVisible brings a far cell into view; a bar's own buttons step by whole rows.
    t.grid.EnsureVisible(30, 3);
    EXPECT_TRUE(t.grid.IsCellVisible(30, 3));
    const int before = t.VPos();
    t.grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(t.VPos(), before - 20);
}

TEST(GridCtrl, ScrollRangesOnlyWhenRowsDoNotFit)
{
    GridAppFirst app;
    Owner owner;
    owner.show();
    CGridCtrl fits(3, 2, 1, 1, &owner);
    fits.Create(QRect(0, 0, 200, 200), &owner, 1, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(fits.GetScrollMax(SB_VERT), 0);
    fits.OnVScroll(SB_LINEDOWN);
    EXPECT_EQ(fits.GetScrollPosition(SB_VERT), 0);

    // A client no larger than the fixed rows leaves the ranges as they were.
    CGridCtrl tiny(30, 3, 1, 1, &owner);
    tiny.Create(QRect(0, 0, 200, 100), &owner, 2, 0);
    QCoreApplication::processEvents();
    const int max = tiny.GetScrollMax(SB_VERT), barMax = tiny.verticalScrollBar()->maximum();
    ASSERT_GT(max, 0);
    tiny.SetRowHeight(0, 150);
    tiny.SetRowCount(60);
    tiny.UpdateScrollBars();
    EXPECT_EQ(tiny.GetScrollMax(SB_VERT), max);
    EXPECT_EQ(tiny.verticalScrollBar()->maximum(), barMax);
}

TEST(GridCtrl, SizesFontsAndStretching)
{
    GridAppFirst app;
    Owner owner;
    owner.show();
    CGridCtrl grid(4, 3, 1, 1, &owner);
    grid.Create(QRect(0, 0, 300, 200), &owner, 3, 0);
    QCoreApplication::processEvents();
    grid.SetItemFont(2, 2, g_fontArial12);
    const int height = grid.GetRowHeight(2);
    grid.SetFont(g_fontArial16);
    EXPECT_EQ(grid.GetItemFont(2, 2), g_fontArial16) << "a new grid font replaces every cell's";
    EXPECT_EQ(grid.GetRowHeight(2), height) << "existing rows keep their size";
    EXPECT_EQ(grid.GetMargin(), QFontMetrics(g_fontArial16).horizontalAdvance(' '));

    grid.SetItemText(0, 1, "Heading text");
    EXPECT_TRUE(grid.AutoSizeColumn(1));
    EXPECT_EQ(grid.GetColumnWidth(1), grid.MeasureText("Heading text", true).cx + 2 * grid.GetMargin());
    EXPECT_GT(grid.MeasureText("Heading text", true).cx, grid.MeasureText("Heading text", false).cx);
    EXPECT_FALSE(grid.AutoSizeColumn(3));

    for (int c = 0; c < 3; ++c)
        grid.SetColumnWidth(c, 100);
    const int client = grid.viewport()->width();
    grid.SetColumnWidth(2, 100 + (client - 300) + 7);  // 7 pixels too wide in all
    grid.StretchColumns();
    EXPECT_EQ(grid.GetColumnWidth(0), 97);
    EXPECT_EQ(grid.GetColumnWidth(1), 98);
    EXPECT_EQ(grid.GetColumnWidth(0) + grid.GetColumnWidth(1) + grid.GetColumnWidth(2), client);
}

TEST(GridCtrl, ListColumnsAcceptOnlyTheirTexts)
{
    GridAppFirst app;
    CComboGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    EXPECT_FALSE(grid.SetColumnList(0, {"x"}));
    EXPECT_TRUE(grid.SetColumnList(2, {"Low", "High"}));
    EXPECT_TRUE(grid.SetColumnList(2, {"Other"}));  // a second entry; the first wins
    EXPECT_EQ(grid.FindColumnList(2), 0);
    EXPECT_EQ(grid.FindColumnList(1), -1);

    EXPECT_TRUE(grid.SetItemText(1, 2, "High"));
    EXPECT_FALSE(grid.SetItemText(1, 2, "high"));
    EXPECT_FALSE(grid.SetItemText(1, 2, "Other"));
    EXPECT_EQ(grid.GetItemText(1, 2), "High");
    EXPECT_TRUE(grid.SetItemText(0, 2, "any heading"));
    EXPECT_TRUE(grid.SetItemText(1, 1, "free"));

    GRID_ITEM item;
    item.row = 2;
    item.col = 2;
    item.mask = GRID_MASK_TEXT | GRID_MASK_FORMAT;
    item.text = "Medium";
    item.format = 0x25;
    EXPECT_FALSE(grid.SetItem(&item));
    EXPECT_EQ(grid.GetItemFormat(2, 2), 0u) << "refused before anything is stored";
    item.text = "Low";
    EXPECT_TRUE(grid.SetItem(&item));

    EXPECT_TRUE(grid.SetItemFromList(2, 2, 1));
    EXPECT_EQ(grid.GetItemText(2, 2), "High");
    EXPECT_FALSE(grid.SetItemFromList(2, 2, 2));
    EXPECT_FALSE(grid.SetItemFromList(2, 1, 0));
}

TEST(GridCtrl, DestroyingTheGridTellsTheOwnerNothing)
{
    // An owner destroys its children last, when its own handlers may no longer be called.
    Owner owner;
    auto *grid = new CGridCtrl(3, 2, 1, 1, &owner);
    grid->SetFocusCell(1, 1);
    owner.Clear();
    delete grid;
    EXPECT_TRUE(owner.notes.empty());
}

QImage Render(CGridCtrl &grid)
{
    QImage img(grid.viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    grid.viewport()->render(&img);
    return img;
}

TEST(GridCtrl, PaintsFocusRowHeadersAndGridLines)
{
    PresetFixture f;
    f.Click(3, 1);
    const QImage img = Render(f.grid);
    CRect focus, other, header, headerOther;
    ASSERT_TRUE(f.grid.GetCellRect(3, 1, &focus));
    ASSERT_TRUE(f.grid.GetCellRect(5, 1, &other));
    ASSERT_TRUE(f.grid.GetCellRect(3, 0, &header));
    ASSERT_TRUE(f.grid.GetCellRect(5, 0, &headerOther));
    const QPalette pal = f.grid.palette();
    // The focus of a list is drawn selected, with no frame.
    const auto at = [&](int x, int y) { return img.pixel(x, y); };
    EXPECT_EQ(at(focus.left + 2, focus.top + 2), pal.color(QPalette::Highlight).rgb());
    EXPECT_EQ(at(focus.left, focus.top), pal.color(QPalette::Highlight).rgb());
    EXPECT_EQ(at(other.left + 2, other.top + 2), pal.color(QPalette::Base).rgb());
    // Grid lines on the last pixel row and column of scrolled cells.
    EXPECT_EQ(at(other.left + 5, other.bottom), QColor(51, 153, 255).rgb());
    // The header of the focus row is sunken, the others raised.
    EXPECT_EQ(at(header.left, header.top + 3), pal.color(QPalette::Shadow).rgb());
    EXPECT_EQ(at(headerOther.left, headerOther.top + 3), pal.color(QPalette::Light).rgb());
    // Nothing is left unpainted.
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            ASSERT_NE(img.pixelColor(x, y), QColor(Qt::magenta)) << x << "," << y;
}

}  // namespace
