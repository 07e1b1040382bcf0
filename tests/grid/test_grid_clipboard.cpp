// The grid window's clipboard keys and its drag and drop, headless: Ctrl+A, C, X and V through the
// application clipboard, the edit commands' enabling, and drags over, onto and out of the grid.

#include "grid/GridCtrl.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>

#include "tests/grid/GridOwner.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The grid's owner window, 460 x 260 pixels.
class Owner : public GridOwner {
public:
    Owner() : GridOwner(QSize(460, 260)) {}
};

// A grid whose drags end with a chosen action instead of a user's drop.
class DragGrid : public CGridCtrl {
public:
    using CGridCtrl::CGridCtrl;
    Qt::DropAction ExecDrag(QDrag *drag) override
    {
        draggedText = drag->mimeData()->text();
        dragImage = drag->pixmap();
        hotSpot = drag->hotSpot();
        return dragResult;
    }
    Qt::DropAction dragResult = Qt::IgnoreAction;
    QString draggedText;
    QPixmap dragImage;
    QPoint hotSpot;
};

// 5 rows and 3 columns, one fixed row and column; cell (r, c) reads "r.c".
struct GridFixture {
    Owner owner;
    DragGrid grid{5, 3, 1, 1};
    explicit GridFixture(bool editable = true)
    {
        grid.Create(QRect(0, 0, 400, 200), &owner, 31, 0);
        for (int r = 0; r < 5; ++r) {
            grid.SetRowHeight(r, 24);
            for (int c = 0; c < 3; ++c)
                grid.SetItemText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
        }
        for (int c = 0; c < 3; ++c)
            grid.SetColumnWidth(c, 100);
        grid.SetEditable(editable);
        owner.show();
        grid.setFocus();
        QCoreApplication::processEvents();
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        owner.notes.clear();
    }
    QPoint Centre(int row, int col)
    {
        CRect rc;
        EXPECT_TRUE(grid.GetCellRect(row, col, &rc));
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Key(Qt::Key k) { QTest::keyClick(&grid, k, Qt::ControlModifier); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
};

TEST(GridClipboard, TheReadOnlyPresetListCopiesAndSelectsAllButTakesNothingIn)
{
    GridFixture f(false);
    f.grid.SetSingleSelect(true);
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(2, 1));
    f.Key(Qt::Key_C);
    EXPECT_EQ(f.Clipboard(), "2.1");

    f.Key(Qt::Key_A);
    EXPECT_EQ(f.grid.GetSelectedRange(), CGridCellRange(1, 1, 4, 2));
    f.Key(Qt::Key_C);
    EXPECT_EQ(f.Clipboard(), "1.1\t1.2\n2.1\t2.2\n3.1\t3.2\n4.1\t4.2");

    // Cut and paste change nothing in a grid that is not editable, and the clipboard stays.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    f.owner.notes.clear();
    f.Key(Qt::Key_X);
    f.Key(Qt::Key_V);
    EXPECT_EQ(f.Clipboard(), "pasted");
    EXPECT_EQ(f.grid.GetItemText(2, 1), "2.1");
    EXPECT_EQ(f.grid.GetItemText(1, 1), "1.1");
    EXPECT_FALSE(f.grid.IsModified());
    EXPECT_TRUE(f.owner.notes.empty());
    EXPECT_TRUE(f.grid.IsEditCommandEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(f.grid.IsEditCommandEnabled(ID_EDIT_CUT));
    EXPECT_FALSE(f.grid.IsEditCommandEnabled(ID_EDIT_PASTE));
    EXPECT_FALSE(f.grid.OnEditCommand(ID_EDIT_PASTE));
}

TEST(GridClipboard, CutAndPasteInAnEditableGrid)
{
    GridFixture f;
    f.grid.SetSelectedRange(1, 1, 2, 1);
    f.grid.SetFocusCell(1, 1);
    f.owner.notes.clear();
    f.Key(Qt::Key_X);
    EXPECT_EQ(f.Clipboard(), "1.1\n2.1");
    EXPECT_EQ(f.grid.GetItemText(1, 1), "");
    EXPECT_EQ(f.grid.GetItemText(2, 1), "");
    EXPECT_TRUE(f.grid.IsModified(2, 1));
    EXPECT_EQ(f.owner.notes, (std::vector<GridNote>{{1, 1, LVN_BEGINLABELEDIT},
                                                {1, 1, LVN_ENDLABELEDIT},
                                                {2, 1, LVN_BEGINLABELEDIT},
                                                {2, 1, LVN_ENDLABELEDIT}}));

    // Paste goes to the focus cell, and across and down from it.
    f.grid.SetFocusCell(3, 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("a\tb\nc"));
    EXPECT_TRUE(f.grid.IsEditCommandEnabled(ID_EDIT_PASTE));
    f.Key(Qt::Key_V);
    EXPECT_EQ(f.grid.GetItemText(3, 1), "a");
    EXPECT_EQ(f.grid.GetItemText(3, 2), "b");
    EXPECT_EQ(f.grid.GetItemText(4, 1), "c");

    // Without a focus cell the paste starts at the top-left scrolled cell.
    f.grid.SetFocusCell(-1, -1);
    QGuiApplication::clipboard()->setText(QStringLiteral("top"));
    EXPECT_TRUE(f.grid.OnEditCommand(ID_EDIT_SELECT_ALL));
    f.grid.OnEditPaste();
    EXPECT_EQ(f.grid.GetItemText(1, 1), "top");

    // Nothing selected: copy and cut are off and leave the clipboard alone.
    f.grid.SetSelectedRange(-1, -1, -1, -1);
    EXPECT_FALSE(f.grid.IsEditCommandEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(f.grid.IsEditCommandEnabled(ID_EDIT_CUT));
    f.grid.OnEditCopy();
    f.grid.OnEditCut();
    EXPECT_EQ(f.Clipboard(), "top");
}

// Sends a drag event to the grid's viewport with text data; the action the grid answered.
struct DragProbe {
    QMimeData data;
    explicit DragProbe(const QString &text) { data.setText(text); }
    Qt::DropAction Enter(QWidget *w, QPoint p, Qt::KeyboardModifiers keys = {})
    {
        QDragEnterEvent e(p, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(w, &e);
        return e.isAccepted() ? e.dropAction() : Qt::IgnoreAction;
    }
    Qt::DropAction Move(QWidget *w, QPoint p, Qt::KeyboardModifiers keys = {})
    {
        QDragMoveEvent e(p, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(w, &e);
        return e.isAccepted() ? e.dropAction() : Qt::IgnoreAction;
    }
    Qt::DropAction Drop(QWidget *w, QPoint p, Qt::KeyboardModifiers keys = {})
    {
        QDropEvent e(p, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(w, &e);
        return e.isAccepted() ? e.dropAction() : Qt::IgnoreAction;
    }
};

TEST(GridDragDrop, DropsLandOnEditableCellsOnly)
{
    GridFixture f;
    DragProbe probe("x,y");
    QWidget *vp = f.grid.viewport();

    // Drag and drop is off: every place refuses.
    for (QPoint p : {f.Centre(2, 1), f.Centre(0, 1), QPoint(390, 190)})
        EXPECT_EQ(probe.Move(vp, p), Qt::IgnoreAction);

    f.grid.EnableDragAndDrop(true);
    EXPECT_EQ(probe.Enter(vp, f.Centre(2, 1)), Qt::MoveAction);
    EXPECT_TRUE(f.grid.GetItemState(2, 1) & GRID_STATE_DROPTARGET);
    EXPECT_EQ(probe.Move(vp, f.Centre(3, 1), Qt::ControlModifier), Qt::CopyAction) << "Ctrl makes it a copy";
    EXPECT_FALSE(f.grid.GetItemState(2, 1) & GRID_STATE_DROPTARGET) << "the mark follows the pointer";
    EXPECT_TRUE(f.grid.GetItemState(3, 1) & GRID_STATE_DROPTARGET);

    // A fixed cell or the space beyond the cells refuses, and the mark goes.
    EXPECT_EQ(probe.Move(vp, f.Centre(0, 1)), Qt::IgnoreAction);
    EXPECT_EQ(probe.Move(vp, f.Centre(3, 0)), Qt::IgnoreAction);
    EXPECT_FALSE(f.grid.GetItemState(3, 1) & GRID_STATE_DROPTARGET);
    EXPECT_EQ(f.grid.GetLastDragOverCell(), CGridCellPos());

    // A read-only cell refuses and the mark stays where it was.
    f.grid.SetItemState(4, 2, GRID_STATE_READONLY);
    EXPECT_EQ(probe.Move(vp, f.Centre(4, 1)), Qt::MoveAction);
    EXPECT_EQ(probe.Move(vp, f.Centre(4, 2)), Qt::IgnoreAction);
    EXPECT_TRUE(f.grid.GetItemState(4, 1) & GRID_STATE_DROPTARGET);

    // The drop pastes at the last cell dragged over; the read-only neighbour keeps its text.
    EXPECT_EQ(probe.Drop(vp, f.Centre(4, 1)), Qt::MoveAction);
    EXPECT_EQ(f.grid.GetItemText(4, 1), "x");
    EXPECT_EQ(f.grid.GetItemText(4, 2), "4.2");
    EXPECT_FALSE(f.grid.GetItemState(4, 1) & GRID_STATE_DROPTARGET);
    EXPECT_EQ(f.owner.notes.front(), (GridNote{4, 1, LVN_BEGINLABELEDIT}));
}

TEST(GridDragDrop, TheGridAsDragSource)
{
    GridFixture f;
    f.grid.SetSelectedRange(1, 1, 1, 2);
    f.grid.SetFocusCell(1, 1);
    f.grid.BeginDragSource();
    EXPECT_TRUE(f.grid.draggedText.isEmpty()) << "no drag while drag and drop is off";

    f.grid.EnableDragAndDrop(true);
    f.grid.dragResult = Qt::CopyAction;
    f.owner.notes.clear();
    f.grid.BeginDragSource();
    EXPECT_EQ(f.grid.draggedText, "1.1\t1.2");
    EXPECT_EQ(f.owner.notes, (std::vector<GridNote>{{1, 1, LVN_BEGINDRAG}}));
    EXPECT_EQ(f.grid.GetItemText(1, 1), "1.1") << "a copy leaves the source";
    EXPECT_EQ(f.grid.dragImage.size(), QSize(100, 24));
    EXPECT_EQ(f.grid.hotSpot, QPoint(100, 24));
    EXPECT_EQ(f.grid.GetMouseMode(), GRID_MOUSE_NONE);

    f.grid.dragResult = Qt::MoveAction;
    f.grid.BeginDragSource();
    EXPECT_EQ(f.grid.GetItemText(1, 1), "") << "a move empties the source cells";
    EXPECT_EQ(f.grid.GetItemText(1, 2), "");
}

}  // namespace

namespace {

TEST(GridSortOnClick, HeaderClicksInListModeSortAndAlternate)
{
    GridFixture f;
    const char *names[] = {"b", "C", "a", "B"};
    for (int r = 1; r <= 4; ++r) {
        f.grid.SetItemText(r, 1, names[r - 1]);
        f.grid.SetItemText(r, 2, QString::number(5 - r));
    }
    const auto column = [&](int c) {
        QStringList out;
        for (int r = 1; r <= 4; ++r)
            out << f.grid.GetItemText(r, c);
        return out;
    };
    f.grid.OnHeaderRowClick({0, 1});
    EXPECT_EQ(column(1), (QStringList{"b", "C", "a", "B"})) << "outside list mode a header click selects";

    f.grid.SetListMode(true);
    f.grid.OnHeaderRowClick({0, 1});
    EXPECT_EQ(column(1), (QStringList{"B", "C", "a", "b"}));
    EXPECT_TRUE(f.grid.GetSortAscending());
    f.grid.OnHeaderRowClick({0, 1});
    EXPECT_EQ(column(1), (QStringList{"b", "a", "C", "B"}));
    EXPECT_FALSE(f.grid.GetSortAscending());
    f.grid.OnHeaderRowClick({0, 2});
    EXPECT_EQ(column(2), (QStringList{"1", "2", "3", "4"})) << "another column sorts ascending";
    EXPECT_EQ(f.grid.GetSortColumn(), 2);

    f.grid.SetSortOnClick(false);
    f.grid.OnHeaderRowClick({0, 2});
    EXPECT_EQ(column(2), (QStringList{"1", "2", "3", "4"}));
}

}  // namespace
