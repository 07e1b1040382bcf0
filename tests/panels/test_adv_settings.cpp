// The advanced settings dialog and its limiter panel, driven as a user does: the network address
// and port with their checks, the mixer and input-option values, the main-source menu, the
// output list with its link marks and the limiter fields.

#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/ListCtrlCl.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/ModeItemTable.h"
#include "panels/input/Adv_Seting.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <string>
#include <vector>

namespace {

struct RecordingSync : CQuietDeviceSync {
    std::vector<std::string> calls;
    void QueueDeviceCommand(int command, int) override { calls.push_back("queue " + std::to_string(command)); }
    void SetPendingBlock5(int f) override { calls.push_back("block5 " + std::to_string(f)); }
    void SetPendingBlock2(int f) override { calls.push_back("block2 " + std::to_string(f)); }
};

class AdvSettings : public ::testing::Test {
protected:
    AdvSettings()
    {
        ResetDeviceImageGlobals();
        g_ModeItemTable.Init();
        g_strWifiIp.Set(g_strDefaultWifiIp);
        g_nWifiPort = 8899;
        g_bChinese = 0;
        dlg.m_pRoot = &root;
    }
    ~AdvSettings() override
    {
        ResetDeviceImageGlobals();
        g_bAnyLink = 0;
        for (auto &g : g_LinkGroups)
            g = 0;
        g_strWifiIp.Set(g_strDefaultWifiIp);
        g_nWifiPort = kDefaultWifiPort;
    }
    void Open()
    {
        dlg.InitDialog();
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &dlg; }, 2000));
    }
    void Type(QWidget *edit, const QString &text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        if (auto *line = qobject_cast<QLineEdit *>(edit))
            line->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QString Text(int id) { return dlg.Edit(id)->text(); }

    QApplication &app = QtTestApp();
    CMemorySettings settings;
    ScopedAppSettings scoped{settings};
    RecordingSync sync;
    CPageRegistry pages;
    CScriptedMessageBox boxes;
    CKTV_Data root;
    CAdv_Seting dlg{sync, pages, boxes};
};

TEST_F(AdvSettings, ApplyTakesAnIpv4AddressAndAPortAndRefusesAnythingElse)
{
    Open();
    struct Case {
        const char *address;
        const char *port;
        bool taken;
    } cases[] = {
        {"127.0.0.1", "5000", true},     {"127.1.2.3", "65535", true}   , {"127.0.0", "8899", false},
        {"127.0.0.256", "8899", false}, {"1.2.3.4.5", "8899", false},     {"", "8899", false},
        {"127..0.1", "8899", false},   {"127.0.0.1", "0", false},      {"127.0.0.1", "", false},
    };
    for (const auto &c : cases) {
        g_strWifiIp.Set(g_strDefaultWifiIp);
        g_nWifiPort = 8899;
        settings.RemoveGroup(kNetworkGroup);
        boxes.Clear();
        dlg.AddressEdit()->setText(QString::fromLatin1(c.address));
        dlg.PortEdit()->setText(QString::fromLatin1(c.port));
        EXPECT_EQ(dlg.OnApply(), c.taken) << c.address << ":" << c.port;
        if (c.taken) {
            EXPECT_EQ(g_strWifiIp.Get(), c.address);
            EXPECT_EQ(g_nWifiPort.load(), std::stoi(c.port));
            EXPECT_EQ(settings.ReadString(kNetworkGroup, kNetworkAddressKey), c.address);
            EXPECT_EQ(settings.ReadInt(kNetworkGroup, kNetworkPortKey, 0), std::stoi(c.port));
            EXPECT_TRUE(boxes.Shown().empty());
        } else {
            EXPECT_EQ(g_strWifiIp.Get(), g_strDefaultWifiIp) << c.address << ":" << c.port;
            EXPECT_EQ(g_nWifiPort.load(), 8899);
            EXPECT_TRUE(settings.Keys(kNetworkGroup).empty()) << "nothing saved";
            ASSERT_EQ(boxes.Shown().size(), 1u);
        }
    }
}

TEST_F(AdvSettings, ThePortIsHeldWithinItsRangeWhileTypedAndApplyFollowsChanges)
{
    Open();
    EXPECT_FALSE(dlg.Button(CAdv_Seting::IDC_APPLY)->isEnabled());
    Type(dlg.PortEdit(), QStringLiteral("70000"));
    EXPECT_EQ(dlg.PortEdit()->text(), QStringLiteral("65535"));
    EXPECT_TRUE(dlg.Button(CAdv_Seting::IDC_APPLY)->isEnabled());

    dlg.ShowNetworkSettings();
    EXPECT_FALSE(dlg.Button(CAdv_Seting::IDC_APPLY)->isEnabled());
    dlg.PortEdit()->setFocus();
    QCoreApplication::processEvents();
    dlg.PortEdit()->selectAll();
    QTest::keyClick(dlg.PortEdit(), Qt::Key_Delete);
    dlg.Edit(CAdv_Seting::IDC_THRESHOLD)->setFocus();  // leaving an empty port
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.PortEdit()->text(), QStringLiteral("1"));

    // Apply with an unchanged address still stores address and port.
    dlg.ShowNetworkSettings();
    QTest::mouseClick(dlg.Button(CAdv_Seting::IDC_APPLY), Qt::LeftButton);  // disabled: nothing
    EXPECT_TRUE(settings.Keys(kNetworkGroup).empty());
    EXPECT_TRUE(dlg.OnApply());
    EXPECT_EQ(settings.ReadString(kNetworkGroup, kNetworkAddressKey), g_strDefaultWifiIp);
}

TEST_F(AdvSettings, MixerAndInputOptionValuesMarkTheirBlocks)
{
    Open();
    EXPECT_EQ(Text(CAdv_Seting::IDC_THRESHOLD), QStringLiteral("-65dBu"));
    EXPECT_EQ(Text(CAdv_Seting::IDC_ATTEN), QStringLiteral("-12dB"));
    Type(dlg.Edit(CAdv_Seting::IDC_THRESHOLD), QStringLiteral("-50"));
    EXPECT_EQ(g_nNoiseParam1.load(), 70);
    Type(dlg.Edit(CAdv_Seting::IDC_GROUP_DELAY), QStringLiteral("0.25"));
    EXPECT_EQ(g_nSys5Byte2.load(), 25);
    EXPECT_EQ(sync.calls, (std::vector<std::string>{"block2 1", "block5 1"}));

    // The noise threshold: its current value marks nothing; 0 is OFF in bytes 3 and 7.
    sync.calls.clear();
    dlg.Spin(CAdv_Seting::IDC_NOISE_SPIN)->SetPos(g_nSys5Byte3.load());
    dlg.OnCommand(CAdv_Seting::IDC_NOISE_SPIN);
    EXPECT_TRUE(sync.calls.empty());
    g_nSys5Byte3 = 40;
    g_nSys5Byte7 = 40;
    dlg.Spin(CAdv_Seting::IDC_NOISE_SPIN)->SetPos(0);
    dlg.OnCommand(CAdv_Seting::IDC_NOISE_SPIN);
    EXPECT_EQ(Text(CAdv_Seting::IDC_NOISE), QStringLiteral("OFF"));
    EXPECT_EQ(g_nSys5Byte3.load(), 0);
    EXPECT_EQ(g_nSys5Byte7.load(), 0);
    EXPECT_EQ(sync.calls, (std::vector<std::string>{"block5 1"}));
}

TEST_F(AdvSettings, TheSourceMenuQueuesTheInputBlockOnlyForAnotherSource)
{
    Open();
    g_ModeItemTable.mainSource = 6;
    dlg.OnSourcePicked(6);
    EXPECT_TRUE(sync.calls.empty());
    dlg.OnSourcePicked(0);
    EXPECT_EQ(g_ModeItemTable.mainSource, 0);
    EXPECT_EQ(sync.calls, (std::vector<std::string>{"queue " + std::to_string(SYS_INPUT)}));
    ASSERT_EQ(dlg.SourceMenu()->actions().size(), 7);
    EXPECT_EQ(dlg.SourceMenu()->actions()[1]->text(), QStringLiteral("Hi.Level"));
}

TEST_F(AdvSettings, TheListMarksTheSelectedOutputAndItsLinkGroup)
{
    g_bAnyLink = 1;
    g_LinkGroups[1] = 4;
    g_LinkGroups[2] = 4;
    Open();
    CListCtrlCl *list = dlg.List();
    const auto marks = [&](int col) {
        std::string s;
        for (int r = 0; r < 8; ++r)
            s += list->GetItemText(r, col).isEmpty() ? '.' : 'x';
        return s;
    };
    EXPECT_EQ(marks(2), "x.......");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1, 0)).center());
    EXPECT_EQ(dlg.SelectedRow(), 1);
    EXPECT_EQ(marks(2), ".xx.....");
    EXPECT_EQ(marks(3), "..x.....");
    EXPECT_EQ(list->GetItemText(2, 3), QStringLiteral("Link"));
    EXPECT_EQ(list->CellBackColour(2, 3), RGB(255, 0, 0));
    EXPECT_EQ(dlg.Curve()->GetChannel(), 1);

    // The selected row again, and a click below the rows, change nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1, 0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 1));
    EXPECT_EQ(dlg.SelectedRow(), 1);
    EXPECT_EQ(marks(2), ".xx.....");
    EXPECT_EQ(marks(3), "..x.....");
}

TEST_F(AdvSettings, LimiterFieldsShowAndWriteTheSelectedOutputsLimiter)
{
    Open();
    struct Case {
        int code;
        const char *text;
    } attacks[] = {{0, "0.3ms"}, {6, "0.9ms"}, {7, "1ms"}, {206, "200ms"}};
    for (const auto &c : attacks) {
        dlg.Spin(CAdv_Seting::IDC_LIM_ATTACK_SPIN)->SetPos(c.code);
        EXPECT_EQ(Text(CAdv_Seting::IDC_LIM_ATTACK).toStdString(), c.text);
    }

    dlg.SelectRow(3);
    Type(dlg.Edit(CAdv_Seting::IDC_LIM_THRESHOLD), QStringLiteral("OFF"));
    EXPECT_EQ(root.GetOut(3)->GetLimitThreshold(), 420);
    EXPECT_EQ(Text(CAdv_Seting::IDC_LIM_THRESHOLD), QStringLiteral("OFF"));
    EXPECT_EQ(Text(CAdv_Seting::IDC_LIM_LEVEL), QStringLiteral("OFF"));
    EXPECT_EQ(dlg.Curve()->GetThreshold(), 420);

    // The release field shows milliseconds; the record keeps them less 50, as the device does.
    Type(dlg.Edit(CAdv_Seting::IDC_LIM_RELEASE), QStringLiteral("300"));
    EXPECT_EQ(root.GetOut(3)->GetLimitRelease(), 250);
    dlg.SelectRow(0);
    dlg.SelectRow(3);
    EXPECT_EQ(Text(CAdv_Seting::IDC_LIM_RELEASE), QStringLiteral("300ms"));
}

TEST_F(AdvSettings, TheModuleResetQueuesItsCommandAndItsPopupKeepsTheDialogDisabled)
{
    Open();
    dlg.EnableDeviceButton(true);
    QTest::mouseClick(dlg.Button(CAdv_Seting::IDC_LOAD_DEFAULT), Qt::LeftButton);
    EXPECT_EQ(sync.calls, (std::vector<std::string>{"queue " + std::to_string(SYS_WIFI_RESET)}));
    QWidget owner;
    CDisplayDlg popup(&owner);
    popup.SetFactoryResetMode();
    popup.Show(1);
    EXPECT_FALSE(dlg.isEnabled());
    EXPECT_TRUE(owner.isEnabled());
    popup.Hide();
    EXPECT_TRUE(dlg.isEnabled());
}

TEST_F(AdvSettings, TheViewReachesTheDialogWhileItExistsAndAReadReloadsIt)
{
    {
        CAdv_Seting other(sync, pages, boxes);
        other.m_pRoot = &root;
        other.InitDialog();
        EXPECT_EQ(g_pAdvSetingDlg, &other);
        g_nSys5Byte2 = 50;
        g_bAltInputMode = 0;
        pages.ReloadAdvancedSettings();
        EXPECT_EQ(other.Edit(CAdv_Seting::IDC_GROUP_DELAY)->text(), QStringLiteral("0.50s"));
        EXPECT_FALSE(other.Edit(CAdv_Seting::IDC_THRESHOLD)->isEnabled()) << "not in the alternate input mode";
        pages.EnableAdvancedDeviceButton(true);
        EXPECT_TRUE(other.Button(CAdv_Seting::IDC_LOAD_DEFAULT)->isEnabled());
        g_strWifiIp.Set("127.0.0.9");
        pages.ShowNetworkSettings();
        EXPECT_EQ(other.AddressEdit()->text(), QStringLiteral("127.0.0.9"));
    }
    EXPECT_EQ(g_pAdvSetingDlg, nullptr);
}

}  // namespace
