// The main view's surface, headless: the initial update's order, template 101's controls, the
// language switch and what it saves, the keys, the title drag, the preset name and the messages of
// the pages and the mixer.
#include "app/VRX530View.h"

#include "app/ViewLogic.h"
#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/Show_Link.h"
#include "controls/XPButton.h"
#include "link/LinkMessages.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "panels/output/LinkButtonLogic.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A page that records what the view asks of it.
struct RecordingPage : QWidget, IOutputPage {
    using QWidget::QWidget;
    int eq = 0, select = 0, records = 0, refresh = 0, focus = 0, language = 0, assignments = 0;
    int inputMode = -1;
    std::array<StripLinkLook, kStripCount> looks{};
    void RefreshEQ() override { ++eq; }
    void SelectAssignedChannel() override { ++select; }
    void LoadChannelRecords() override { ++records; }
    void RefreshChannel() override { ++refresh; }
    void FocusFirstBand() override { ++focus; }
    void SwitchLanguage() override { ++language; }
    void SetInputMode(int mode) override { inputMode = mode; }
    void ShowChannelAssignments(const std::array<StripLinkLook, kStripCount> &l) override
    {
        ++assignments;
        looks = l;
    }
};

// A view on an unplugged simulated USB device with an unreachable network, its settings in
// memory.
class ViewSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_nLinkMode = LINK_NONE;
        g_nCurPage = 1;
        SetUiLanguage(false);
        g_strLanguage = std::string();  // as at start-up: nothing saved yet
        SetAppSettings(&settings);
        hid.Unplug();
    }
    void TearDown() override
    {
        SetUiLanguage(false);
        SetAppSettings(nullptr);
    }
    std::unique_ptr<CVRX530View> MakeView()
    {
        auto view = std::make_unique<CVRX530View>(doc, &hid);
        view->Backend().Net().SetPinger([](const std::string &) { return false; });
        view->resize(CVRX530View::kSurfaceWidth, CVRX530View::kSurfaceHeight);
        return view;
    }
    std::string SavedLanguage() const { return settings.ReadString("DspMcu", "Language"); }

    CMemorySettings settings;
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    CKTV_Data doc;
};

int Bitmap(QWidget *w)
{
    if (auto *x = qobject_cast<CXPButton *>(w))
        return x->CurrentBitmap();
    if (auto *b = qobject_cast<CBitButton *>(w))
        return b->CurrentBitmap();
    return -1;
}

}  // namespace

TEST_F(ViewSurface, InitialUpdateAppliesTheSavedLanguageBeforeTheAutomaticConnection)
{
    struct Case {
        const char *saved;  // null: a first start
        bool localeChinese;
        bool chinese;
        const char *savedAfter;
    } const cases[] = {
        {nullptr, true, true, "Chinese"},
        {nullptr, false, false, "English"},
        {"English", true, false, "English"},
        {"Chinese", false, true, "Chinese"},
        {"chinese", true, false, "English"},  // the letter case counts
    };
    for (const Case &c : cases) {
        settings.RemoveGroup("DspMcu");
        g_strLanguage = std::string();  // as at start-up
        if (c.saved)
            settings.Write("DspMcu", "Language", c.saved);
        g_bChinese = c.localeChinese ? 1 : 0;
        auto view = MakeView();
        RecordingPage page(view->PageHost());
        view->Pages().RegisterOutputPage(page);
        // What the automatic connection finds when it runs.
        int autoConnects = 0, dataSkin = 0;
        bool notified = false;
        CMessageTable::Of(view.get())->On(WM_VIEW_AUTOCONNECT, [&](WPARAM, LPARAM) {
            ++autoConnects;
            dataSkin = Bitmap(view->Control(CVRX530View::IDC_DATA));
            notified = g_pNotifyView.load() == view->MessageTarget();
            return LRESULT(0);
        });
        view->OnInitialUpdate();
        EXPECT_EQ(autoConnects, 0) << "posted, not run inside the initial update";
        EXPECT_EQ(g_bChinese.load() != 0, c.chinese) << (c.saved ? c.saved : "first start");
        EXPECT_EQ(SavedLanguage(), c.savedAfter);
        EXPECT_EQ(page.records, 1) << "the page reads its records once";
        EXPECT_GE(page.refresh, 1) << "the output page is shown";
        EXPECT_TRUE(WaitUntil([&] { return autoConnects == 1; }, 2000));
        EXPECT_EQ(dataSkin, c.chinese ? 8701 : 8720);
        EXPECT_TRUE(notified);
        EXPECT_EQ(g_pMainView, view.get());
        view->Pages().WithdrawOutputPage(page);
        view->Shutdown();
    }
}

TEST_F(ViewSurface, TemplateControlsSitInTheTitleStripAndThePageFillsTheTab)
{
    auto view = MakeView();
    view->OnInitialUpdate();
    view->show();
    const int ids[] = {CVRX530View::IDC_OPTIONS, CVRX530View::IDC_DATA, CVRX530View::IDC_MIXER,
                       CVRX530View::IDC_CONNECT, CVRX530View::IDC_MINIMIZE, CVRX530View::IDC_CLOSE};
    QWidget *tab = view->PageHost();
    ASSERT_NE(tab, nullptr);
    QRect previous;
    for (int id : ids) {
        QWidget *w = view->Control(id);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_TRUE(w->isVisible()) << id;
        EXPECT_LE(w->geometry().bottom(), tab->geometry().top()) << id << " stays in the title strip";
        EXPECT_FALSE(w->geometry().intersects(previous)) << id << " overlaps its left neighbour";
        EXPECT_LE(w->geometry().right(), CVRX530View::kSurfaceWidth) << id;
        previous = w->geometry();
    }
    // Left to right as the template places them.
    EXPECT_LT(view->Control(CVRX530View::IDC_OPTIONS)->x(), view->Control(CVRX530View::IDC_DATA)->x());
    EXPECT_GT(view->Control(CVRX530View::IDC_CLOSE)->x(), view->Control(CVRX530View::IDC_MINIMIZE)->x());
    for (int id : {CVRX530View::IDC_SOURCE, CVRX530View::IDC_SOURCE_BAR, CVRX530View::IDC_ADV_SWITCH,
                   CVRX530View::IDC_PAGE_OUTPUT, CVRX530View::IDC_PAGE_INPUT, CVRX530View::IDC_PAGE_VOLUME,
                   CVRX530View::IDC_LINK_STATUS, CVRX530View::IDC_SYSTEM, CVRX530View::IDC_REPORT,
                   CVRX530View::IDC_SLOT0, CVRX530View::IDC_SPARE, CVRX530View::IDC_INPUT_PAGE}) {
        ASSERT_NE(view->Control(id), nullptr) << id;
        EXPECT_FALSE(view->Control(id)->isVisible()) << id << " stays hidden";
    }
    EXPECT_EQ(tab->geometry().bottom(), CVRX530View::kSurfaceHeight - 1);
    EXPECT_EQ(tab->width(), CVRX530View::kSurfaceWidth);
    EXPECT_GE(view->PageRect().height(), 664) << "room for the output page";
    view->Shutdown();
}

TEST_F(ViewSurface, LanguageSwitchTurnsSkinsListAndPresetNameAndIsSaved)
{
    g_bChinese = 1;
    auto view = MakeView();
    RecordingPage page(view->PageHost());
    view->Pages().RegisterOutputPage(page);
    view->OnInitialUpdate();
    g_nInputSource = 0;  // SPDIF
    view->SetInputSource(0, 0);
    // Online with preset 0 renamed "Custom": the display follows the language.
    g_bDeviceOnline = 1;
    g_nCurPreset = 0;
    view->SetPresetNameFromText("Custom");
    view->OnPresetCustom();
    EXPECT_EQ(view->PresetNameButton()->text(), QStringLiteral("自定义"));
    const int languageBefore = page.language;

    view->SwitchLanguage(1);
    EXPECT_EQ(g_bChinese.load(), 0);
    EXPECT_EQ(SavedLanguage(), "English");
    EXPECT_EQ(g_strLanguage.Get(), "English");
    EXPECT_EQ(Bitmap(view->Control(CVRX530View::IDC_MIXER)), 1024);
    EXPECT_EQ(Bitmap(view->Control(CVRX530View::IDC_DATA)), 8720);
    EXPECT_EQ(Bitmap(view->Control(CVRX530View::IDC_OPTIONS)), 8721);
    EXPECT_EQ(Bitmap(view->ConnectButton()), 8753);
    EXPECT_EQ(view->SourceSelector()->GetCurSel(), 2);
    EXPECT_EQ(view->SourceSelector()->text(), QStringLiteral("SPDIF"));
    EXPECT_EQ(view->PresetNameButton()->text(), QStringLiteral("Custom"));
    EXPECT_FALSE(view->StatusIndicator()->isVisible());
    EXPECT_GT(page.language, languageBefore);

    view->SwitchLanguage(1);
    EXPECT_EQ(g_bChinese.load(), 1);
    EXPECT_EQ(SavedLanguage(), "Chinese");
    EXPECT_EQ(Bitmap(view->Control(CVRX530View::IDC_MIXER)), 1022);
    EXPECT_EQ(view->SourceSelector()->text(), QStringLiteral("光纤"));
    EXPECT_EQ(view->PresetNameButton()->text(), QStringLiteral("自定义"));

    // Offline the preset-name display is left as it is.
    g_bDeviceOnline = 0;
    view->SwitchLanguage(1);
    EXPECT_EQ(view->PresetNameButton()->text(), QStringLiteral("自定义"));
    view->Pages().WithdrawOutputPage(page);
    view->Shutdown();
}

TEST_F(ViewSurface, PresetNameFromTextShowsWholeCharactersAndStoresAscii)
{
    auto view = MakeView();
    view->OnInitialUpdate();
    struct Case {
        const char *text, *shown, *stored;
    } const cases[] = {
        {"Bass Boost", "Bass Boost", "Bass Boost"},
        {"ABCDEFGHIJKLMN", "ABCDEFGHIJKL", "ABCDEFGHIJKLM"},
        {"中文场景名称测试", "中文场景名称", "Custom"},
        {"低音Bass", "低音Bass", "Bass"},
    };
    for (const Case &c : cases) {
        g_bNamePending = 0;
        view->SetPresetNameFromText(c.text);
        EXPECT_EQ(view->PresetNameEdit()->text().toStdString(), c.shown);
        EXPECT_EQ(view->PresetNameButton()->GetCheck(), 1);
        EXPECT_EQ(g_CurImage.NameBytes(), c.stored);
        EXPECT_EQ(g_bNamePending.load(), 1);
        EXPECT_EQ(GetLastAutoName(), c.shown);
    }
    view->Shutdown();
}

TEST_F(ViewSurface, KeysPagesSourceAndMixTableMessages)
{
    auto view = MakeView();
    RecordingPage page(view->PageHost());
    view->Pages().RegisterOutputPage(page);
    view->OnInitialUpdate();
    view->show();
    view->activateWindow();
    auto *field = new QLineEdit(&page);
    field->show();
    field->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }, 2000));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(view->hasFocus()) << "Enter gives the focus to the view";
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_EQ(page.focus, 1) << "Tab on the output page goes to the first band";

    // The volume page has no window: the output page goes and the tab stays empty until page 1
    // is shown again.
    SendMessageTo(view.get(), ViewMsg::ShowVolume);
    EXPECT_EQ(g_nCurPage.load(), 2);
    EXPECT_FALSE(page.isVisible());
    QTest::keyClick(view.get(), Qt::Key_Tab);
    EXPECT_EQ(page.focus, 1) << "Tab elsewhere does nothing";
    view->ShowPage(1, 1);
    EXPECT_TRUE(page.isVisible());

    // The device reports input modes; the noise-gate switch shows for all but Hi.Level.
    QWidget *gate = view->Control(CVRX530View::IDC_ADV_SWITCH);
    view->SetInputSource(1, 0);
    EXPECT_FALSE(gate->isVisible());
    EXPECT_EQ(page.inputMode, 1);
    view->SetInputSource(3, 0);
    EXPECT_TRUE(gate->isVisible());
    EXPECT_FALSE(gate->isEnabled());
    EXPECT_EQ(view->SourceSelector()->GetCurSel(), 1);
    view->SetInputSource(9, 0);
    EXPECT_EQ(view->SourceSelector()->GetCurSel(), 1) << "an unknown code changes nothing here";

    // The mixer's levels arrive as values; rows 11 and 12 have their place, others are refused.
    CMessageTable *table = CMessageTable::Of(view.get());
    table->PostMessage(ViewMsg::MixTable, CMixTable::MessageWParam(7, 12), 42);
    table->PostMessage(ViewMsg::MixTable, CMixTable::MessageWParam(8, 1), 42);
    table->PostMessage(ViewMsg::MixTable, CMixTable::MessageWParam(0, 13), 42);
    EXPECT_TRUE(WaitUntil([&] { return view->MixTable().Level(7, 12) == 42; }, 2000));
    EXPECT_EQ(view->MixTable().Level(0, 12), 100);

    // Link values: a group number gives the badge, an editor mask above 10 the plain look.
    g_LinkGroups[0] = 2;
    g_LinkGroups[1] = 2;
    g_LinkGroups[2] = 0x0C;
    g_LinkGroups[3] = 0x0C;
    g_nSelOutput = 2;
    view->RefreshChannelAssignments();
    EXPECT_EQ(page.assignments, 1);
    EXPECT_EQ(page.looks[0].group, 1);
    EXPECT_EQ(page.looks[2].group, -1);
    EXPECT_TRUE(page.looks[3].selected);
    EXPECT_EQ(g_LinkGroupUsed[1].load(), 1);
    EXPECT_EQ(g_LinkGroupMask[1].load(), 0x3);
    EXPECT_EQ(g_LinkGroupCount[1].load(), 2);
    for (std::size_t g = 2; g < kLinkGroupSlots; ++g)
        EXPECT_EQ(g_LinkGroupUsed[g].load(), 0) << g;
    view->Pages().WithdrawOutputPage(page);
    view->Shutdown();
}

TEST_F(ViewSurface, DraggingTheTitleStripMovesTheWindow)
{
    auto view = MakeView();
    view->OnInitialUpdate();
    view->move(100, 100);
    view->show();
    const QPoint start(700, 12);  // the free part of the title strip
    ASSERT_EQ(view->childAt(start), nullptr);
    QTest::mousePress(view.get(), Qt::LeftButton, {}, start);
    QTest::mouseMove(view.get(), start + QPoint(40, 25));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, start + QPoint(40, 25));
    EXPECT_EQ(view->pos(), QPoint(140, 125));
    // After the release moves do nothing.
    QTest::mouseMove(view.get(), start + QPoint(90, 90));
    EXPECT_EQ(view->pos(), QPoint(140, 125));
    view->Shutdown();
}

TEST_F(ViewSurface, LinkRefreshGivesThePageStripsTheirBadgesAndSelection)
{
    auto view = MakeView();
    view->OnInitialUpdate();
    COutputDlg *page = view->OutputPage();
    ASSERT_NE(page, nullptr);
    // Outputs 1 and 3 in group 2, output 5 with a link-editor mask, which has no badge.
    g_LinkGroups[1] = g_LinkGroups[3] = 2;
    g_LinkGroups[5] = 0x30;
    g_nSelOutput = 3;
    view->RefreshChannelAssignments();
    for (int i = 0; i < 8; ++i) {
        CBitButton *link = page->Strip(i)->LinkButton();
        const bool grouped = i == 1 || i == 3;
        EXPECT_EQ(link->GetCheck(), grouped ? 1 : 0) << i;
        EXPECT_EQ(page->Strip(i)->ChannelButton()->GetCheck(), grouped ? 1 : 0) << i;
        link->SetCheck(1);  // the look it would show checked
        EXPECT_EQ(link->CurrentBitmap(), grouped ? CLinkButtonLogic::kBadgesEnglish[1] : CLinkButtonLogic::kPlainEnglish)
            << i;
    }
    EXPECT_EQ(page->Strip(5)->GetLinkMask(), 0x30);
    for (auto &v : g_LinkGroups)
        v = 0;
    g_nSelOutput = 0;
    view->Shutdown();
}
