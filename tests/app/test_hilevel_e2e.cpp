// The Hi.Level mixing values as a user sets them, against the simulated device behind the
// in-process HID transport: the main view's command 728 opens the mixing dialog, and the device's
// own input block says what arrived.
#include "app/VRX530View.h"

#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "panels/input/HiLevelMixing.h"
#include "panels/input/InputNoise.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <memory>

namespace {

constexpr int kWait = 60000;  // bounds a failing wait only

struct HiLevelE2E : ::testing::Test {
    CMemorySettings settings;
    CScriptedMessageBox boxes;
    std::unique_ptr<ScopedMessageBoxService> scoped;
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    std::unique_ptr<CKTV_Data> doc;
    std::unique_ptr<CVRX530View> view;

    void SetUp() override
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        SetAppSettings(&settings);
        scoped = std::make_unique<ScopedMessageBoxService>(boxes);
        doc = std::make_unique<CKTV_Data>();
        view = std::make_unique<CVRX530View>(*doc, &hid);
        view->resize(1210, 700);
        view->show();
        view->Backend().Net().SetPinger([](const std::string &) { return false; });
        view->Controller().OnAutoConnect();
        ASSERT_TRUE(WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, kWait));
        ASSERT_TRUE(WaitUntil([&] { return view->isEnabled() && !view->TransferPopup()->isVisible(); }, kWait));
    }
    void TearDown() override
    {
        view->Shutdown();
        view.reset();
        doc.reset();
        scoped.reset();
        SetAppSettings(nullptr);
    }
    static void Type(CNumEdit *edit, const QString &text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
};

}  // namespace

TEST_F(HiLevelE2E, ThresholdAndSwitchSetInTheMixingDialogReachTheDevice)
{
    // The connection read brought the device's input block; the switch turns its mixing over.
    ASSERT_EQ(g_nNoiseGateOn.load(), dev.SysBlock(2)[4]);
    const bool wasOn = g_nNoiseGateOn.load() != 0xFF;
    const std::uint8_t expectedSwitch = wasOn ? 0xFF : 1;
    bool ran = false;
    // Command 728 runs the dialog modally; the user works in it while it is open, then closes it.
    QTimer::singleShot(0, view.get(), [&] {
        auto *dlg = g_pInputNoiseDlg;
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg; }, kWait));
        Type(dlg->Edit(hilevel::Threshold), QStringLiteral("-30"));
        QTest::mouseClick(dlg->Switch(), Qt::LeftButton);
        ran = WaitUntil([&] {
            const auto block = dev.SysBlock(2);
            return block[5] == 90 && block[4] == expectedSwitch;
        }, kWait);
        dlg->close();
    });
    view->OnViewCommand(728);
    EXPECT_TRUE(ran) << "the device's input block holds the threshold and the switch";
    EXPECT_EQ(view->MixingSwitch(), wasOn ? 0 : 1) << "the view's own switch follows the dialog's";
    EXPECT_EQ(g_pInputNoiseDlg, nullptr);
}
