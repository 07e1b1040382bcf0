// The source mix panel: which record byte each row writes, which rows stand for the active
// source, the change message's form, and the panel as a user drives it (slider, typed level, keys,
// the bridged partner).
#include "panels/output/MixRows.h"
#include "panels/output/ReMap_Dlg.h"

#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kWait = 5000;

// ---- rows --------------------------------------------------------------------------------------

struct RowCase {
    int row;
    int item;
    int byte;
};

TEST(MixRows, EachRowWritesItsOwnByteOfItem33Or34AndStampsThatItem)
{
    const RowCase cases[] = {
        {1, 33, 0}, {2, 33, 1}, {3, 33, 2}, {4, 33, 3}, {5, 33, 4}, {6, 33, 5}, {7, 33, 6}, {8, 33, 7},
        {9, 34, 6},   // Bluetooth left
        {10, 34, 7},  // Bluetooth right
        {11, 34, 4},  // S/PDIF left
        {12, 34, 5},  // S/PDIF right
    };
    g_bDeviceOnline = 1;
    for (const RowCase &c : cases) {
        CKTV_OutData out;
        out.SetGroup33Stamp(0);
        out.SetGroup34Stamp(0);
        const int before = mixrow::Level(out, c.row);
        mixrow::SetLevel(out, c.row, before == 37 ? 38 : 37);
        const int want = before == 37 ? 38 : 37;
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(out.GetGroup33Byte(k) == want, c.item == 33 && k == c.byte) << "row " << c.row << " byte " << k;
            EXPECT_EQ(out.GetGroup34Byte(k) == want, c.item == 34 && k == c.byte) << "row " << c.row << " byte " << k;
        }
        EXPECT_EQ(mixrow::Level(out, c.row), want) << c.row;
        EXPECT_EQ(out.GetGroup33Changed() != 0, c.item == 33) << c.row;
        EXPECT_EQ(out.GetGroup34Changed() != 0, c.item == 34) << c.row;
    }
    g_bDeviceOnline = 0;
    CKTV_OutData out;
    EXPECT_EQ(mixrow::Level(out, 0), -1);
    EXPECT_EQ(mixrow::Level(out, 13), -1);
    mixrow::SetLevel(out, 13, 5);  // refused, no write beyond the table
}

TEST(MixRows, ControlIdsTipsAndActiveRows)
{
    EXPECT_EQ(mixrow::RowOfEdit(2818), 1);
    EXPECT_EQ(mixrow::RowOfEdit(2829), 12);
    EXPECT_EQ(mixrow::RowOfSlider(2868), 11);
    EXPECT_EQ(mixrow::RowOfSlider(2869), 12);
    EXPECT_EQ(mixrow::RowOfSpin(2870), 11);
    EXPECT_EQ(mixrow::RowOfSpin(2871), 12);
    EXPECT_EQ(mixrow::RowOfSlider(2817), 0);
    EXPECT_EQ(mixrow::RowOfEdit(2848), 0);
    EXPECT_EQ(mixrow::TipText(3, false), "LINE3");
    EXPECT_EQ(mixrow::TipText(3, true), "LINE3");
    EXPECT_EQ(mixrow::TipText(9, false), "Bluetooth-L");
    EXPECT_EQ(mixrow::TipText(12, true), "数字右");

    // Source codes: 0 S/PDIF, 1 Hi.Level, 2 Phone (Bluetooth), 3..5 AUX1..AUX3, 6 none.
    const std::pair<int, std::vector<int>> active[] = {
        {0, {11, 12}}, {1, {1, 2, 3, 4, 5, 6}}, {2, {9, 10}}, {3, {7, 8}}, {4, {}}, {5, {}}, {6, {}}, {-1, {}}, {255, {}},
    };
    for (const auto &[source, rows] : active)
        for (int r = 1; r <= 12; ++r)
            EXPECT_EQ(mixrow::IsActiveRow(source, r), std::find(rows.begin(), rows.end(), r) != rows.end())
                << "source " << source << " row " << r;
}

TEST(MixRows, AChangeCarriesItsOutputAndRowAsValues)
{
    for (int out = 0; out < 8; ++out)
        for (int row = 1; row <= 12; ++row) {
            const WPARAM w = mixrow::ChangeWParam(out, row);
            EXPECT_EQ(mixrow::ChangeOutput(w), out);
            EXPECT_EQ(mixrow::ChangeRow(w), row);
        }
    EXPECT_EQ(mixrow::ChangeOutput(mixrow::ChangeWParam(-1, 3)), -1);
}

// ---- the panel -----------------------------------------------------------------------------------

// The mixer's place: records what the panel posts.
struct Owner : QWidget {
    std::vector<std::pair<WPARAM, LPARAM>> changed;
    std::vector<WPARAM> selected;
    Owner()
    {
        auto *t = CMessageTable::Ensure(this);
        t->On(WM_REMAP_CHANGED, [this](WPARAM w, LPARAM l) { changed.emplace_back(w, l); return LRESULT(0); });
        t->On(WM_REMAP_SELECT, [this](WPARAM w, LPARAM) { selected.push_back(w); return LRESULT(0); });
    }
};

struct MixPanel : ::testing::Test {
    struct App {
        App() { QtTestApp(); }
    } app;  // before any widget
    CKTV_Data tree;
    Owner owner;
    CReMap_Dlg *panel = nullptr;

    void SetUp() override
    {
        QtTestApp();
        for (auto &p : g_BtlPair)
            p = 0;
        g_nInputSource = 6;
        g_bDeviceOnline = 1;
        owner.resize(300, 620);
    }
    void TearDown() override
    {
        for (auto &p : g_BtlPair)
            p = 0;
        g_bDeviceOnline = 0;
    }
    void Make(int channel)
    {
        panel = new CReMap_Dlg(&owner);
        panel->m_pOwner = &owner;
        panel->m_nChannel = channel;
        panel->m_pRecord = tree.GetOut(channel);
        panel->m_pTree = &tree;
        panel->OnInitDialog();
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &owner; }, kWait));
    }
    void Type(int row, const QString &text, Qt::Key key = Qt::Key_Return)
    {
        CNumEdit *edit = panel->Edit(row);
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, key);
        QCoreApplication::processEvents();
    }
};

TEST_F(MixPanel, OpensWithTheStoredLevelsAndTheActiveSourceSkin)
{
    g_nInputSource = 3;  // AUX: LINE7 and LINE8
    for (int r = 1; r <= 12; ++r)
        mixrow::SetLevel(*tree.GetOut(4), r, r * 7);
    tree.GetOut(4)->SetGroup33Byte(1, 180);  // a stray byte from a device
    Make(4);
    for (int r = 1; r <= 12; ++r) {
        const int want = r == 2 ? 100 : r * 7;
        EXPECT_EQ(panel->Edit(r)->text(), QString::number(want)) << r;
        EXPECT_EQ(panel->Slider(r)->GetPos(), want) << r;
        EXPECT_FALSE(panel->Spin(r)->isVisible()) << r;
        EXPECT_EQ(panel->IsSourceRow(r), r == 7 || r == 8) << r;
    }
    EXPECT_EQ(tree.GetOut(4)->GetGroup33Byte(1), 180) << "the record keeps the byte until the row is changed";
}

TEST_F(MixPanel, ASliderChangeWritesTheRecordAndReportsEachPosition)
{
    Make(0);
    CBitmapSlider *slider = panel->Slider(3);
    for (int pos : {10, 55, 55}) {
        slider->SetPos(pos);
        SendMessageTo(panel, WM_SLIDER_POS_CHANGING, WPARAM(GetCtrlId(slider)), pos);
        EXPECT_EQ(tree.GetOut(0)->GetGroup33Byte(2), pos);
        EXPECT_EQ(panel->Edit(3)->text(), QString::number(pos));
    }
    SendMessageTo(panel, WM_SLIDER_POS_CHANGED, WPARAM(GetCtrlId(slider)), 55);
    ASSERT_TRUE(WaitUntil([&] { return owner.changed.size() == 4; }, kWait));
    for (const auto &[w, l] : owner.changed) {
        EXPECT_EQ(mixrow::ChangeOutput(w), 0);
        EXPECT_EQ(mixrow::ChangeRow(w), 3);
    }
    EXPECT_EQ(owner.changed.front().second, 10);
    EXPECT_EQ(owner.changed.back().second, 55);
    EXPECT_TRUE(owner.selected.empty()) << "a slider change moves no selection";
    EXPECT_EQ(tree.GetOut(1)->GetGroup33Byte(2), 100) << "no partner without a bridge";
}

TEST_F(MixPanel, TypedLevelsAreClampedCommittedByEnterAndSelectThePanel)
{
    Make(5);
    struct Case {
        const char *typed;
        Qt::Key key;
        int level;
    };
    const Case cases[] = {{"abc", Qt::Key_Enter, 0}, {"42", Qt::Key_Return, 42}, {"150", Qt::Key_Return, 100},
                          {"7", Qt::Key_Escape, 7}, {"63", Qt::Key_Tab, 63}};
    for (const Case &c : cases) {
        owner.changed.clear();
        owner.selected.clear();
        Type(11, QString::fromLatin1(c.typed), c.key);
        ASSERT_TRUE(WaitUntil([&] { return !owner.changed.empty() && !owner.selected.empty(); }, kWait)) << c.typed;
        EXPECT_EQ(tree.GetOut(5)->GetGroup34Byte(4), c.level) << c.typed;
        EXPECT_EQ(owner.changed.back().second, c.level) << c.typed;
        EXPECT_EQ(mixrow::ChangeRow(owner.changed.back().first), 11) << c.typed;
        EXPECT_EQ(owner.selected.back(), 5u) << c.typed;
        EXPECT_EQ(panel->Slider(11)->GetPos(), c.level) << c.typed;
        EXPECT_TRUE(panel->hasFocus()) << "the key only moved the focus to the panel: " << c.typed;
    }
}

TEST_F(MixPanel, APressAnywhereSelectsThePanel)
{
    Make(2);
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(60, 560));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(60, 560));
    QTest::mousePress(panel->Slider(5), Qt::LeftButton, {}, QPoint(3, 10));
    QTest::mouseRelease(panel->Slider(5), Qt::LeftButton, {}, QPoint(3, 10));
    ASSERT_TRUE(WaitUntil([&] { return owner.selected.size() >= 2; }, kWait));
    EXPECT_EQ(owner.selected.front(), 2u);
}

TEST_F(MixPanel, TheFirstOutputOfABridgedPairWritesItsPartner)
{
    g_BtlPair[2] = 1;
    Make(2);
    Type(9, QStringLiteral("33"));
    EXPECT_EQ(tree.GetOut(2)->GetGroup34Byte(6), 33);
    EXPECT_EQ(tree.GetOut(3)->GetGroup34Byte(6), 33);
    EXPECT_EQ(tree.GetOut(4)->GetGroup34Byte(6), 100);
}

TEST_F(MixPanel, TheLastOutputHasNoPartnerEvenWithAStrayBridgeMark)
{
    g_BtlPair[7] = 1;
    Make(7);
    Type(1, QStringLiteral("12"));
    EXPECT_EQ(tree.GetOut(7)->GetGroup33Byte(0), 12);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(tree.GetOut(c)->GetGroup33Byte(0), 100) << c;
}

}  // namespace
