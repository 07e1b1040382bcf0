// The main view's commands: the Data and Options popups, the exit prompt and the close paths, help,
// the version dialog and the hidden buttons. Headless; the device is the simulator behind the
// in-process HID transport.
#include "app/AboutDlg.h"
#include "app/DataViewDlg.h"
#include "app/HelpFile.h"
#include "app/SaveData_Dlg.h"
#include "app/VRX530View.h"
#include "app/VersionDlg.h"
#include "app/ViewMenus.h"
#include "controls/ListCtrlCl.h"
#include "controls/MessageBox.h"
#include "controls/NumSpin.h"
#include "controls/TransparentStatic.h"
#include "controls/XPButton.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/input/CurSYSDlg.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Language.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` once on the first window that `find` gives while the event loop runs (a modal dialog
// or a popup the code under test opens); stops watching when it goes out of scope.
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

template <class T, class Act>
Watch WhenModal(Act act)
{
    return Watch([] { return qobject_cast<T *>(QApplication::activeModalWidget()); }, act);
}

template <class Act>
Watch WhenPopup(Act act)
{
    return Watch([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, act);
}

struct PresetCommands : IPresetCommands {
    int saveResult = 1;
    int saves = 0, loads = 0, allLoads = 0;
    int SavePresetFile() override { return ++saves, saveResult; }
    bool LoadPresetFile() override { return ++loads, true; }
    bool WriteAllPresetsFile() override { return true; }
    bool LoadAllPresetsFile() override { return ++allLoads, true; }
    bool ChooseAllPresetsFile() override { return false; }
};

class ViewCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        InitGlobalData();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        view.Backend().Net().SetPinger([](const std::string &) { return false; });
        view.SetPresetCommands(&presets);
        view.resize(1204, 699);
        view.show();
    }
    void TearDown() override
    {
        view.Shutdown();
        SetUiLanguage(false);
    }
    bool Connect()
    {
        view.Controller().OnAutoConnect();
        return WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, 10000);
    }
    int Writes(int channel)
    {
        int n = 0;
        for (const auto &f : dev.Requests())
            n += f.cmd == CMD_WRITE && f.type == OBJ_SYSTEM && f.channel == channel;
        return n;
    }

    QApplication &app = QtTestApp();
    CMemorySettings settings;
    ScopedAppSettings scopedSettings{settings};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scopedBoxes{boxes};
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    CKTV_Data doc;
    PresetCommands presets;
    CVRX530View view{doc, &hid};
};

}  // namespace

// ---- popups ------------------------------------------------------------------------------------

TEST_F(ViewCommands, PopupsHoldTheirCommandsInOrderWithTextsOfTheLanguage)
{
    view.PrepareDataMenu();
    view.OnViewCommand(0);  // nothing
    const auto commands = [](QMenu *m) {
        std::vector<int> ids;
        for (QAction *a : m->actions())
            ids.push_back(a->isSeparator() ? -1 : CViewPopupMenu::CommandOf(a));
        return ids;
    };
    EXPECT_EQ(commands(view.DataMenu()), (std::vector<int>{720, 721, 722, -1, 723, 725, -1, 724, 726}));
    EXPECT_EQ(commands(view.OptionsMenu()), (std::vector<int>{729, 727, 738, 730, 731}))
        << "Advanced (728) is not offered";

    struct Row {
        int id;
        const char *zh, *en;
    };
    const Row rows[] = {
        {720, "加载 机器预置场景(&E)", "Load Machine Preset(&E)"},
        {725, "另存为 电脑上场景文件(&S)", "Save As PC Presets File(&S)"},
        {726, "保存 整机场景", "Save All Presets"},
        {729, "English", "Chinese"},  // the other language (this system is not zh_CN)
        {730, "帮助(&F)", "Help(&F)"},
        {731, "关于(&A)...", "About(&A)"},
    };
    ASSERT_FALSE(SystemLocaleIsChineseChina());
    for (bool chinese : {true, false}) {
        SetUiLanguage(chinese);
        for (const Row &r : rows) {
            QMenu *menu = r.id >= 727 ? view.OptionsMenu() : view.DataMenu();
            EXPECT_EQ(static_cast<CViewPopupMenu *>(menu)->ActionOf(r.id)->text(),
                      QString::fromUtf8(chinese ? r.zh : r.en))
                << r.id;
        }
    }
}

TEST_F(ViewCommands, DataItemsNeedingADeviceCannotBeChosenOfflineButLookNormal)
{
    for (bool connected : {false, true}) {
        if (connected) {
            ASSERT_TRUE(Connect());
        }
        view.PrepareDataMenu();
        CViewPopupMenu *menu = view.DataMenu();
        for (int id : {720, 721, 722, 723, 724, 725, 726}) {
            QAction *a = menu->ActionOf(id);
            const bool needsDevice = id != 723 && id != 725;
            EXPECT_EQ(CViewPopupMenu::IsBlocked(a), needsDevice && !connected) << id << " connected " << connected;
            EXPECT_TRUE(a->isEnabled()) << "not greyed: " << id;
        }
    }
}

TEST_F(ViewCommands, DataButtonOpensThePopupUnderItAndABlockedItemKeepsItOpen)
{
    // The view's Data button; its click reaches the view as WM_COMMAND.
    QWidget *data = view.Control(8801);
    ASSERT_NE(data, nullptr);
    data->show();
    QPoint shownAt;
    bool stayedOpen = false;
    Watch watch = WhenPopup([&](QMenu *m) {
        shownAt = m->pos();
        auto *menu = static_cast<CViewPopupMenu *>(m);
        // Offline: a click on "Load All Presets" and its Enter choose nothing.
        QAction *blocked = menu->ActionOf(724);
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(blocked).center());
        m->setActiveAction(blocked);
        QTest::keyClick(m, Qt::Key_Return);
        // The mnemonic of "Load Machine Preset(&E)" only moves the highlight.
        QTest::keyClick(m, Qt::Key_E);
        stayedOpen = m->isVisible() && m->activeAction() == menu->ActionOf(720);
        // "Load PC Presets File" is always available.
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(menu->ActionOf(723)).center());
    });
    QTest::mouseClick(data, Qt::LeftButton);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(shownAt, view.mapToGlobal(QPoint(data->x(), data->geometry().bottom() + 1 + 2)));
    EXPECT_EQ(presets.loads, 1);
    EXPECT_EQ(presets.allLoads, 0);
}

TEST_F(ViewCommands, OptionsLanguageItemSwitchesTheLanguage)
{
    auto *options = new CXPButton(&view, 8802);
    options->setGeometry(138, 6, 57, 20);
    options->show();
    Watch watch = WhenPopup([](QMenu *m) {
        auto *menu = static_cast<CViewPopupMenu *>(m);
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(menu->ActionOf(729)).center());
    });
    QTest::mouseClick(options, Qt::LeftButton);
    EXPECT_EQ(g_bChinese.load(), 1);
    EXPECT_EQ(view.OptionsMenu()->ActionOf(729)->text(), QStringLiteral("English"));
}

// ---- exit prompt -------------------------------------------------------------------------------

TEST_F(ViewCommands, ReportShowsTheDocumentsOutputsModally)
{
    doc.GetOut(5)->SetPolarity(1);
    int rows = 0;
    QString polarity;
    Watch watch = WhenModal<CDataViewDlg>([&](CDataViewDlg *d) {
        rows = d->List().rowCount();
        polarity = d->List().GetItemText(163, 6);
        d->reject();
    });
    view.ShowReportDialog();
    EXPECT_EQ(rows, 174);
    EXPECT_EQ(polarity, QStringLiteral("Pol-"));
}

TEST(ExitPrompt, EachAnswerIsKeptInTheResultMember)
{
    QtTestApp();
    struct Case {
        const char *name;
        std::function<void(CSaveData_Dlg *)> answer;
        int result, modal;
    };
    const Case cases[] = {
        {"Yes", [](CSaveData_Dlg *d) { QTest::mouseClick(d->YesButton(), Qt::LeftButton); }, IDYES, IDOK},
        {"No", [](CSaveData_Dlg *d) { QTest::mouseClick(d->NoButton(), Qt::LeftButton); }, IDNO, IDCANCEL},
        {"Cancel", [](CSaveData_Dlg *d) { QTest::mouseClick(d->CancelButton(), Qt::LeftButton); }, IDCANCEL, IDCANCEL},
        {"Enter", [](CSaveData_Dlg *d) { QTest::keyClick(d, Qt::Key_Return); }, IDYES, IDOK},
        {"Esc", [](CSaveData_Dlg *d) { QTest::keyClick(d, Qt::Key_Escape); }, IDCANCEL, IDCANCEL},
        {"close box", [](CSaveData_Dlg *d) { d->close(); }, IDCANCEL, IDCANCEL},
    };
    for (const Case &c : cases) {
        CSaveData_Dlg dlg;
        int before = 0;
        Watch watch = WhenModal<CSaveData_Dlg>([&](CSaveData_Dlg *d) {
            before = d->m_nResult;
            c.answer(d);
        });
        EXPECT_EQ(dlg.DoModal(), c.modal) << c.name;
        EXPECT_EQ(dlg.m_nResult, c.result) << c.name;
        EXPECT_EQ(before, 1) << c.name;
    }
}

TEST(ExitPrompt, TextsInBothLanguagesFitTheDialog)
{
    QtTestApp();
    for (bool chinese : {true, false}) {
        SetUiLanguage(chinese);
        CSaveData_Dlg dlg;
        dlg.InitDialog();
        EXPECT_EQ(dlg.windowTitle(), QTr(StrId::Prompt));
        EXPECT_EQ(dlg.Question()->text(), chinese ? QStringLiteral("是否保存当前场景文件?")
                                                  : QStringLiteral("Whether to save the current Presets file?"));
        EXPECT_EQ(dlg.YesButton()->text(), chinese ? QStringLiteral("是") : QStringLiteral("YES"));
        EXPECT_EQ(dlg.NoButton()->text(), chinese ? QStringLiteral("否") : QStringLiteral("NO"));
        EXPECT_EQ(dlg.CancelButton()->text(), chinese ? QStringLiteral("取消") : QStringLiteral("Cancel"));
        const QLabel *q = dlg.Question();
        EXPECT_LE(q->fontMetrics().horizontalAdvance(q->text()), q->width());
        EXPECT_LE(q->geometry().right(), dlg.width());
    }
    SetUiLanguage(false);
}

// Every way out of the close button's prompt, with the device connected.
TEST_F(ViewCommands, CloseButtonPathsFollowTheAnswerAndTheSave)
{
    struct Case {
        const char *name;
        int answer;      // button: IDYES, IDC_NO or IDCANCEL
        int saveResult;  // what the preset save gives
        int saves;
        bool closes;
    };
    const Case cases[] = {
        {"Cancel", IDCANCEL, 1, 0, false},
        {"No", CSaveData_Dlg::IDC_NO, 1, 0, true},
        {"Yes, saved", IDYES, 1, 1, true},
        {"Yes, file dialog cancelled", IDYES, 0, 1, true},
        {"Yes, save failed", IDYES, -1, 1, false},
    };
    for (const Case &c : cases) {
        CKTV_Data tree;
        zksim::HidDevice usb(dev);
        CVRX530View v(tree, &usb);
        v.Backend().Net().SetPinger([](const std::string &) { return false; });
        PresetCommands commands;
        commands.saveResult = c.saveResult;
        v.SetPresetCommands(&commands);
        v.show();
        v.Controller().OnAutoConnect();
        ASSERT_TRUE(WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, 10000)) << c.name;
        Watch watch = WhenModal<CSaveData_Dlg>([&](CSaveData_Dlg *d) {
            QPushButton *b = c.answer == IDYES ? d->YesButton() : c.answer == IDCANCEL ? d->CancelButton() : d->NoButton();
            QTest::mouseClick(b, Qt::LeftButton);
        });
        // The close button reaches the view as a control command.
        v.OnViewCommand(2773);
        EXPECT_EQ(commands.saves, c.saves) << c.name;
        EXPECT_EQ(v.Closing(), c.closes) << c.name;
        EXPECT_EQ(v.isVisible(), !c.closes) << c.name;
        // The tear-down stops the worker; handle and socket stay for the process exit to close.
        EXPECT_EQ(v.Backend().Worker().IsRunning(), !c.closes) << c.name;
        v.Shutdown();
        ResetLinkState();
        g_nLinkMode = LINK_NONE;
        g_bDeviceOnline = 0;
    }
}

// ---- help --------------------------------------------------------------------------------------

class HelpCommand : public ViewCommands {
protected:
    void SetUp() override
    {
        ViewCommands::SetUp();
        ASSERT_TRUE(start.isValid() && data.isValid());
        g_szStartFolder = start.path().toStdString();
        g_szHelpFileCn.clear();
        g_szHelpFileEn.clear();
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        QDir(data.path()).mkpath(QStringLiteral("zk470"));
        SetHelpOpener([this](const QUrl &url) {
            opened.push_back(url.toLocalFile());
            return !refused.contains(url.toLocalFile());
        });
    }
    void TearDown() override
    {
        SetHelpOpener(nullptr);
        qunsetenv("XDG_DATA_HOME");
        g_szStartFolder.clear();
        ViewCommands::TearDown();
    }
    QString StartFile(const char *name) { return start.filePath(QString::fromLatin1(name)); }
    QString DataFile(const char *name) { return data.filePath(QStringLiteral("zk470/") + QString::fromLatin1(name)); }
    static void Touch(const QString &path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // Runs the help command; the text and title of the box it showed, if any.
    std::pair<QString, QString> RunHelp()
    {
        std::pair<QString, QString> shown;
        Watch watch = WhenModal<CMessageBox>([&](CMessageBox *box) {
            shown = {box->TextLabel()->text(), box->windowTitle()};
            EXPECT_FALSE(box->OkButton()->isVisible());
            EXPECT_EQ(box->CancelButton()->text(), QTr(StrId::Quit));
            QTest::mouseClick(box->CancelButton(), Qt::LeftButton);
        });
        view.OnHelp();
        return shown;
    }

    QTemporaryDir start, data;
    QStringList opened, refused;
};

TEST_F(HelpCommand, StartFolderFirstThenTheDataFolder)
{
    Touch(StartFile("EN_Help.chm"));
    Touch(DataFile("EN_Help.chm"));
    EXPECT_EQ(HelpFileCandidates(false).value(0), StartFile("EN_Help.chm"));
    EXPECT_TRUE(HelpFileCandidates(false).contains(DataFile("EN_Help.chm")));
    EXPECT_EQ(RunHelp().first, QString());
    EXPECT_EQ(opened, QStringList{StartFile("EN_Help.chm")});

    // The start folder's file does not open: the installed one does.
    opened.clear();
    refused = {StartFile("EN_Help.chm")};
    EXPECT_EQ(RunHelp().first, QString());
    EXPECT_EQ(opened, (QStringList{StartFile("EN_Help.chm"), DataFile("EN_Help.chm")}));

    // Only the installed one.
    opened.clear();
    refused.clear();
    QFile::remove(StartFile("EN_Help.chm"));
    EXPECT_EQ(RunHelp().first, QString());
    EXPECT_EQ(opened, QStringList{DataFile("EN_Help.chm")});
}

TEST_F(HelpCommand, MissingOrUnopenableFileGivesTheBoxInTheCurrentLanguage)
{
    // No file anywhere.
    EXPECT_EQ(RunHelp(), std::make_pair(QStringLiteral("Not find help file!"), QStringLiteral("Help")));
    EXPECT_TRUE(opened.isEmpty());
    // The file is there but the desktop cannot open it.
    Touch(StartFile("EN_Help.chm"));
    refused = {StartFile("EN_Help.chm")};
    EXPECT_EQ(RunHelp().first, QStringLiteral("Not find help file!"));
    // After a switch the other language's file is looked for: only the English one exists.
    SetUiLanguage(true);
    opened.clear();
    EXPECT_EQ(RunHelp(), std::make_pair(QStringLiteral("没有发现帮助文件!"), QStringLiteral("帮助")));
    EXPECT_TRUE(opened.isEmpty());
    Touch(StartFile("CH_Help.chm"));
    EXPECT_EQ(RunHelp().first, QString());
    EXPECT_EQ(opened, QStringList{StartFile("CH_Help.chm")});
}

// ---- version dialog ----------------------------------------------------------------------------

TEST(DeviceVersionText, CutAndCleaned)
{
    struct Case {
        std::string reply, shown;
    };
    const Case cases[] = {
        {"", ""},
        {"   ", ""},
        {"V1.2", "MPYelq-V1.2"},                                 // shorter than six: whole
        {"MPZ4-WV1.05", "MPYelq-WV1.05"},                        // the last six
        {"  X1.00  ", "MPYelq-X1.00"},                           // blanks trimmed first
        {"ABCDEFGHIJKLMN", "MPYelq-FGHIJK"},                     // only 11 bytes are the version
        {std::string("AB\0CDEFG", 8), "MPYelq-AB"},              // it ends at a zero byte
        {"ABCDEFG\xC9\xE8\xB1\xB8", "MPYelq-DEFG\xE8\xAE\xBE\xE5\xA4\x87"},  // GBK, counted as characters
        {"A\nB\x7F", "MPYelq-A?B?"},                             // control characters
        {"ABCDEFGHIJ\xC9", "MPYelq-EFGHIJ"},                     // a cut double-byte character
    };
    for (const Case &c : cases)
        EXPECT_EQ(DeviceVersionText(c.reply), c.shown) << c.reply;
}

TEST(VersionDialog, ShowsTheDeviceAndSoftwareVersionsInTheLanguage)
{
    QtTestApp();
    ResetLinkState();
    for (bool chinese : {false, true}) {
        SetUiLanguage(chinese);
        SetDeviceVersion({});
        g_bUpdating = 1;
        {
            CCVersionDlg dlg;
            dlg.InitDialog();
            EXPECT_EQ(g_bUpdating.load(), 0);
            EXPECT_EQ(dlg.windowTitle(), chinese ? QStringLiteral("关于") : QStringLiteral("About"));
            EXPECT_EQ(dlg.DeviceVersion()->GetWindowText(), chinese ? QStringLiteral("设备版本 ") : QStringLiteral("Device version "))
                << "before any device answered only the label";
            EXPECT_EQ(dlg.SoftwareVersion()->GetWindowText(), QTr(StrId::SoftwareVersion));
            EXPECT_EQ(dlg.CloseButton()->text(), chinese ? QStringLiteral("退出") : QStringLiteral("Quit"));
            EXPECT_FALSE(dlg.HelpButton()->isVisibleTo(&dlg));
        }
        SetDeviceVersion("MPZ4-WV1.05");
        CCVersionDlg dlg;
        Watch watch = WhenModal<CCVersionDlg>([](CCVersionDlg *d) { QTest::mouseClick(d->CloseButton(), Qt::LeftButton); });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.DeviceVersion()->GetWindowText(),
                  chinese ? QStringLiteral("设备版本 MPYelq-WV1.05") : QStringLiteral("Device version MPYelq-WV1.05"));
        for (auto *l : {dlg.DeviceVersion(), dlg.SoftwareVersion()})
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->GetWindowText()), l->width());
    }
    SetDeviceVersion({});
    SetUiLanguage(false);
}

TEST(AboutDialog, CaptionAndVersionLineInTheLanguageAndOkCloses)
{
    QtTestApp();
    for (bool chinese : {true, false}) {
        SetUiLanguage(chinese);
        CAboutDlg dlg;
        Watch watch = WhenModal<CAboutDlg>([](CAboutDlg *d) { QTest::mouseClick(d->OkButton(), Qt::LeftButton); });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.windowTitle(), chinese ? QStringLiteral("关于") : QStringLiteral("About"));
        EXPECT_EQ(dlg.VersionLine()->text(), QStringLiteral("TQ-900 Version 1.0"));
    }
    SetUiLanguage(false);
}

// ---- hidden buttons ----------------------------------------------------------------------------

TEST_F(ViewCommands, SystemButtonOpensTheDynamicsDialogModallyOverTheViewsRecords)
{
    doc.GetOut(3)->SetLimitAttack(30);
    bool modal = false;
    int shown = -1;
    Watch watch = WhenModal<CCurSYSDlg>([&](CCurSYSDlg *d) {
        modal = d->isModal();
        shown = d->Spin(3, CCurSYSDlg::LimitAttack)->GetPos();
        // A step in the dialog goes into the view's record of that output.
        d->Spin(3, CCurSYSDlg::LimitAttack)->Step(1);
        d->reject();
    });
    auto *button = qobject_cast<QAbstractButton *>(view.Control(CVRX530View::IDC_SYSTEM));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(modal);
    EXPECT_EQ(shown, 30);
    EXPECT_EQ(doc.GetOut(3)->GetLimitAttack(), 31);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog has gone";
}

TEST_F(ViewCommands, NoiseGateSwitchAndSlotButtonsSendTheirBlocks)
{
    ASSERT_TRUE(Connect());
    dev.ClearRequests();
    g_nNoiseGateOn = 0xFF;
    view.RefreshFromImage();  // the switch shows the gate off
    view.OnViewCommand(2824);
    EXPECT_EQ(g_nNoiseGateOn.load(), 1);
    view.OnViewCommand(2824);
    EXPECT_EQ(g_nNoiseGateOn.load(), 0xFF);
    ASSERT_TRUE(WaitUntil([&] { return Writes(SYS_INPUT) == 2; }, 5000));

    g_nPresetSlot = 0;
    view.OnViewCommand(2066 + 2);
    EXPECT_EQ(g_nPresetSlot.load(), 2);
    view.OnViewCommand(2066 + 2);  // already the slot: nothing
    ASSERT_TRUE(WaitUntil([&] { return Writes(SYS_MODE_TABLE) >= 1; }, 5000));
    // The worker asks for the status only once the queue is empty: everything queued went out.
    const std::size_t seen = dev.RequestCount();
    ASSERT_TRUE(WaitUntil([&] {
        const auto reqs = dev.Requests();
        for (std::size_t i = seen; i < reqs.size(); ++i)
            if (reqs[i].type == OBJ_SYSTEM && reqs[i].channel == SYS_STATUS)
                return true;
        return false;
    }, 5000));
    EXPECT_EQ(Writes(SYS_MODE_TABLE), 1);
}
