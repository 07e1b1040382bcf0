// The output page's hidden buttons. Speaker-position buttons: which button a type has, the
// checks that follow the selection and its link group, a press that selects the output of the
// button's type, and the hiding at every load. Pair buttons: bridging two outputs and undoing it.

#include "services/PageRegistry.h"
#include "controls/BitButton.h"
#include "controls/BtnPng.h"
#include "model/KTV_Data.h"
#include "model/SpeakerType.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using NoBoxes = CAnswerNoBoxes;

void ResetOutputs()
{
    ResetOutputLinks();
    for (int i = 0; i < 8; ++i)
        SetWorkingSpeakerType(i, 0);
}

struct HiddenButtons : ::testing::Test {
    HiddenButtons()
    {
        ResetOutputs();
        page.SetKTVData(&doc);
    }
    ~HiddenButtons() override { ResetOutputs(); }
    // The types that have a checked button.
    std::vector<int> CheckedTypes() const
    {
        std::vector<int> types;
        for (int t = 1; t <= COutputDlg::kSpeakerTypes; ++t)
            if (page.SpeakerButton(t)->GetCheck())
                types.push_back(t);
        return types;
    }

    struct AppFirst {
        AppFirst() { QtTestApp(); }
    } appFirst;
    CKTV_Data doc;
    CQuietChannelSends sends;
    CQuietDeviceSync sync;
    NoBoxes boxes;
    CPageRegistry pages;
    COutputDlg page{sends, sync, boxes, pages};
};

TEST_F(HiddenButtons, EachTypeChecksItsOwnButtonAndOtherTypesNone)
{
    const struct {
        int type, id;
    } cases[] = {{1, 4605}, {7, 4611}, {13, 4616}, {19, 4601}, {20, 4600}, {22, 4621}, {24, 4623}, {0, 0}, {25, 0}, {-1, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(COutputDlg::SpeakerButtonId(c.type), c.id) << c.type;
        page.CheckSpeakerButton(c.type, true);
        const std::vector<int> expected = c.id ? std::vector<int>{c.type} : std::vector<int>{};
        EXPECT_EQ(CheckedTypes(), expected) << c.type;
        if (c.id) {
            EXPECT_EQ(page.Control(c.id), page.SpeakerButton(c.type)) << c.type;
            EXPECT_EQ(COutputDlg::SpeakerTypeOfButton(c.id), c.type);
        }
        page.CheckSpeakerButton(c.type, false);
    }
    EXPECT_TRUE(CheckedTypes().empty());
}

TEST_F(HiddenButtons, RefreshChecksTheLinkedOutputsAndALoadHidesAndUnchecksAll)
{
    // Outputs 0, 1 and 3 in one group; output 3 has no type, output 2 is alone.
    SetWorkingSpeakerType(0, SPK_FL_TWEETER);
    SetWorkingSpeakerType(1, SPK_FR_TWEETER);
    SetWorkingSpeakerType(2, SPK_L_SUBWOOFER);
    g_LinkGroups[0] = g_LinkGroups[1] = g_LinkGroups[3] = 2;
    page.RefreshChannel();
    EXPECT_EQ(CheckedTypes(), std::vector<int>{SPK_FR_TWEETER}) << "the selected output's own button is not checked";

    page.LoadChannelRecords();
    EXPECT_TRUE(CheckedTypes().empty());
    for (int t = 1; t <= COutputDlg::kSpeakerTypes; ++t)
        EXPECT_TRUE(page.SpeakerButton(t)->isHidden()) << t;
}

TEST_F(HiddenButtons, APressSelectsTheOutputOfItsType)
{
    SetWorkingSpeakerType(0, SPK_FL_TWEETER);
    SetWorkingSpeakerType(1, SPK_FR_TWEETER);
    SetWorkingSpeakerType(2, SPK_L_SUBWOOFER);
    g_LinkGroups[0] = g_LinkGroups[1] = 2;
    page.LoadChannelRecords();  // each button learns the output of its type
    page.CheckSpeakerButton(SPK_FL_TWEETER, true);
    page.CheckLinkedSpeakerButtons(0);
    ASSERT_EQ(CheckedTypes(), (std::vector<int>{SPK_FL_TWEETER, SPK_FR_TWEETER}));

    // A click reaches the page as the button's command: output 2 is selected, and the buttons of
    // output 0 and its group give way to output 2's.
    page.SpeakerButton(SPK_L_SUBWOOFER)->click();
    EXPECT_EQ(g_nSelOutput.load(), 2);
    EXPECT_EQ(CheckedTypes(), std::vector<int>{SPK_L_SUBWOOFER});
    EXPECT_EQ(page.Strip(2)->GetSelectedFlag(), 1);

    // The checked button of the selected output, and a type no output has, change nothing.
    page.OnSpeakerButton(SPK_L_SUBWOOFER);
    page.OnSpeakerButton(SPK_C_FULL);
    page.OnSpeakerButton(0);
    EXPECT_EQ(g_nSelOutput.load(), 2);
    EXPECT_EQ(CheckedTypes(), std::vector<int>{SPK_L_SUBWOOFER});

    // Back to output 1, whose group's other member gets its button checked by the refresh.
    page.OnSpeakerButton(SPK_FR_TWEETER);
    EXPECT_EQ(g_nSelOutput.load(), 1);
    EXPECT_EQ(CheckedTypes(), (std::vector<int>{SPK_FL_TWEETER, SPK_FR_TWEETER}));
}

TEST_F(HiddenButtons, PairButtonBridgesTwoOutputsAndASecondPressUndoesIt)
{
    g_nSelOutput = 3;
    page.Strip(3)->SetSelected(1);
    page.Strip(2)->LinkButton()->SetCheck(1);
    // Button 4700 is pair 1: outputs 2 and 3. The pair answers to output 2; strip 3 goes.
    SendMessageTo(&page, WM_COMMAND, MAKEWPARAM(4700, 0), 0);
    EXPECT_EQ(g_BtlPair[2].load(), 1);
    EXPECT_EQ(g_BtlPair[3].load(), 1);
    EXPECT_EQ(g_nSelOutput.load(), 2);
    EXPECT_TRUE(page.Strip(3)->isHidden());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->ChannelButton()->GetCheck(), i == 2 ? 1 : 0) << i;
    EXPECT_EQ(page.Strip(2)->LinkButton()->GetCheck(), 0);
    EXPECT_EQ(page.PairButton(1)->GetCheck(), 1);

    page.OnPairButton(1);
    EXPECT_EQ(g_BtlPair[2].load(), 0);
    EXPECT_EQ(g_BtlPair[3].load(), 0);
    EXPECT_FALSE(page.Strip(3)->isHidden());
    EXPECT_EQ(page.PairButton(1)->GetCheck(), 0);
    EXPECT_EQ(g_nSelOutput.load(), 2);

    // The fifth button has no outputs: nothing changes, not even its check.
    page.OnPairButton(4);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(g_BtlPair[std::size_t(i)].load(), 0) << i;
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(page.Strip(i)->isHidden()) << i;
    EXPECT_EQ(page.PairButton(4)->GetCheck(), 0);
    EXPECT_EQ(g_nSelOutput.load(), 2);
}

}  // namespace
