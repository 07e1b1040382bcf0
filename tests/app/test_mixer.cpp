// The mixer dialog: where its panels stand, the bridged pairs, the selection frame, the source
// labels, the keys that never close it and the levels it passes to the view; and, end to end, a
// level set in the mixer opened from the main view's Mixer button reaching the simulated device.
#include "app/HiLevelSourceDlg.h"
#include "app/MixInPutCom.h"
#include "app/VRX530View.h"

#include "app/ViewLogic.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/DisplayDlg.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/output/MixRows.h"
#include "panels/output/BTLMixRoute.h"
#include "panels/output/ReMap_Dlg.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QTimer>

#include "tests/app/ConnectedViewFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWait = 60000;  // bounds a failing wait only


void ClearBridges()
{
    for (auto &p : g_BtlPair)
        p = 0;
}


// The view's place: records the mix-table messages.
struct ViewStandIn : QWidget {
    std::vector<std::pair<WPARAM, LPARAM>> levels;
    ViewStandIn()
    {
        CMessageTable::Ensure(this)->On(ViewMsg::MixTable, [this](WPARAM w, LPARAM l) {
            levels.emplace_back(w, l);
            return LRESULT(0);
        });
    }
};

struct Mixer : ::testing::Test {
    struct App {
        App() { QtTestApp(); }
    } app;
    CKTV_Data tree;
    ViewStandIn view;
    std::unique_ptr<CMixInPutCom> dlg;

    void SetUp() override
    {
        ClearBridges();
        g_bChinese = 0;
        g_nInputSource = 6;
    }
    void TearDown() override
    {
        if (dlg)
            dlg->DestroyPanels();
        dlg.reset();
        ClearBridges();
        g_bChinese = 0;
    }
    // Opens the dialog without its modal loop.
    void Open()
    {
        dlg = std::make_unique<CMixInPutCom>();
        dlg->m_pOwnerView = &view;
        dlg->m_pTree = &tree;
        dlg->OnInitDialog();
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg.get(); }, kWait));
    }
};

TEST_F(Mixer, EightPanelsSideBySideAndNoPairPanelWithoutABridge)
{
    Open();
    const int lefts[] = {65, 196, 327, 458, 589, 720, 851, 982};
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(dlg->Panel(i), nullptr);
        EXPECT_EQ(dlg->Panel(i)->geometry(), QRect(lefts[i], 16, 116, 570)) << i;
        EXPECT_TRUE(dlg->Panel(i)->isVisible()) << i;
        EXPECT_EQ(dlg->Panel(i)->m_pRecord, tree.GetOut(i)) << i;
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(dlg->PairPanel(k)->Window()->isVisible()) << k;
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Input Signal"));
    EXPECT_EQ(dlg->size(), QSize(1120, 624));
}

TEST_F(Mixer, ABridgedPairShowsItsPairPanelWithTheFirstOutputsLevelsAndFollowsItsChanges)
{
    for (int r = 1; r <= 12; ++r)
        mixrow::SetLevel(*tree.GetOut(2), r, 5 * r);
    g_BtlPair[2] = 1;
    Open();
    IPairMixPanel *pair = dlg->PairPanel(1);
    EXPECT_TRUE(pair->Window()->isVisible());
    EXPECT_EQ(pair->Window()->pos(), QPoint(454, 10));
    EXPECT_FALSE(dlg->Panel(3)->isVisible());
    EXPECT_FALSE(dlg->PairPanel(0)->Window()->isVisible());
    for (int r = 1; r <= 12; ++r) {
        EXPECT_EQ(pair->RowText(r), QString::number(5 * r)) << r;
        EXPECT_EQ(pair->RowPos(r), 5 * r) << r;
    }
    TypeInto(dlg->Panel(2)->Edit(4), QStringLiteral("77"));
    ASSERT_TRUE(WaitUntil([&] { return pair->RowText(4) == QStringLiteral("77"); }, kWait));
    EXPECT_EQ(pair->RowPos(4), 77);
    EXPECT_EQ(tree.GetOut(3)->GetGroup33Byte(3), 77) << "the partner's record follows";
}

TEST_F(Mixer, APairPanelStoresNothingAndTheNextChangeOfItsRowSetsItBack)
{
    g_BtlPair[0] = 1;
    Open();
    auto *pair = dynamic_cast<CBTLMixRoute *>(dlg->PairPanel(0));
    ASSERT_NE(pair, nullptr);
    auto *slider = pair->findChildren<CBitmapSlider *>().at(2);  // row 3
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(8, 10));
    QCoreApplication::processEvents();
    EXPECT_NE(pair->RowPos(3), 100) << "the thumb moved";
    EXPECT_EQ(pair->RowText(3), QStringLiteral("100"));
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(tree.GetOut(c)->GetGroup33Byte(2), 100) << c;
    EXPECT_TRUE(view.levels.empty());
    TypeInto(dlg->Panel(0)->Edit(3), QStringLiteral("64"));
    ASSERT_TRUE(WaitUntil([&] { return pair->RowPos(3) == 64; }, kWait));
    EXPECT_EQ(pair->RowText(3), QStringLiteral("64"));
}

TEST_F(Mixer, EveryLevelChangeReachesTheViewWithItsOutputAndRow)
{
    Open();
    CBitmapSlider *slider = dlg->Panel(6)->Slider(10);
    slider->SetPos(31);
    SendMessageTo(dlg->Panel(6), WM_SLIDER_POS_CHANGED, WPARAM(GetCtrlId(slider)), 31);
    TypeInto(dlg->Panel(1)->Edit(2), QStringLiteral("8"));
    ASSERT_TRUE(WaitUntil([&] { return view.levels.size() == 2; }, kWait));
    CMixTable table;
    for (const auto &[w, l] : view.levels)
        ASSERT_TRUE(table.SetFromMessage(w, l));
    EXPECT_EQ(table.Level(6, 10), 31);
    EXPECT_EQ(table.Level(1, 2), 8);
    EXPECT_EQ(tree.GetOut(6)->GetGroup34Byte(7), 31);
    EXPECT_EQ(tree.GetOut(1)->GetGroup33Byte(1), 8);
}

TEST_F(Mixer, APressMovesTheRedFrameToThePanel)
{
    Open();
    EXPECT_EQ(dlg->SelectedPanel(), 0);
    QTest::mouseClick(dlg->Panel(5), Qt::LeftButton, {}, QPoint(58, 550));
    ASSERT_TRUE(WaitUntil([&] { return dlg->SelectedPanel() == 5; }, kWait));
    EXPECT_EQ(CMixInPutCom::FrameRect(5), QRect(QPoint(716, 10), QPoint(841, 617)));
    const QImage shot = dlg->grab().toImage();
    EXPECT_EQ(shot.pixelColor(716, 300), QColor(238, 49, 64)) << "the frame's left edge";
    EXPECT_NE(shot.pixelColor(61, 300), QColor(238, 49, 64)) << "the old frame is gone";
}

TEST_F(Mixer, EnterEscAndTabCommitTheTypedLevelAndLeaveTheMixerOpen)
{
    Open();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab}) {
        TypeInto(dlg->Panel(0)->Edit(1), QString::number(int(key) % 90), key);
        QTest::keyClick(dlg.get(), key);  // and once more with the dialog itself in focus
        QCoreApplication::processEvents();
        EXPECT_TRUE(dlg->isVisible()) << key;
        EXPECT_EQ(tree.GetOut(0)->GetGroup33Byte(0), int(key) % 90) << key;
    }
    dlg->close();
    EXPECT_FALSE(dlg->isVisible()) << "the caption's close button closes it";
}

TEST_F(Mixer, TheActiveSourcesLabelsAreWhiteAndTheTextsFollowTheLanguage)
{
    struct Case {
        int source;
        std::vector<int> white;  // label index 0..11 (controls 2854..2865)
    };
    const Case cases[] = {{1, {0, 1, 2, 3, 4, 5}}, {3, {6, 7}}, {0, {8, 9}}, {2, {10, 11}}, {4, {}}, {5, {}}};
    for (const Case &c : cases) {
        g_nInputSource = std::uint8_t(c.source);
        Open();
        for (int i = 0; i < 12; ++i) {
            const bool white = std::find(c.white.begin(), c.white.end(), i) != c.white.end();
            EXPECT_EQ(dlg->SourceLabel(i)->PaintColor(), white ? RGB(255, 255, 255) : RGB(122, 123, 122))
                << "source " << c.source << " label " << i;
            EXPECT_FALSE(dlg->SourceLabel(i)->isVisible());
        }
        // The rows of that source wear the active skin on every panel.
        EXPECT_EQ(dlg->Panel(3)->IsSourceRow(11), c.source == 0) << c.source;
        EXPECT_EQ(dlg->Panel(3)->IsSourceRow(9), c.source == 2) << c.source;
        dlg->DestroyPanels();
        dlg.reset();
    }
    g_bChinese = 1;
    Open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("输入信号"));
    EXPECT_EQ(dlg->SourceLabel(8)->GetWindowText(), QStringLiteral("光纤左"));
}

TEST(HiLevelSourceDialog, EnterAndEscNeverCloseIt)
{
    QtTestApp();
    CHiLevelSourceDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Dialog"));
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &dlg; }, kWait));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTest::keyClick(&dlg, key);
        EXPECT_TRUE(dlg.isVisible()) << key;
    }
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
}

// ---- end to end ------------------------------------------------------------------------------

// Runs `act` once on the first window that `find` gives while an event loop runs.
class Watch {
public:
    template <class Find, class Act>
    Watch(Find find, Act act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, find, act] {
            if (auto *w = find()) {
                m_timer.stop();
                act(w);
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

std::uint8_t DeviceOutByte(const zksim::Device &dev, int c, int item, int k)
{
    const zksim::Image img = dev.CurrentImage();
    return img[DeviceImage::kOutOffset + std::size_t(c) * DeviceImage::kOutSize + std::size_t(item) * DeviceImage::kItemSize +
               std::size_t(k)];
}

struct MixerE2E : ConnectedView {

    void SetUp() override
    {
        ClearBridges();
        ConnectedView::SetUp();
    }
};

TEST_F(MixerE2E, ALevelSetInTheMixerFromTheMixerButtonReachesTheDevice)
{
    ASSERT_EQ(DeviceOutByte(dev, 3, CKTV_OutData::kGroup34Item, 4), 100);
    ASSERT_EQ(DeviceOutByte(dev, 3, CKTV_OutData::kGroup33Item, 6), 100);
    bool acted = false;
    Watch w([] { return qobject_cast<CMixInPutCom *>(QApplication::activeModalWidget()); },
            [&](CMixInPutCom *mixer) {
                ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == mixer; }, kWait));
                // S/PDIF left of output 4, typed; LINE7 of output 4, by its slider.
                TypeInto(mixer->Panel(3)->Edit(11), QStringLiteral("42"));
                CBitmapSlider *slider = mixer->Panel(3)->Slider(7);
                slider->setFocus();
                for (int i = 0; i < 20; ++i)
                    QTest::keyClick(slider, Qt::Key_Left);
                QCoreApplication::processEvents();
                acted = true;
                mixer->close();
            });
    QTest::mouseClick(static_cast<QAbstractButton *>(view->Control(CVRX530View::IDC_MIXER)), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return acted && view->Mixer() && !view->Mixer()->isVisible(); }, kWait));
    const int line7 = doc->GetOut(3)->GetGroup33Byte(6);
    EXPECT_LT(line7, 100) << "the slider moved";
    EXPECT_EQ(doc->GetOut(3)->GetGroup34Byte(4), 42);
    EXPECT_TRUE(WaitUntil([&] { return DeviceOutByte(dev, 3, CKTV_OutData::kGroup34Item, 4) == 42; }, kWait));
    EXPECT_TRUE(WaitUntil([&] { return DeviceOutByte(dev, 3, CKTV_OutData::kGroup33Item, 6) == line7; }, kWait));
    EXPECT_EQ(DeviceOutByte(dev, 2, CKTV_OutData::kGroup34Item, 4), 100) << "another output keeps its level";
    // The view hears of each level through the mixer's notices, the slider's after the edit's.
    EXPECT_TRUE(WaitUntil([&] { return view->MixTable().Level(3, 11) == 42; }, kWait));
    EXPECT_TRUE(WaitUntil([&] { return view->MixTable().Level(3, 7) == line7; }, kWait));
}

}  // namespace
