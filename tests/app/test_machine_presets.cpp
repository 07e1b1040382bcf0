// The machine-preset actions with recording device operations, and the machine-preset and
// preset-name dialogs headless, driven by QTest clicks and keys.
#include "app/MachinePresets.h"
#include "app/ProgramDlg.h"
#include "app/SaveDlg.h"

#include "controls/ChEnEdit.h"
#include "model/DeviceImage.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/TestDoubles.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

namespace {

struct Call {
    std::string op;
    int a, b;
    bool operator==(const Call &) const = default;
};

struct RecordingSync : IDeviceSync {
    std::vector<Call> calls;
    void QueueDeviceCommand(int cmd, int preset) override { calls.push_back({"queue", cmd, preset}); }
    void SetPendingBlock5(int) override {}
    void SetPendingBlock2(int) override {}
    void ReadPresetFromDevice(int preset) override { calls.push_back({"read", preset, 0}); }
    void StorePresetToDevice(int preset, int fill) override { calls.push_back({"store", preset, fill}); }
    void RecallDevicePreset(int preset) override { calls.push_back({"recall", preset, 0}); }
    void PushAllPresetsToDevice() override {}
    int RequestAllPresets() override { return 0; }
    void RestoreSpeakerTypes(int) override {}
};

struct FakeLink : ILinkStatus {
    bool connected = true;
    int failures = 0;
    bool Connected() const override { return connected; }
    void ShowLinkFailure() override { ++failures; }
    void ReconnectLink() override {}
};

void SetName(int preset, const char *name)
{
    auto &field = g_MachinePresets[static_cast<std::size_t>(preset - 1)].bytes;
    std::fill(field.begin(), field.begin() + DeviceImage::kNameSize, 0);
    std::memcpy(field.data(), name, std::strlen(name));
}

std::string StoredName(const DeviceImage &image)
{
    return std::string(reinterpret_cast<const char *>(image.data()), strnlen(reinterpret_cast<const char *>(image.data()), 16));
}

class MachinePresets : public ::testing::Test {
protected:
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    RecordingSync sync;
    FakeLink link;
    int namesShown = 0;
    CMachinePresetActions actions{sync, link, boxes, [this] { ++namesShown; }};

    void SetUp() override
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        g_bChinese = 0;
        g_bDeviceOnline = 1;
        SetName(1, "Club");
        SetName(2, "  Live  ");
        SetName(3, "Night Drive");
        SetName(4, "");
        std::memcpy(g_CurImage.bytes.data(), "Custom\0", 7);
    }
    void TearDown() override { g_bDeviceOnline = 0; }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const auto &b : boxes.Shown())
            texts.push_back(b.text);
        return texts;
    }
};

}  // namespace

TEST_F(MachinePresets, SaveAsChecksTheNameStoresItAndTellsTheDevice)
{
    using R = CMachinePresetActions::SaveResult;
    const struct {
        int preset;
        const char *name;
        R result;
        const char *message;
    } cases[] = {
        {5, "", R::Empty, "The machine preset name can not be empty!"},
        {5, "   ", R::Blank, "The machine preset name can not be all spaces!"},
        {5, "Club", R::Duplicate, "Have been the same machine preset name!"},
        {5, "Night Drive", R::Duplicate, "Have been the same machine preset name!"},
        {5, "ABCDEFGHIJKLMNOP", R::TooLong, "Char len error!"},
        {1, "Club", R::Stored, nullptr},         // its own name: its own slot is not compared
        {5, " Jazz ", R::Stored, nullptr},       // blanks as typed
    };
    for (const auto &c : cases) {
        boxes.Clear();
        sync.calls.clear();
        namesShown = 0;
        const DeviceImage before = g_MachinePresets[static_cast<std::size_t>(c.preset - 1)];
        EXPECT_EQ(actions.SaveAs(c.preset, c.name), c.result) << c.name;
        const DeviceImage &after = g_MachinePresets[static_cast<std::size_t>(c.preset - 1)];
        if (c.message) {
            EXPECT_EQ(Shown(), std::vector<std::string>{c.message}) << c.name;
            EXPECT_EQ(after.bytes, before.bytes) << c.name;
            EXPECT_TRUE(sync.calls.empty()) << c.name;
            EXPECT_EQ(namesShown, 0);
            continue;
        }
        EXPECT_TRUE(Shown().empty()) << c.name;
        EXPECT_EQ(StoredName(after), c.name);
        EXPECT_EQ(StoredName(g_CurImage), c.name);
        EXPECT_EQ(namesShown, 1);
        EXPECT_EQ(sync.calls, (std::vector<Call>{{"store", c.preset, 1}}));
    }
    // The trimmed name is what the list and the name dialog show next time.
    EXPECT_EQ(CMachinePresetActions::PresetName(5), "Jazz");
    EXPECT_EQ(CMachinePresetActions::PresetName(2), "Live");
    EXPECT_EQ(CMachinePresetActions::PresetName(4), "");
    EXPECT_EQ(CMachinePresetActions::PresetName(7), "");
}

TEST_F(MachinePresets, SaveAsWithoutALinkChangesNothing)
{
    link.connected = false;
    const auto presets = g_MachinePresets;
    const DeviceImage current = g_CurImage;
    EXPECT_EQ(actions.SaveAs(6, "Road"), CMachinePresetActions::SaveResult::NoLink);
    EXPECT_EQ(link.failures, 1);
    EXPECT_EQ(g_MachinePresets[5].bytes, presets[5].bytes);
    EXPECT_EQ(g_CurImage.bytes, current.bytes);
    EXPECT_EQ(namesShown, 0);
    EXPECT_TRUE(sync.calls.empty());
}

TEST_F(MachinePresets, LoadAndDeleteOnlineOfflineAndUnconfirmed)
{
    EXPECT_TRUE(actions.Load(3));
    EXPECT_EQ(StoredName(g_CurImage), "Night Drive") << "the read-back carries the preset's name";
    EXPECT_EQ(sync.calls, (std::vector<Call>{{"read", 3, 0}}));

    // Delete asks by number; No changes nothing.
    sync.calls.clear();
    boxes.PushAnswer(IDNO);
    EXPECT_FALSE(actions.Delete(3));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Are you delete No.3 preset?");
    EXPECT_EQ(boxes.Shown()[0].type, unsigned(MB_YESNO));
    EXPECT_EQ(boxes.Shown()[0].code, -3);
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "Night Drive");

    // Yes: another preset only loses its name; the active one also stops being active.
    boxes.PushAnswer(IDYES);
    g_nCurPreset = 1;
    EXPECT_TRUE(actions.Delete(3));
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "");
    boxes.PushAnswer(IDYES);
    EXPECT_TRUE(actions.Delete(1));
    EXPECT_EQ(sync.calls, (std::vector<Call>{{"queue", SYS_NAME, 3}, {"recall", 1, 0}}));

    // Offline: load says so at once, delete after asking; nothing changes.
    g_bDeviceOnline = 0;
    sync.calls.clear();
    boxes.Clear();
    const DeviceImage current = g_CurImage;
    EXPECT_FALSE(actions.Load(2));
    boxes.PushAnswer(IDYES);
    EXPECT_FALSE(actions.Delete(2));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"No device is connected!", "Are you delete No.2 preset?",
                                                 "No device is connected!"}));
    EXPECT_TRUE(sync.calls.empty());
    EXPECT_EQ(g_CurImage.bytes, current.bytes);
    EXPECT_EQ(CMachinePresetActions::PresetName(2), "Live");

    // The Chinese question.
    g_bChinese = 1;
    boxes.Clear();
    EXPECT_FALSE(actions.Delete(6));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "是否删除第6组场景?");
    EXPECT_EQ(boxes.Shown()[0].code, -2);
}

// ---- the dialogs ---------------------------------------------------------------------------------

namespace {

class ProgramDialog : public MachinePresets {
protected:
    std::deque<std::optional<QString>> names;
    std::vector<int> asked;
    std::unique_ptr<CProgramDlg> Open(int mode)
    {
        auto dlg = std::make_unique<CProgramDlg>(actions, mode);
        dlg->SetNameAsker([this](int preset) -> std::optional<QString> {
            asked.push_back(preset);
            if (names.empty())
                return std::nullopt;
            auto n = names.front();
            names.pop_front();
            return n;
        });
        dlg->InitDialog();
        dlg->show();
        QCoreApplication::processEvents();
        return dlg;
    }
    static QPoint Centre(CProgramDlg &dlg, int row, int col)
    {
        CRect rc;
        EXPECT_TRUE(dlg.Grid().GetCellRect(row, col, &rc));
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    static void DoubleClick(CProgramDlg &dlg, int row, int col)
    {
        QWidget *vp = dlg.Grid().viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(dlg, row, col));
        QTest::mouseDClick(vp, Qt::LeftButton, {}, Centre(dlg, row, col));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, Centre(dlg, row, col));
    }
};

}  // namespace

TEST_F(ProgramDialog, EachModeShowsItsTextsTheNamesAndRowOne)
{
    const struct {
        int mode;
        bool chinese;
        const char *title, *button, *no, *name, *quit;
    } cases[] = {
        {0, false, "Load Machine Preset", "Load", "No.", "Preset", "Quit"},
        {1, false, "Save As Machine Preset", "Save", "No.", "Preset", "Quit"},
        {2, false, "Delete Machine Preset", "Delete", "No.", "Preset", "Quit"},
        {0, true, "加载 机器预置场景", "加载", "序号", "场景名", "退出"},
        {1, true, "另存为 机器预置场景", "保存", "序号", "场景名", "退出"},
        {2, true, "删除 机器预置场景", "删除", "序号", "场景名", "退出"},
    };
    for (const auto &c : cases) {
        g_bChinese = c.chinese;
        auto dlg = Open(c.mode);
        EXPECT_EQ(g_pProgramDlg.load(), dlg.get());
        EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(dlg->ActionButton()->text(), QString::fromUtf8(c.button));
        EXPECT_EQ(dlg->CancelButton()->text(), QString::fromUtf8(c.quit));
        CComboGridCtrl &grid = dlg->Grid();
        EXPECT_EQ(grid.GetItemText(0, 0), QString::fromUtf8(c.no));
        EXPECT_EQ(grid.GetItemText(0, 1), QString::fromUtf8(c.name));
        EXPECT_EQ(grid.GetRowCount(), 7);
        for (int p = 1; p <= 6; ++p)
            EXPECT_EQ(grid.GetItemText(p, 0), QString::number(p));
        EXPECT_EQ(grid.GetItemText(2, 1), "Live") << "trimmed";
        EXPECT_EQ(grid.GetItemText(4, 1), "");
        EXPECT_EQ(grid.GetFocusCell(), CGridCellPos(1, 1));
        EXPECT_TRUE(grid.IsCellSelected(1, 1));
        EXPECT_FALSE(grid.IsEditable());
        dlg.reset();
        EXPECT_EQ(g_pProgramDlg.load(), nullptr);
    }
    // A language switch while open re-reads the texts.
    g_bChinese = 0;
    auto dlg = Open(2);
    SetUiLanguage(true);
    EXPECT_EQ(dlg->ActionButton()->text(), QString::fromUtf8("删除"));
    SetUiLanguage(false);
    EXPECT_EQ(dlg->windowTitle(), "Delete Machine Preset");
}

TEST_F(ProgramDialog, EnterAndEscNeitherActNorClose)
{
    auto dlg = Open(2);
    dlg->Grid().setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(&dlg->Grid(), key);
        QTest::keyClick(dlg->ActionButton(), key);
        QTest::keyClick(dlg.get(), key);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(boxes.Shown().empty()) << "no delete was asked for";
    EXPECT_TRUE(sync.calls.empty());
}

TEST_F(ProgramDialog, DoubleClicksActOnTheirRowOnceTheGridIsDone)
{
    auto dlg = Open(2);
    DoubleClick(*dlg, 0, 1);  // the header row
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.Shown().empty());

    boxes.PushAnswer(IDNO);
    DoubleClick(*dlg, 3, 0);  // either cell of the row
    EXPECT_TRUE(boxes.Shown().empty()) << "the action waits for the grid";
    EXPECT_TRUE(WaitUntil([&] { return !boxes.Shown().empty(); }, 2000));
    EXPECT_EQ(boxes.Shown()[0].text, "Are you delete No.3 preset?");
    EXPECT_EQ(dlg->SelectedPreset(), 3);

    // Mode 0 loads the double-clicked preset.
    auto load = Open(0);
    DoubleClick(*load, 2, 1);
    EXPECT_TRUE(WaitUntil([&] { return !sync.calls.empty(); }, 2000));
    EXPECT_EQ(sync.calls, (std::vector<Call>{{"read", 2, 0}}));
}

TEST_F(ProgramDialog, SaveAsFromTheButtonOrTheContextMenuInAnyMode)
{
    auto dlg = Open(1);
    dlg->Grid().SetFocusCell(5, 0);  // the number column
    names.push_back(QStringLiteral(" Jazz "));
    dlg->ActionButton()->click();
    EXPECT_EQ(asked, std::vector<int>{5});
    EXPECT_EQ(dlg->Grid().GetItemText(5, 1), " Jazz ") << "as typed";
    EXPECT_EQ(dlg->Grid().GetItemText(5, 0), "5");
    EXPECT_EQ(sync.calls, (std::vector<Call>{{"store", 5, 1}}));

    // A refused name leaves the row; a cancelled name dialog does nothing.
    names.push_back(QStringLiteral("Club"));
    dlg->Grid().SetFocusCell(6, 1);
    dlg->ActionButton()->click();
    EXPECT_EQ(Shown(), std::vector<std::string>{"Have been the same machine preset name!"});
    EXPECT_EQ(dlg->Grid().GetItemText(6, 1), "");
    dlg->ActionButton()->click();
    EXPECT_EQ(asked, (std::vector<int>{5, 6, 6}));
    EXPECT_EQ(sync.calls.size(), 1u);

    // In load mode the context menu still offers Save As for the right-clicked row.
    auto load = Open(0);
    names.push_back(QStringLiteral("Road"));
    bool menuSeen = false;
    QTimer::singleShot(50, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menuSeen = true;
        QTest::keyClick(menu, Qt::Key_I);  // Save As
    });
    QTest::mouseClick(load->Grid().viewport(), Qt::RightButton, {}, Centre(*load, 4, 1));
    EXPECT_TRUE(menuSeen);
    EXPECT_TRUE(WaitUntil([&] { return asked.size() == 4; }, 2000));
    EXPECT_EQ(asked.back(), 4);
    EXPECT_EQ(load->Grid().GetItemText(4, 1), "Road");
}

TEST_F(ProgramDialog, TheDeleteKeyShowsTheNameAgainUnlessThePresetWasDeleted)
{
    auto dlg = Open(2);
    dlg->Grid().setFocus();
    dlg->Grid().SetFocusCell(3, 1);
    boxes.PushAnswer(IDNO);
    QTest::keyClick(&dlg->Grid(), Qt::Key_Delete);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Are you delete No.3 preset?"});
    EXPECT_EQ(dlg->Grid().GetItemText(3, 1), "Night Drive") << "No: the name is shown again";

    g_bDeviceOnline = 0;
    boxes.PushAnswer(IDYES);
    QTest::keyClick(&dlg->Grid(), Qt::Key_Delete);
    EXPECT_EQ(dlg->Grid().GetItemText(3, 1), "Night Drive") << "offline: the name is shown again";
    EXPECT_TRUE(sync.calls.empty());

    g_bDeviceOnline = 1;
    boxes.PushAnswer(IDYES);
    QTest::keyClick(&dlg->Grid(), Qt::Key_Delete);
    EXPECT_EQ(dlg->Grid().GetItemText(3, 1), "");
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "");
    EXPECT_EQ(sync.calls, (std::vector<Call>{{"queue", SYS_NAME, 3}}));
}

TEST_F(MachinePresets, NameDialogOpensWithTheStoredNameAndLimitsWhatCanBeTyped)
{
    CSaveDlg dlg;
    dlg.m_nPreset = 2;
    dlg.InitDialog();
    dlg.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.NameEdit()->text(), "Live") << "trimmed";
    EXPECT_EQ(dlg.Label()->text(), "No.2");
    EXPECT_EQ(dlg.windowTitle(), "Please enter the preset name");
    EXPECT_EQ(dlg.OkButton()->text(), "OK");

    CChEnEdit *edit = dlg.NameEdit();
    const struct {
        const char *start;
        const char *typed;
        const char *result;
    } cases[] = {
        {"ABCDEFGHIJKL", "MN", "ABCDEFGHIJKLM"},    // the 14th byte cannot be typed
        {"ABCDEFGHIJK", "中", "ABCDEFGHIJK"},       // its alignment blank would be the 14th byte
        {"ABCDEFGHIJ", "中", "ABCDEFGHIJ中"},       // even position: no blank, 12 bytes
        {"ABCDEFGHI", "中", "ABCDEFGHI 中"},        // blank and character: 13 bytes
        {"AB", "😀x", "ABx"},                        // no GBK form: refused, the next key is taken
        {" a ", "b", " a b"},
    };
    for (const auto &c : cases) {
        edit->setText(QString::fromUtf8(c.start));
        edit->setFocus();
        edit->end(false);
        const QString typed = QString::fromUtf8(c.typed);
        for (int i = 0; i < typed.size();) {
            const int units = typed[i].isHighSurrogate() ? 2 : 1;
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed.mid(i, units));
            QCoreApplication::sendEvent(edit, &key);
            i += units;
        }
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.result)) << c.start << " + " << c.typed;
    }
    // OK hands back the whole text, blanks included.
    edit->setText(QStringLiteral("  Road "));
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.m_strName, "  Road ");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    // A deleted preset opens empty; Cancel keeps the name member; Chinese texts.
    g_bChinese = 1;
    CSaveDlg other;
    other.m_nPreset = 4;
    other.m_strName = QStringLiteral("kept");
    other.InitDialog();
    other.show();
    EXPECT_EQ(other.NameEdit()->text(), "");
    EXPECT_EQ(other.Label()->text(), QString::fromUtf8("序号:4"));
    EXPECT_EQ(other.windowTitle(), QString::fromUtf8("请输入场景名"));
    other.NameEdit()->setText(QStringLiteral("x"));
    other.CancelButton()->click();
    EXPECT_EQ(other.m_strName, "kept");
    EXPECT_EQ(other.result(), QDialog::Rejected);
}
