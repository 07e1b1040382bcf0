// The main view's preset commands headless: the Data menu's machine-preset dialog in each mode,
// the file dialogs of the PC preset files with their folders in the settings file, the
// all-presets file written when the device's presets arrived, and the loaded name shown.
#include "app/ProgramDlg.h"
#include "app/SaveDlg.h"
#include "controls/ChEnEdit.h"
#include "app/VRX530View.h"
#include "app/ViewMenus.h"

#include "controls/BitButton.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/PresetFiles.h"
#include "platform/GlobalData.h"
#include "platform/ProgramSettings.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Runs `act` once on the first modal dialog of type T while the event loop runs.
template <class T>
class WhenModal {
public:
    explicit WhenModal(std::function<void(T *)> act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, act] {
            if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
                m_timer.stop();
                act(w);
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// Types a file name into the dialog's name field in a folder, as a user does; the dialog's own
// listing of the folder, which selectFile waits for, may not be read yet on a busy machine.
void TypeFile(QFileDialog *d, const fs::path &folder, const char *name)
{
    d->setDirectory(QString::fromStdString(folder.string()));
    if (auto *edit = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        edit->setText(QString::fromUtf8(name));
}

class ViewPresets : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        InitGlobalData();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        dir = fs::path(out ? out : "/tmp") / ("view-presets-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "presets");
        settings.Write(kPcFileGroup, "File_Path", (dir / "presets").string());
        view.Backend().Net().SetPinger([](const std::string &) { return false; });
        view.resize(1204, 699);
        view.show();
    }
    void TearDown() override
    {
        view.Shutdown();
        SetUiLanguage(false);
        fs::remove_all(dir);
        g_strAllPresetsPath = std::string();
    }

    QApplication &app = QtTestApp();
    fs::path dir;
    CMemorySettings settings;
    ScopedAppSettings scopedSettings{settings};
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scopedBoxes{boxes};
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    CKTV_Data doc;
    CVRX530View view{doc, &hid};
};

}  // namespace

TEST_F(ViewPresets, DataCommandsOpenTheMachinePresetDialogInTheirModes)
{
    const struct {
        int command, mode;
    } cases[] = {{ViewCmd::LoadMachinePreset, 0}, {ViewCmd::SaveMachinePreset, 1}, {ViewCmd::DeleteMachinePreset, 2}};
    for (const auto &c : cases) {
        int seenMode = -1;
        bool registered = false;
        WhenModal<CProgramDlg> watch([&](CProgramDlg *d) {
            seenMode = d->Mode();
            registered = g_pProgramDlg.load() == d;
            d->CancelButton()->click();
        });
        view.OnViewCommand(c.command);
        EXPECT_EQ(seenMode, c.mode) << c.command;
        EXPECT_TRUE(registered) << c.command;
        EXPECT_EQ(g_pProgramDlg.load(), nullptr) << "cleared once closed";
    }
}

TEST_F(ViewPresets, TheFileDialogsStartInTheKindsFolderAndRememberTheChosenFilesFolder)
{
    fs::create_directories(dir / "elsewhere");
    QString startedIn, suffix;
    QStringList filters;
    bool saving = false;
    WhenModal<QFileDialog> save([&](QFileDialog *d) {
        startedIn = d->directory().absolutePath();
        suffix = d->defaultSuffix();
        filters = d->nameFilters();
        saving = d->acceptMode() == QFileDialog::AcceptSave;
        TypeFile(d, dir / "elsewhere", "Club");
        // Closed as accepted with the chosen file; the dialog's own check of the name would wait
        // for its folder listing, which a busy machine may not have read yet.
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    doc.GetOut(3)->SetGain(222);
    g_bParamsDirty = 1;
    view.OnViewCommand(ViewCmd::SavePresetFile);
    EXPECT_EQ(startedIn.toStdString(), (dir / "presets").string());
    EXPECT_EQ(suffix, "qxds");
    EXPECT_EQ(filters, QStringList{".qxds (*.qxds)"});
    EXPECT_TRUE(saving);
    ASSERT_TRUE(fs::exists(dir / "elsewhere" / "Club.qxds"));
    EXPECT_EQ(fs::file_size(dir / "elsewhere" / "Club.qxds"), kPresetFileBytes);
    EXPECT_EQ(settings.Read(kPcFileGroup, "File_Path"), (dir / "elsewhere").string());
    EXPECT_FALSE(settings.Read(kPcFileGroup, "AllFile_Path").value_or("") == (dir / "elsewhere").string())
        << "the other kinds keep their own folders";
    EXPECT_EQ(g_bParamsDirty.load(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(g_CurImage.data())), "Club");

    // Loaded back after an edit, from the folder just remembered; without a link nothing is sent.
    doc.GetOut(3)->SetGain(11);
    WhenModal<QFileDialog> load([&](QFileDialog *d) {
        startedIn = d->directory().absolutePath();
        saving = d->acceptMode() == QFileDialog::AcceptSave;
        TypeFile(d, dir / "elsewhere", "Club.qxds");
        // Closed as accepted with the chosen file; the dialog's own check of the name would wait
        // for its folder listing, which a busy machine may not have read yet.
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    view.OnViewCommand(ViewCmd::LoadPresetFile);
    EXPECT_EQ(startedIn.toStdString(), (dir / "elsewhere").string());
    EXPECT_FALSE(saving);
    EXPECT_EQ(doc.GetOut(3)->GetGain(), 222);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(view.Command().GetCount(), 0) << "no link: nothing queued";

    // Cancel writes and remembers nothing.
    WhenModal<QFileDialog> cancel([](QFileDialog *d) { d->reject(); });
    EXPECT_EQ(view.OnSavePresetFile(), 0);
    EXPECT_EQ(settings.Read(kPcFileGroup, "File_Path"), (dir / "elsewhere").string());
}

TEST_F(ViewPresets, TheAllPresetsFileIsWrittenWhenThePresetsArrivedAndItsNameShownWhenLoaded)
{
    g_strAllPresetsPath = (dir / "all.qxda").string();
    g_bTransferring = 1;
    CMessageTable::Of(&view)->PostMessage(WM_DEV_ALLPRESETS_RECEIVED);
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(dir / "all.qxda"); }, 5000));
    EXPECT_EQ(fs::file_size(dir / "all.qxda"), kAllPresetsFileBytes);
    EXPECT_EQ(g_bTransferring.load(), 0);

    // A file that cannot be written still ends the transfer, with the message.
    fs::create_directories(dir / "taken.qxda");
    g_strAllPresetsPath = (dir / "taken.qxda").string();
    g_bTransferring = 1;
    CMessageTable::Of(&view)->PostMessage(WM_DEV_ALLPRESETS_RECEIVED);
    EXPECT_TRUE(WaitUntil([&] { return !boxes.Shown().empty(); }, 5000));
    EXPECT_EQ(boxes.Shown()[0].text, "Save all presets file error!");
    EXPECT_EQ(g_bTransferring.load(), 0);

    // The name of the loaded file's current image, "Custom" in the interface's language.
    const struct {
        const char *stored;
        bool chinese;
        const char *shown;
        int check;
    } cases[] = {{"Custom", false, "Custom", 1}, {"Custom", true, "自定义", 1}, {" Jazz ", false, "Jazz", 1}, {"", false, "", 0}};
    for (const auto &c : cases) {
        g_bChinese = c.chinese;
        std::memset(g_CurImage.bytes.data(), 0, DeviceImage::kNameSize);
        std::memcpy(g_CurImage.bytes.data(), c.stored, std::strlen(c.stored));
        g_bNamePending = 0;
        view.ShowLoadedPresetName();
        EXPECT_EQ(view.PresetNameButton()->text(), QString::fromUtf8(c.shown)) << c.stored;
        EXPECT_EQ(view.PresetNameButton()->GetCheck(), c.check) << c.stored;
        EXPECT_EQ(g_bNamePending.load(), 1);
    }
}

TEST_F(ViewPresets, SaveAsMachinePresetThroughTheDialogsAsAUserDoes)
{
    view.Controller().OnAutoConnect();
    ASSERT_TRUE(WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, 30000));

    WhenModal<CSaveDlg> name([](CSaveDlg *d) {
        d->NameEdit()->setText(QStringLiteral("Road Trip"));
        d->OkButton()->click();
    });
    bool disabledDuringTransfer = false, enabledAfter = false;
    WhenModal<CProgramDlg> dialog([&](CProgramDlg *d) {
        d->Grid().SetFocusCell(3, 1);
        d->ActionButton()->click();  // asks for the name, then stores preset 3
        disabledDuringTransfer = !d->isEnabled();
        enabledAfter = WaitUntil([&] { return !g_bTransferring.load() && d->isEnabled(); }, 30000);
        d->CancelButton()->click();
    });
    view.OnViewCommand(ViewCmd::SaveMachinePreset);
    EXPECT_TRUE(disabledDuringTransfer) << "the transfer popup keeps the dialog disabled";
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(g_pProgramDlg.load(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return dev.CurrentPreset() == 3; }, 30000));
    const zksim::Image stored = dev.PresetImage(3);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(stored.data())), "Road Trip");
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "Road Trip");
}
