// The page tab's colour arithmetic and drawing choices, and the two coloured report lists.

#include "controls/ColorListCtrl.h"
#include "controls/EnTabCtrl.h"
#include "controls/ListCtrlCl.h"
#include "tests/controls/CtrlTestKit.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(EnTabCtrl, ColourArithmetic)
{
    const struct {
        COLORREF in;
        float factor;
        bool lighter;
        COLORREF out;
    } cases[] = {
        {0xEEE4E3, 0.7f, false, 0xA69F9E}, {0xC79772, 1.5f, true, 0xFFE2AB}, {0xC79772, 0.75f, false, 0x957155},
        {0xDEA87F, 0.9f, false, 0xC79772}, {0x0000FF, 0.9f, false, 0x0000E5}, {0xFFFFFF, 0.9f, false, 0xE5E5E5},
        {0x000000, 1.9f, true, 0x000000},  {0x808080, 3.0f, true, 0xFFFFFF},  {0x808080, 1.5f, false, 0x808080},
        {0x808080, 0.5f, true, 0x808080},
    };
    for (const auto &c : cases) {
        const COLORREF got = c.lighter ? CEnTabCtrl::Lighter(c.in, c.factor) : CEnTabCtrl::Darker(c.in, c.factor);
        EXPECT_EQ(got, c.out) << std::hex << c.in << " x " << c.factor;
    }
}

TEST(EnTabCtrl, TabColoursWithTheViewsFlags)
{
    QtTestApp();
    CEnTabCtrl tab;
    tab.resize(600, 300);
    tab.SetBkColor(0xEEE4E3);
    tab.SetPaintMode(2);
    CEnTabCtrl::EnableCustomLook(true, 0x1F);
    EXPECT_EQ(tab.GetTabColor(true), 0x000000u);
    EXPECT_EQ(tab.CurrentItem(), 3);
    EXPECT_EQ(tab.GetTabColor(false), 0xEEE4E3u);  // before any tab is drawn: tab 3's colour
    for (const char *t : {"Output", "Input", "Mixer", "-", "Link"})
        tab.InsertItem(tab.GetItemCount(), t);
    tab.SetCurSel(1);
    QPixmap shot(tab.size());
    tab.render(&shot);
    EXPECT_EQ(tab.CurrentItem(), 1);  // the selected tab is drawn last
    EXPECT_EQ(tab.GetTabColor(false), 0xC79772u);
    EXPECT_EQ(tab.GetTabTextColor(true), 0x0000E5u);
    EXPECT_EQ(tab.GetTabTextColor(false), 0xE5E5E5u);
    CEnTabCtrl::EnableCustomLook(false, 0x1F);
    EXPECT_EQ(CEnTabCtrl::CustomLook(), 0u);
    EXPECT_FALSE(tab.SetPaintMode(3));
    EXPECT_EQ(tab.GetPaintMode(), 2);
}

void MoveTo(QWidget *w, QPoint p)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

TEST(EnTabCtrl, ClickSelectsAndTabThreeIsNotChoosable)
{
    QtTestApp();
    CEnTabCtrl tab;
    tab.resize(800, 200);
    for (const char *t : {"A", "B", "C", "D", "E"})
        tab.InsertItem(tab.GetItemCount(), t);
    int reported = -1;
    QObject::connect(&tab, &CBaseTabCtrl::selectionChanged, [&](int i) { reported = i; });
    QRect r;
    ASSERT_TRUE(tab.GetItemRect(2, r));
    QTest::mouseClick(&tab, Qt::LeftButton, {}, r.center());
    EXPECT_EQ(tab.GetCurSel(), 2);
    EXPECT_EQ(reported, 2);
    ASSERT_TRUE(tab.GetItemRect(3, r));
    MoveTo(&tab, r.center());
    EXPECT_EQ(tab.IsOverChoosable(), 0);
    ASSERT_TRUE(tab.GetItemRect(4, r));
    MoveTo(&tab, r.center());
    EXPECT_EQ(tab.IsOverChoosable(), 1);
    ASSERT_TRUE(tab.GetItemRect(2, r));
    MoveTo(&tab, r.center());
    EXPECT_EQ(tab.IsOverChoosable(), 0);  // the selected tab
}

TEST(EnTabCtrl, ThePageAreaSitsBelowOneRowOfTheTabFontWithOrWithoutTabs)
{
    QtTestApp();
    CEnTabCtrl tab;
    tab.resize(800, 200);
    auto rowOf = [](const QFont &f) { return std::max(20, QFontMetrics(f).height() + 10); };
    // No tab yet: the row is measured when the page area is asked for, in the font of that moment.
    EXPECT_EQ(tab.AdjustRect().top(), rowOf(tab.font()) + 2 + 4);
    QFont big = tab.font();
    big.setPixelSize(40);
    tab.SetTabFont(big);
    EXPECT_EQ(tab.AdjustRect().top(), rowOf(big) + 2 + 4);
    // With tabs the row is laid out with them, at the same height.
    tab.InsertItem(0, QStringLiteral("A"));
    QRect r;
    ASSERT_TRUE(tab.GetItemRect(0, r));
    EXPECT_EQ(r.height(), rowOf(big));
    EXPECT_EQ(tab.AdjustRect().top(), rowOf(big) + 2 + 4);
}

TEST(ListCtrlCl, ColourRulesAndAlignment)
{
    QtTestApp();
    CListCtrlCl list;
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    list.InsertColumn(1, "Gain", LVCFMT_CENTER, 60);
    list.InsertColumn(2, "Delay", LVCFMT_RIGHT, 60);
    for (int r = 0; r < 4; ++r)
        list.InsertItem(r, QStringLiteral("Row %1").arg(r));
    EXPECT_EQ(list.Header()->m_Format, "012");
    EXPECT_EQ(list.CellAlignment(2), Qt::AlignRight);

    list.SetColBkColor(1, RGB(1, 1, 1));
    list.SetColBkColor(1, RGB(2, 2, 2));
    EXPECT_EQ(list.CellBackColour(0, 1), RGB(1, 1, 1));  // the first entry for a column wins
    list.SetCellBkColor(0, 0, RGB(3, 3, 3));
    list.SetCellBkColor(2, 1, RGB(4, 4, 4));
    EXPECT_EQ(list.CellBackColour(0, 0), RGB(255, 255, 255));  // only the last cell keeps its colour
    EXPECT_EQ(list.CellBackColour(1, 2), RGB(4, 4, 4));
    list.SetTextColorAll(RGB(9, 9, 9));
    list.SetColTextColor(2, RGB(8, 8, 8));
    list.SetRowTextColor(3, RGB(7, 7, 7));
    EXPECT_EQ(list.CellTextColour(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(list.CellTextColour(0, 2), RGB(8, 8, 8));
    EXPECT_EQ(list.CellTextColour(3, 2), RGB(7, 7, 7));

    EXPECT_EQ(list.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    list.SetRowHeight(30);
    EXPECT_EQ(list.rowHeight(2), 30);
}

TEST(HeaderCtrlCl, GradientRows)
{
    for (int k = 0; k <= 20; ++k)
        EXPECT_EQ(CHeaderCtrlCl::GradientRow(180, 179, 179, 3, k), RGB(180 - 3 * k, 179 - 3 * k, 179 - 3 * k));
    EXPECT_EQ(CHeaderCtrlCl::GradientRow(180, 179, 179, 3, 20), RGB(120, 119, 119));
    EXPECT_EQ(CHeaderCtrlCl::GradientRow(180, 179, 179, 3, 100), RGB(0, 0, 0));
}

TEST(ColorListCtrl, LastRecordWinsAndDeletedRowsLoseTheirColours)
{
    QtTestApp();
    CColorListCtrl list;
    list.setColumnCount(2);
    list.setRowCount(5);
    list.SetCellColor(1, 1, RGB(1, 0, 0), RGB(0, 1, 0));
    list.SetCellColor(1, 1, RGB(2, 0, 0), RGB(0, 2, 0));
    EXPECT_EQ(list.CellColours(1, 1), std::make_pair(RGB(2, 0, 0), RGB(0, 2, 0)));
    list.SetRowColor(2, RGB(5, 5, 5), RGB(6, 6, 6));
    list.SetRowColor(3, RGB(7, 7, 7), RGB(8, 8, 8));
    EXPECT_TRUE(list.DeleteItem(2));
    EXPECT_EQ(list.CellColours(2, 0), std::make_pair(RGB(0, 0, 0), RGB(255, 255, 255)));
    EXPECT_EQ(list.CellColours(3, 1), std::make_pair(RGB(7, 7, 7), RGB(8, 8, 8)));  // kept its row number
    EXPECT_FALSE(list.DeleteItem(9));
    list.DeleteAllItems();
    EXPECT_EQ(list.CellColours(1, 1), std::make_pair(RGB(0, 0, 0), RGB(255, 255, 255)));
}

}  // namespace
