// The grid's title tip headless: shown over a cell whose text does not fit, and out of the way on
// a press (which reaches the grid), a key (which reaches the grid) or a scroll.

#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"
#include "platform/qt/QtGlobals.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QFontMetrics>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct AppFirst {
    AppFirst()
    {
        QtTestApp();
        InitQtGlobals();
    }
};

struct TipFixture : AppFirst {
    QWidget owner;
    CGridCtrl grid{12, 2, 1, 1};
    TipFixture()
    {
        owner.resize(260, 160);
        grid.Create(QRect(0, 0, 240, 140), &owner, 3, 0);
        grid.SetEditable(false);
        for (int r = 0; r < 12; ++r) {
            grid.SetRowHeight(r, 22);
            grid.SetItemText(r, 1, QStringLiteral("Preset %1").arg(r));
        }
        grid.SetColumnWidth(0, 40);
        grid.SetColumnWidth(1, 80);
        grid.SetItemText(2, 1, "A preset name far too long for its cell");
        owner.show();
        owner.activateWindow();
        EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &owner; }, 2000));
        grid.setFocus();
        grid.SetFocusCell(1, 1);
        grid.UpdateScrollBars();
        QCoreApplication::processEvents();
    }
    QRect Cell(int row, int col) const
    {
        CRect rc;
        EXPECT_TRUE(grid.GetCellRect(row, col, &rc));
        return QRect(rc.left, rc.top, rc.right - rc.left + 1, rc.bottom - rc.top + 1);
    }
    CTitleTip &Tip() const { return *grid.TitleTip(); }
};

TEST(GridTitleTip, MadeHiddenWithTheGridAndShownOnlyForTextsThatDoNotFit)
{
    TipFixture f;
    ASSERT_TRUE(f.grid.TitleTip());
    EXPECT_FALSE(f.Tip().isVisible());
    EXPECT_EQ(f.Tip().Owner(), f.grid.viewport());

    f.Tip().Show(f.Cell(1, 1), f.grid.GetItemText(1, 1));
    EXPECT_FALSE(f.Tip().isVisible()) << "the text fits";

    const QString text = f.grid.GetItemText(2, 1);
    f.Tip().Show(f.Cell(2, 1), text, 4);
    ASSERT_TRUE(f.Tip().isVisible());
    const QPoint cell = f.grid.viewport()->mapToGlobal(f.Cell(2, 1).topLeft());
    EXPECT_EQ(f.Tip().geometry().topLeft(), cell + QPoint(4, 0));
    EXPECT_EQ(f.Tip().width(), QFontMetrics(f.grid.font()).horizontalAdvance(" " + text + " ") + 4);
    EXPECT_EQ(f.Tip().height(), f.Cell(2, 1).height());
    EXPECT_FALSE(f.Tip().isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), &f.grid) << "the tip takes no focus";

    // A text of megabytes is measured and drawn only as far as the screen is wide.
    f.Tip().Hide();
    const QString huge = QStringLiteral("start ") + QString(4 << 20, u'x');
    f.Tip().Show(f.Cell(2, 1), huge);
    ASSERT_TRUE(f.Tip().isVisible());
    EXPECT_LE(f.Tip().Text().size(), 2 * (f.grid.screen()->geometry().width() + 1) + 2);
    EXPECT_TRUE(f.Tip().Text().startsWith(QStringLiteral(" start xxx")));
}

TEST(GridTitleTip, APressOnTheTipReachesTheGridUnderneath)
{
    TipFixture f;
    f.Tip().Show(f.Cell(2, 1), f.grid.GetItemText(2, 1));
    ASSERT_TRUE(f.Tip().isVisible());
    QTest::mousePress(&f.Tip(), Qt::LeftButton, {}, QPoint(10, 8));
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.Tip().isVisible());
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, 1)) << "the grid took the press at that place";
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, f.Cell(2, 1).center());
}

TEST(GridTitleTip, AKeyOrAScrollHidesTheTip)
{
    TipFixture f;
    f.Tip().Show(f.Cell(2, 1), f.grid.GetItemText(2, 1));
    ASSERT_TRUE(f.Tip().isVisible());
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_FALSE(f.Tip().isVisible());
    EXPECT_EQ(f.grid.GetFocusCell(), CGridCellPos(2, 1)) << "the key reached the grid";

    f.Tip().Show(f.Cell(2, 1), f.grid.GetItemText(2, 1));
    ASSERT_TRUE(f.Tip().isVisible());
    f.grid.OnVScroll(SB_LINEDOWN);
    EXPECT_FALSE(f.Tip().isVisible());
}

TEST(GridTitleTip, NoTipWithoutFocusOrWhenTurnedOff)
{
    TipFixture f;
    f.grid.clearFocus();
    QApplication::setActiveWindow(nullptr);
    QCoreApplication::processEvents();
    if (!QApplication::focusWidget()) {
        f.Tip().Show(f.Cell(2, 1), f.grid.GetItemText(2, 1));
        EXPECT_FALSE(f.Tip().isVisible()) << "no window of the program has the focus";
    }
    QWidget owner;
    CGridCtrl plain(3, 2, 1, 1);
    plain.EnableTitleTips(false);
    plain.Create(QRect(0, 0, 100, 80), &owner, 4, 0);
    EXPECT_EQ(plain.TitleTip(), nullptr);
}

}  // namespace
