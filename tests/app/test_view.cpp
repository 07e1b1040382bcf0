// The main view's Qt shell, headless: the Connect button and the link status follow the link.
#include "app/VRX530View.h"

#include "controls/BitButton.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/MessageBox.h"
#include "controls/Show_Link.h"
#include "controls/XPButton.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Language.h"
#include "tests/support/TestDoubles.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(MainView, ConnectButtonLooksAndNothingToOpen)
{
    static int argc = 1;
    static char arg0[] = "test";
    static char *argv[] = {arg0, nullptr};
    // Never destroyed: cached skins and fonts outlive the test body.
    static QApplication *app = new QApplication(argc, argv);
    (void)app;
    ResetDeviceImageGlobals();
    ResetLinkState();
    g_bChinese = 0;
    g_nLinkMode = LINK_NONE;
    CMemorySettings settings;
    SetAppSettings(&settings);
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    zksim::Device dev;
    zksim::HidDevice hid(dev);
    hid.Unplug();
    CKTV_Data doc;
    {
        CVRX530View view(doc, &hid);
        view.Backend().Net().SetPinger([](const std::string &) { return false; });
        auto *button = static_cast<CXPButton *>(view.ConnectButton());
        EXPECT_EQ(button->CurrentBitmap(), 8753);
        EXPECT_TRUE(view.StatusIndicator()->IsBlinking());
        auto *closer = view.findChild<CMsgBox *>();
        ASSERT_NE(closer, nullptr) << "the view keeps the hidden message-box closer";
        EXPECT_TRUE(closer->Created());
        EXPECT_FALSE(closer->isVisible());
        view.resize(400, 60);
        view.ShowConnectedState(true);
        EXPECT_EQ(button->CurrentBitmap(), 8743);
        EXPECT_FALSE(view.StatusIndicator()->IsBlinking());
        // A language switch gives the button the other language's looks for the same state.
        SetUiLanguage(true);
        EXPECT_EQ(button->CurrentBitmap(), 8741);
        EXPECT_FALSE(view.StatusIndicator()->IsBlinking());
        SetUiLanguage(false);
        EXPECT_EQ(button->CurrentBitmap(), 8743);
        view.ShowConnectedState(false);

        // No USB device, network not reachable: a click says so, in a box that closes itself.
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, "No connection can be opened");
        EXPECT_EQ(boxes.Shown()[0].code, 2000);

        // A closed link leaves the hidden progress bar at 0 and the hidden preset name empty.
        view.HiddenProgress()->SetRange(0, 10);
        view.HiddenProgress()->SetPos(7);
        view.PresetNameEdit()->setText(QStringLiteral("Preset 3"));
        view.PresetNameButton()->setText(QStringLiteral("Preset 3"));
        view.PresetNameButton()->SetCheck(1);
        view.Controller().CloseUsbLink();
        EXPECT_EQ(view.HiddenProgress()->GetPos(), 0);
        EXPECT_TRUE(view.PresetNameEdit()->text().isEmpty());
        EXPECT_TRUE(view.PresetNameButton()->text().isEmpty());
        EXPECT_EQ(view.PresetNameButton()->GetCheck(), 0);
        EXPECT_FALSE(view.HiddenProgress()->isVisible() || view.PresetNameEdit()->isVisible());

        // The equaliser reset and the channel selection reach the output page registered with the
        // view's services, and nothing once it withdrew.
        struct Page : IOutputPage {
            int eq = 0, select = 0;
            void RefreshEQ() override { ++eq; }
            void SelectAssignedChannel() override { ++select; }
        } page;
        const AppServices services = view.Services();
        services.pages.RegisterOutputPage(page);
        services.sends.ResetOutputEqLinked();
        view.SelectAssignedChannel();
        services.pages.WithdrawOutputPage(page);
        services.sends.ResetOutputEqLinked();
        view.SelectAssignedChannel();
        EXPECT_EQ(page.eq, 1);
        EXPECT_EQ(page.select, 1);
        view.Shutdown();
    }
    SetAppSettings(nullptr);
}
