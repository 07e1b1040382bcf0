// The link-group editor: its lists from the strips' masks, Add and the group buttons with their
// question, Reset, what OK writes and posts; the dialog driven by clicks; and the output page
// taking the editor's masks over.

#include "services/PageRegistry.h"
#include "controls/BitButton.h"
#include "controls/ListCtrlCl.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "panels/input/LinkEditor.h"
#include "panels/input/Link_Dlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <QCoreApplication>
#include <QMenu>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Mode = CLinkEditor::Mode;
using Masks = std::array<int, CLinkEditor::kOutputs>;

Masks Alone()
{
    Masks m{};
    for (int i = 0; i < 8; ++i)
        m[std::size_t(i)] = 1 << i;
    return m;
}

Masks Linked(std::initializer_list<std::initializer_list<int>> groups)
{
    Masks m = Alone();
    for (auto g : groups) {
        int mask = 0;
        for (int o : g)
            mask |= 1 << o;
        for (int o : g)
            m[std::size_t(o)] = mask;
    }
    return m;
}

// "col0:output" of every row, for compact comparisons.
std::vector<std::string> Rows(const std::vector<CLinkEditor::Row> &rows)
{
    std::vector<std::string> out;
    for (const auto &r : rows)
        out.push_back(r.col0 + ":" + std::to_string(r.output));
    return out;
}

int RowOf(const CLinkEditor &e, int output)
{
    for (std::size_t r = 0; r < e.Left().size(); ++r)
        if (e.Left()[r].output == output)
            return int(r);
    return -1;
}

struct Asked {
    std::vector<std::string> messages;
    int answer = IDYES;
    CLinkEditor::Ask Fn()
    {
        return [this](const std::string &m) {
            messages.push_back(m);
            return answer;
        };
    }
};

TEST(LinkEditor, OpensTheListsOfEachModeFromTheMasks)
{
    const struct {
        const char *name;
        Mode mode;
        int own;
        Masks masks;
        std::vector<std::string> left, right;
        std::vector<int> groupsUsed;
    } cases[] = {
        {"create, alone", Mode::Create, 3, Alone(),
         {"1:0", "2:1", "3:2", "4:4", "5:5", "6:6", "7:7"}, {"1:3"}, {}},
        {"create, own in the second group", Mode::Create, 5, Linked({{0, 1}, {4, 5, 7}}),
         {"1:0", "2:1", "3:2", "4:3", "5:6"}, {"2:4", "2:5", "2:7"}, {}},
        {"join, alone while 5 and 6 are linked", Mode::Join, 2, Linked({{5, 6}}), {"1:2"}, {"1:5", "1:6"}, {1}},
        {"join, linked to 1 while 2 and 3 and 6 and 7 are linked", Mode::Join, 0, Linked({{0, 1}, {2, 3}, {6, 7}}),
         {"1:0", "2:1"}, {"2:2", "2:3", "3:6", "3:7"}, {2, 3}},
    };
    for (const auto &c : cases) {
        CLinkEditor e;
        e.Open(c.mode, c.own, c.masks, false);
        EXPECT_EQ(Rows(e.Left()), c.left) << c.name;
        EXPECT_EQ(Rows(e.Right()), c.right) << c.name;
        for (int k = 1; k <= CLinkEditor::kGroups; ++k)
            EXPECT_EQ(e.GroupUsed(k), std::find(c.groupsUsed.begin(), c.groupsUsed.end(), k) != c.groupsUsed.end())
                << c.name << " group " << k;
        EXPECT_FALSE(e.Modified());
        EXPECT_FALSE(e.OnOK(c.masks).apply) << c.name << ": OK without a change writes nothing";
    }
}

TEST(LinkEditor, AddInCreateModeBuildsTheMaskAndPostsTheOwnOutput)
{
    CLinkEditor e;
    e.Open(Mode::Create, 3, Alone(), false);
    EXPECT_EQ(e.Caption(3), "Channel4");
    e.SetLeftFlags({RowOf(e, 0), RowOf(e, 1)});
    Asked asked;
    e.Add(asked.Fn());
    EXPECT_TRUE(asked.messages.empty());
    EXPECT_EQ(Rows(e.Right()), (std::vector<std::string>{"1:0", "1:1", "1:3"}));
    EXPECT_EQ(Rows(e.Left()), (std::vector<std::string>{"1:2", "2:4", "3:5", "4:6", "5:7"}));
    const CLinkEditor::Apply a = e.OnOK(Alone());
    ASSERT_TRUE(a.apply);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(a.masks[std::size_t(i)], i == 0 || i == 1 || i == 3 ? 11 : 1 << i) << i;
    EXPECT_EQ(a.wParam, 3);
    EXPECT_EQ(a.lParam, -1);

    // Reset restores the lists of the opening; a click on empty space clears the flags, and Add
    // then does nothing.
    e.Reset();
    EXPECT_EQ(Rows(e.Right()), (std::vector<std::string>{"1:3"}));
    EXPECT_EQ(e.Left().size(), 7u);
    EXPECT_FALSE(e.Modified());
    e.SetLeftFlags({0});
    e.SetLeftFlags({});
    e.Add(asked.Fn());
    EXPECT_EQ(Rows(e.Right()), (std::vector<std::string>{"1:3"}));
    EXPECT_FALSE(e.Modified());
}

TEST(LinkEditor, AddingAMemberOfAGroupAsksAboutItsUnflaggedPartnersInEitherLanguage)
{
    const struct {
        bool chinese;
        int answer;
        std::vector<std::string> right;
        int mask5;  // output 5's mask after OK
    } cases[] = {
        {false, IDYES, {"1:0", "1:4", "1:5"}, 0x31},
        {false, IDNO, {"1:0", "1:4"}, 0x20},
        {true, IDYES, {"1:0", "1:4", "1:5"}, 0x31},
        {true, IDNO, {"1:0", "1:4"}, 0x20},
    };
    for (const auto &c : cases) {
        CLinkEditor e;
        const Masks masks = Linked({{4, 5}});
        e.Open(Mode::Create, 0, masks, c.chinese);
        e.SetLeftFlags({RowOf(e, 4)});
        Asked asked;
        asked.answer = c.answer;
        e.Add(asked.Fn());
        ASSERT_EQ(asked.messages.size(), 1u);
        EXPECT_EQ(asked.messages[0], c.chinese ? "通道5与通道6 联调，是否添加未选中的联调项？"
                                               : "Channel5与Channel6  joint debugging, whether to add unselected "
                                                 "joint debugging item?");
        EXPECT_EQ(Rows(e.Right()), c.right);
        const CLinkEditor::Apply a = e.OnOK(masks);
        ASSERT_TRUE(a.apply);
        EXPECT_EQ(a.masks[5], c.mask5) << "the output left behind forgets the moved one";
        EXPECT_EQ(a.masks[0], c.answer == IDYES ? 0x31 : 0x11);
    }
}

TEST(LinkEditor, AGroupButtonMovesTheFlaggedRowsIntoThatGroup)
{
    CLinkEditor e;
    e.Open(Mode::Join, 2, Linked({{5, 6}}), false);
    e.SetLeftFlags({0});
    Asked asked;
    e.JoinGroup(1, asked.Fn());
    EXPECT_TRUE(asked.messages.empty());
    EXPECT_EQ(Rows(e.Right()), (std::vector<std::string>{"1:2", "1:5", "1:6"}));
    EXPECT_TRUE(e.Left().empty());
    const CLinkEditor::Apply a = e.OnOK(Linked({{5, 6}}));
    ASSERT_TRUE(a.apply);
    for (int i : {2, 5, 6})
        EXPECT_EQ(a.masks[std::size_t(i)], 0x64) << i;
    EXPECT_EQ(a.wParam, 5);
    EXPECT_EQ(a.lParam, 2);

    // With output 0 linked to 1, moving only 0 asks about 1: Cancel moves nothing, No moves 0
    // alone, Yes both.
    const Masks masks = Linked({{0, 1}, {2, 3}});
    const struct {
        int answer;
        std::vector<std::string> right;
        bool modified;
    } answers[] = {{IDCANCEL, {"2:2", "2:3"}, false}, {IDNO, {"2:0", "2:2", "2:3"}, true},
                   {IDYES, {"2:0", "2:1", "2:2", "2:3"}, true}};
    for (const auto &c : answers) {
        CLinkEditor j;
        j.Open(Mode::Join, 0, masks, false);
        j.SetLeftFlags({RowOf(j, 0)});
        Asked q;
        q.answer = c.answer;
        j.JoinGroup(2, q.Fn());
        EXPECT_EQ(q.messages.size(), 1u) << c.answer;
        EXPECT_EQ(Rows(j.Right()), c.right) << c.answer;
        EXPECT_EQ(j.Modified(), c.modified) << c.answer;
    }
}

// ---- the dialog and the page ----

using NoBoxes = CAnswerNoBoxes;

struct FakeHost : ILinkMaskHost {
    Masks masks = Alone();
    std::vector<std::pair<int, int>> posted;
    int LinkMask(int i) const override { return masks[std::size_t(i)]; }
    void SetLinkMask(int i, int m) override { masks[std::size_t(i)] = m; }
    void PostLinkApply(int a, int b) override { posted.emplace_back(a, b); }
};

void ClickRow(CListCtrlCl *list, int row)
{
    const QRect r = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    QCoreApplication::processEvents();
}

TEST(LinkDialog, ClicksInCreateModeLinkTwoOutputsToTheOwnOne)
{
    QtTestApp();
    SetUiLanguage(false);
    FakeHost host;
    NoBoxes boxes;
    CLink_Dlg dlg(host, boxes);
    dlg.m_nOwnOutput = 3;
    dlg.InitDialog();
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Joint Debug Settings"));
    EXPECT_FALSE(dlg.AddButton()->isHidden());
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(dlg.GroupButton(k)->isHidden()) << k;
    ASSERT_EQ(dlg.LeftList()->GetItemCount(), 7);
    EXPECT_EQ(dlg.RightList()->GetItemText(0, 1), QStringLiteral("Channel4"));
    ClickRow(dlg.LeftList(), 0);
    ClickRow(dlg.LeftList(), 1);
    QTest::mouseClick(dlg.AddButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.RightList()->GetItemCount(), 3);
    EXPECT_EQ(dlg.LeftList()->GetItemText(4, 0), QStringLiteral("5"));
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    for (int i : {0, 1, 3})
        EXPECT_EQ(host.masks[std::size_t(i)], 11) << i;
    EXPECT_EQ(host.posted, (std::vector<std::pair<int, int>>{{3, -1}}));
}

TEST(LinkDialog, JoinModeShowsOnlyTheGroupsInUse)
{
    QtTestApp();
    FakeHost host;
    host.masks = Linked({{5, 6}});
    NoBoxes boxes;
    CLink_Dlg dlg(host, boxes);
    dlg.m_nOwnOutput = 2;
    dlg.m_bCreateMode = 0;
    dlg.m_bJoinMode = 1;
    dlg.InitDialog();
    EXPECT_TRUE(dlg.AddButton()->isHidden());
    EXPECT_FALSE(dlg.GroupButton(1)->isHidden());
    for (int k = 2; k <= 5; ++k)
        EXPECT_TRUE(dlg.GroupButton(k)->isHidden()) << k;
    // OK without a move writes and posts nothing.
    dlg.OnOK();
    EXPECT_EQ(host.masks, Linked({{5, 6}}));
    EXPECT_TRUE(host.posted.empty());
}

struct EditorOnPage : ::testing::Test {
    EditorOnPage()
    {
        Reset();
        page.SetKTVData(&doc);
        page.RefreshChannel();
    }
    ~EditorOnPage() override { Reset(); }
    static void Reset()
    {
        g_nSelOutput = 0;
        ResetLinkGroupGlobals();
        for (auto &v : g_LinkGroups)
            v = 0;
        for (auto &v : g_BtlPair)
            v = 0;
        g_bDeviceOnline = 0;
    }
    struct AppFirst {
        AppFirst() { QtTestApp(); }
    } appFirst;
    CKTV_Data doc;
    CRecordingChannelSends sends;
    CQuietDeviceSync sync;
    NoBoxes boxes;
    CPageRegistry pages;
    COutputDlg page{sends, sync, boxes, pages};
};

TEST_F(EditorOnPage, ApplyTakesTheStripsMasksAsLinkValuesAndCopiesTheOwnOutputToTheGroup)
{
    // Outputs 5 and 6 were linked by the link buttons (group 1).
    ASSERT_GE(JoinNewLinkGroup(5, false), 0);
    ASSERT_GE(JoinLinkGroup(6, 1), 0);
    for (int i : {0, 1, 3})
        page.Strip(i)->SetLinkMask(11);
    page.Strip(3)->SetSelected(1);
    SendMessageTo(&page, WM_LINKDLG_APPLY, 3, LPARAM(-1));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(g_LinkGroups[std::size_t(i)].load(), i == 0 || i == 1 || i == 3 ? 11 : 1 << i) << i;
    // Output 3 was copied to 0 and 1 while the three were silent, and the group's channel buttons
    // follow 3's.
    EXPECT_EQ(sends.calls, (std::vector<std::string>{"mute 11", "copy-all 3,0", "copy-all 3,1", "unmute 11"}));
    for (int i : {0, 1, 3})
        EXPECT_EQ(page.Strip(i)->ChannelButton()->GetCheck(), 1) << i;
    // The link buttons' group of 5 and 6 is given up: no group number is left in use.
    for (int g = 0; g < 10; ++g)
        EXPECT_EQ(g_LinkGroupCount[std::size_t(g)].load(), g == 3 ? 1 : 0) << g;
    // An edit of output 0 now reaches 1 and 3 only.
    EXPECT_EQ(LinkedOutputs(0).Mask(), 0x0Au);
}

TEST_F(EditorOnPage, ApplyFromJoinModeShowsTheChannelButtonsOfTheMovedOutputsMask)
{
    for (int i : {2, 5, 6})
        page.Strip(i)->SetLinkMask(0x64);
    doc.GetOut(5)->SetGain(300);
    page.RefreshChannel();
    SendMessageTo(&page, WM_LINKDLG_APPLY, 5, 2);
    // The members other than 5 show 5's gain; the channel buttons are those of 2's mask.
    EXPECT_EQ(page.Strip(2)->GetGain(), 300);
    EXPECT_EQ(page.Strip(6)->GetGain(), 300);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->ChannelButton()->GetCheck(), i == 2 || i == 5 || i == 6 ? 1 : 0) << i;
}

TEST_F(EditorOnPage, TheLinkMenuLeavesOrDissolvesAnEditorGroup)
{
    const struct {
        int strip, command;
        std::array<int, 8> values;
    } cases[] = {
        {1, COutRoute_Dlg::IDM_LINK_LEAVE, {0x09, 0x02, 0x04, 0x09, 0x10, 0x20, 0x40, 0x80}},
        {3, COutRoute_Dlg::IDM_LINK_DISSOLVE, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}},
    };
    for (const auto &c : cases) {
        for (int i = 0; i < 8; ++i)
            page.Strip(i)->SetLinkMask(i == 0 || i == 1 || i == 3 ? 0x0B : 1 << i);
        SendMessageTo(&page, WM_LINKDLG_APPLY, 0, LPARAM(-1));
        page.Strip(c.strip)->OnLinkMenuCommand(c.command);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(page.Strip(i)->GetLinkMask(), c.values[std::size_t(i)]) << c.command << " " << i;
            EXPECT_EQ(g_LinkGroups[std::size_t(i)].load(), c.values[std::size_t(i)]) << c.command << " " << i;
        }
    }
    // The strip's menu holds the four commands.
    EXPECT_EQ(page.Strip(0)->LinkMenu()->actions().size(), 4);
}

TEST_F(EditorOnPage, TheMenusCreateCommandOpensTheEditorForTheStripsOutputAndEnterApplies)
{
    page.show();
    int rows = -1;
    QString own;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<CLink_Dlg *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        rows = dlg->LeftList()->GetItemCount();
        own = dlg->RightList()->GetItemText(0, 1);
        dlg->RightList()->setFocus();
        QTest::keyClick(dlg, Qt::Key_Return);  // unchanged: closes, writes nothing
    });
    page.Strip(6)->OnLinkMenuCommand(COutRoute_Dlg::IDM_LINK_CREATE);
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(own, QString::fromUtf8(Tr(StrId::LinkDlgChannel)).replace(QStringLiteral("%1"), QStringLiteral("7")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->GetLinkMask(), 1 << i);
}

}  // namespace
