// The grid's in-place editors, headless: opened by typing, by a double click and by an ended edit,
// typed into with QTest keys, and ended by keys and by a loss of focus; list columns edit in a
// combo box of their texts.

#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "controls/CtrlMessages.h"
#include "platform/qt/DrawText.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyle>
#include <QTest>

#include "tests/grid/GridOwner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The grid's owner window, 330 x 200 pixels.
class Owner : public GridOwner {
public:
    Owner() : GridOwner(QSize(330, 200)) {}
};

// An editable grid of 4 rows and 3 columns (one fixed row and column), columns 100 pixels wide
// but the last, which the window cuts; a list in column 2 when asked.
struct EditFixture {
    Owner owner;
    CComboGridCtrl grid{&owner};
    QWidget other{&owner};  // somewhere else to put the focus
    EditFixture()
    {
        grid.SetRowCount(4);
        grid.SetColumnCount(3);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        grid.Create(QRect(0, 0, 300, 160), &owner, 12, 0);
        for (int r = 0; r < 4; ++r) {
            grid.SetRowHeight(r, 26);
            for (int c = 0; c < 3; ++c)
                grid.SetItemText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
        }
        grid.SetColumnWidth(0, 40);
        grid.SetColumnWidth(1, 60);
        grid.SetColumnWidth(2, 140);
        other.setGeometry(0, 170, 50, 20);
        other.setFocusPolicy(Qt::StrongFocus);
        owner.show();
        owner.activateWindow();
        EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &owner; }, 2000));
        grid.setFocus();
        QCoreApplication::processEvents();
    }
    template <class Editor = CInPlaceEdit> Editor *Open() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto editors = grid.viewport()->findChildren<Editor *>();
        return editors.size() == 1 ? editors.front() : nullptr;
    }
    int EditorCount() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return int(grid.viewport()->findChildren<CInPlaceEdit *>().size() +
                   grid.viewport()->findChildren<CInPlaceList *>().size());
    }
    QPoint Centre(int row, int col) const
    {
        CRect rc;
        EXPECT_TRUE(grid.GetCellRect(row, col, &rc));
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Type(QWidget *w, const char *keys)
    {
        for (const char *k = keys; *k; ++k)
            QTest::keyClick(w, *k);
    }
};

TEST(GridEditors, TypingReplacesTheTextAndEnterStoresIt)
{
    EditFixture f;
    f.grid.SetFocusCell(2, 1);
    f.owner.notes.clear();
    QTest::keyClick(&f.grid, Qt::Key_X);
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), "x");
    EXPECT_EQ(e->Row(), 2);
    EXPECT_EQ(e->Column(), 1);
    EXPECT_TRUE(e->hasFocus());
    CRect rc;
    f.grid.GetCellRect(2, 1, &rc);
    EXPECT_EQ(e->geometry().topLeft(), QPoint(rc.left, rc.top)) << "laid over the cell";

    // Eight characters at most; a ninth is refused.
    f.Type(e, "abcdefgh");
    EXPECT_EQ(e->text(), "xabcdefg");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(f.grid.GetItemText(2, 1), "xabcdefg");
    EXPECT_TRUE(f.grid.IsModified(2, 1));
    EXPECT_EQ(f.EditorCount(), 0) << "Enter opens no editor elsewhere";
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, 1));
    EXPECT_EQ(f.owner.notes, (std::vector<GridNote>{{2, 1, LVN_BEGINLABELEDIT}, {2, 1, LVN_ENDLABELEDIT}}));
}

TEST(GridEditors, AnArrowEndsATypedEditAndTheNextCellOpens)
{
    EditFixture f;
    f.grid.SetFocusCell(1, 2);
    QTest::keyClick(&f.grid, Qt::Key_Q);
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->ExitsOnArrows());
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(f.grid.GetItemText(1, 2), "q");
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(1, 1));
    CInPlaceEdit *next = f.Open();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->Row(), 1);
    EXPECT_EQ(next->Column(), 1);
    EXPECT_EQ(next->selectedText(), "1.1") << "opened by a key: all text selected";

    // Esc puts the first text back: nothing stored, nothing marked.
    f.Type(next, "zz");
    QTest::keyClick(next, Qt::Key_Escape);
    EXPECT_EQ(f.grid.GetItemText(1, 1), "1.1");
    EXPECT_FALSE(f.grid.IsModified(1, 1));
    EXPECT_EQ(f.EditorCount(), 0);
}

TEST(GridEditors, EscOnACellEndsTheEditItOpensWithTheCellUnchanged)
{
    const struct {
        const char *name;
        int col;
        int listStyle;  // -1: no list on the column
    } cases[] = {
        {"text column", 1, -1},
        {"list with an edit part", 2, CBS_DROPDOWN},
        {"list alone", 2, CBS_DROPDOWNLIST},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EditFixture f;
        if (c.listStyle >= 0) {
            ASSERT_TRUE(f.grid.SetColumnList(c.col, {"Low", "Middle", "High"}));
            f.grid.SetListStyle(c.listStyle);
        }
        f.grid.SetFocusCell(2, c.col);
        f.owner.notes.clear();
        QTest::keyClick(&f.grid, Qt::Key_Escape);
        EXPECT_EQ(f.EditorCount(), 0) << "the edit has ended";
        EXPECT_EQ(f.grid.GetItemText(2, c.col), QStringLiteral("2.%1").arg(c.col));
        EXPECT_FALSE(f.grid.IsModified(2, c.col));
        EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, c.col));
        EXPECT_TRUE(f.grid.hasFocus());
    }
}

TEST(GridEditors, ADoubleClickedEditKeepsTheArrowsForTheCaret)
{
    EditFixture f;
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(3, 1));
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(3, 1));
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(3, 1));
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->ExitsOnArrows());
    EXPECT_EQ(e->cursorPosition(), 3) << "caret after the text";
    EXPECT_FALSE(e->hasSelectedText());
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(f.Open(), e) << "Left moves the caret";
    EXPECT_EQ(e->cursorPosition(), 2);
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClick(e, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(f.grid.GetItemText(3, 1), "3.") << "Ctrl+Left ends the edit";
    // Column 1 is the first that is not fixed: the editor opens again on the same cell.
    CInPlaceEdit *again = f.Open();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text(), "3.");
    EXPECT_TRUE(again->ExitsOnArrows());
}

TEST(GridEditors, LosingTheFocusEndsTheEditWithItsText)
{
    EditFixture f;
    f.grid.SetFocusCell(2, 2);
    QTest::keyClick(&f.grid, Qt::Key_M);
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    f.other.setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.grid.GetItemText(2, 2), "m");
    EXPECT_EQ(f.EditorCount(), 0);
}

TEST(GridEditors, LongTextsStayWholeAndWideCharactersAreNotTyped)
{
    EditFixture f;
    f.grid.SetItemText(1, 2, "Karaoke Hall");
    f.grid.SetFocusCell(1, 2);
    f.grid.OnChar(VK_RETURN, false);
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), "Karaoke Hall") << "a text longer than the typing limit is shown whole";
    QTest::keyClick(e, Qt::Key_A);
    EXPECT_EQ(e->text(), "Karaoke Hall") << "but cannot grow";
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "Karaoke Hal");
    QKeyEvent wide(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("场"));
    QApplication::sendEvent(e, &wide);
    EXPECT_EQ(e->text(), "Karaoke Hal");
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(f.grid.GetItemText(1, 2), "Karaoke Hall");
    EXPECT_FALSE(f.grid.IsModified(1, 2));

    // A text longer than an edit box holds comes back whole from an edit that changed nothing.
    const QString huge = QString(40000, u'k') + QStringLiteral("end");
    for (const Qt::Key end : {Qt::Key_Return, Qt::Key_Escape}) {
        f.grid.SetItemText(1, 2, huge);
        f.grid.SetFocusCell(1, 2);
        f.grid.OnChar(VK_RETURN, false);
        CInPlaceEdit *big = f.Open();
        ASSERT_TRUE(big);
        QTest::keyClick(big, end);
        EXPECT_EQ(f.grid.GetItemText(1, 2), huge) << end;
        EXPECT_FALSE(f.grid.IsModified(1, 2)) << end;
    }
}

TEST(GridEditors, AlignmentAndWideningFollowTheCell)
{
    EditFixture f;
    f.grid.SetItemFormat(1, 1, DT_RIGHT);
    f.grid.SetItemFormat(2, 1, DT_CENTER);
    const struct {
        int row;
        Qt::Alignment align;
    } cases[] = {{1, Qt::AlignRight}, {2, Qt::AlignHCenter}, {3, Qt::AlignLeft}};
    for (const auto &c : cases) {
        f.grid.SetFocusCell(c.row, 1);
        f.grid.OnChar(VK_RETURN, false);
        CInPlaceEdit *e = f.Open();
        ASSERT_TRUE(e) << c.row;
        EXPECT_EQ(e->alignment() & Qt::AlignHorizontal_Mask, c.align) << c.row;
        QTest::keyClick(e, Qt::Key_Return);
    }

    // Column 1 is 60 pixels wide: typing widens the editor. Column 2 reaches past the window,
    // so its editor never grows beyond the grid's right edge.
    f.grid.SetFocusCell(2, 1);
    QTest::keyClick(&f.grid, Qt::Key_W);
    CInPlaceEdit *e = f.Open();
    ASSERT_TRUE(e);
    const int before = e->width();
    f.Type(e, "WWWWWWW");
    EXPECT_GT(e->width(), before);
    QTest::keyClick(e, Qt::Key_Tab);
    CInPlaceEdit *wide = f.Open();
    ASSERT_TRUE(wide) << "Tab went on to column 2";
    f.Type(wide, "WWWWWWWW");
    EXPECT_LE(wide->geometry().right(), f.grid.viewport()->width() - 1);
    QTest::keyClick(wide, Qt::Key_Escape);
}

TEST(GridEditors, ListColumnsEditInAComboOfTheirTexts)
{
    EditFixture f;
    const QStringList sizes{"Low", "Middle", "High"};
    ASSERT_TRUE(f.grid.SetColumnList(2, sizes));
    f.grid.SetFocusCell(1, 2);
    f.grid.OnChar(VK_RETURN, false);
    CInPlaceList *list = f.Open<CInPlaceList>();
    ASSERT_TRUE(list);
    ASSERT_TRUE(list->EditPart());
    EXPECT_EQ(list->currentText(), "1.2") << "a text outside the list shows in the edit part";
    const QFontMetrics fm(list->font());
    EXPECT_GE(list->DroppedWidth(), fm.horizontalAdvance("Middle") + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                        2 * fm.horizontalAdvance(' '));
    EXPECT_EQ(list->ListLines(), 4);

    // A text outside the list is refused when the edit ends; a list text is stored.
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.grid.GetItemText(1, 2), "1.2");
    f.grid.SetFocusCell(2, 2);
    QTest::keyClick(&f.grid, Qt::Key_H);
    list = f.Open<CInPlaceList>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->currentText(), "h");
    list->EditPart()->setText("High");
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(f.grid.GetItemText(2, 2), "High");
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(3, 1)) << "Tab from the last column wraps to the next row";
    ASSERT_EQ(f.EditorCount(), 1);
    QTest::keyClick(f.Open(), Qt::Key_Escape);

    // The list alone: no edit part; the arrows pick, a loss of focus ends it.
    f.grid.SetListStyle(CBS_DROPDOWNLIST);
    f.grid.SetFocusCell(3, 2);
    f.grid.OnChar(VK_RETURN, false);
    list = f.Open<CInPlaceList>();
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->EditPart());
    list->setCurrentIndex(1);
    f.other.setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.grid.GetItemText(3, 2), "Middle");
    EXPECT_EQ(f.EditorCount(), 0);
}

TEST(GridEditors, TheReadOnlyPresetListOpensNoEditor)
{
    EditFixture f;
    f.grid.SetEditable(false);
    f.grid.SetFocusCell(2, 1);
    QTest::keyClick(&f.grid, Qt::Key_X);
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(2, 1));
    EXPECT_EQ(f.EditorCount(), 0);

    // Nor does a read-only cell of an editable grid.
    f.grid.SetEditable(true);
    f.grid.SetItemState(3, 1, GRID_STATE_READONLY);
    f.grid.SetFocusCell(3, 1);
    QTest::keyClick(&f.grid, Qt::Key_X);
    EXPECT_EQ(f.EditorCount(), 0);
    EXPECT_EQ(f.grid.GetItemText(3, 1), "3.1");
}

}  // namespace

namespace {

TEST(GridEditors, AGridThatGoesWithAnEditorOpenTellsNobody)
{
    EditFixture f;
    auto *grid = new CComboGridCtrl(&f.owner);
    grid->SetRowCount(3);
    grid->SetColumnCount(2);
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(1);
    grid->Create(QRect(0, 0, 200, 100), &f.owner, 13, 0);
    grid->setFocus();
    grid->SetFocusCell(1, 1);
    grid->OnChar('k', false);
    ASSERT_EQ(grid->viewport()->findChildren<CInPlaceEdit *>().size(), 1u);
    f.owner.notes.clear();
    delete grid;
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.owner.notes.empty());
}

}  // namespace
