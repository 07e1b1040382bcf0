// The output page as a whole: made, registered and withdrawn, its controls at their places, the
// keyboard walk, the crossover column driven by typing and picking, the language switch, and the
// link badge rule.

#include "services/PageRegistry.h"
#include "services/Services.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/ComBoxBtn.h"
#include "controls/CtrlMessages.h"
#include "controls/DELAC.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SpeakerTypeMenu.h"
#include "controls/XPButton.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/output/CFStatic.h"
#include "panels/output/OutputDlg.h"
#include "panels/output/LinkButtonLogic.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/GainDlg.h"
#include "panels/output/Changnal_Line.h"
#include "model/LinkGroups.h"
#include "panels/output/OutputKeyNav.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using FakeSends = CQuietChannelSends;

using FakeSync = CQuietDeviceSync;

using NoBoxes = CAnswerNoBoxes;

void ResetLinkTables()
{
    ResetOutputLinks();
    for (auto &v : g_ChannelModified)
        v = 0;
    g_bDeviceOnline = 0;
}

struct PageRig : ::testing::Test {
    PageRig()
    {
        ResetLinkTables();
        page.SetKTVData(&doc);
        page.LoadChannelRecords();
        other = new QLineEdit(&page);
        other->setGeometry(1100, 620, 60, 20);
        page.show();
        page.activateWindow();
        (void)QTest::qWaitForWindowActive(&page);
    }
    ~PageRig() override
    {
        SetUiLanguage(false);
        ResetLinkTables();
    }
    // Types into an edit and moves the focus away, which commits the text.
    void Type(CNumEdit *edit, const char *text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        other->setFocus();
        QCoreApplication::processEvents();
    }
    // Picks an item of a crossover list as the drop-down reports a pick.
    void Pick(CComBoxBtn *list, int notifyId, int index)
    {
        list->SetCurSel(index);
        SendMessageTo(&page, WM_COMBOXBTN_SELECT, WPARAM(notifyId), LPARAM(index));
    }
    CKTV_OutData &Out(int i) { return *doc.GetOut(i); }

    // The application object and the program's fonts exist before the page member is made.
    struct AppFirst {
        AppFirst()
        {
            QtTestApp();
            InitQtGlobals();
        }
    } appFirst;
    CKTV_Data doc;
    FakeSends sends;
    FakeSync sync;
    NoBoxes boxes;
    CPageRegistry pages;
    COutputDlg page{sends, sync, boxes, pages};
    QLineEdit *other = nullptr;
};

TEST(OutputPageLife, RegistersWhileItLivesAndHasThePageSize)
{
    QtTestApp();
    FakeSends sends;
    FakeSync sync;
    NoBoxes boxes;
    CPageRegistry pages;
    {
        COutputDlg page(sends, sync, boxes, pages);
        EXPECT_EQ(pages.OutputPage(), &page);
        EXPECT_EQ(page.size(), QSize(1200, 664));
    }
    EXPECT_EQ(pages.OutputPage(), nullptr);
    pages.RefreshOutputEq();  // finds no page and does nothing
}

TEST_F(PageRig, ControlsSitAtTheirPixelPlaces)
{
    EXPECT_EQ(COutputDlg::StripRect(0), QRect(118, 413, 119, 254));
    EXPECT_EQ(COutputDlg::StripRect(1).left(), 254);  // trunc(254.5)
    EXPECT_EQ(COutputDlg::StripRect(7).left(), 1073);  // trunc(1073.5)
    EXPECT_EQ(page.DelayUnitSelector()->pos(), QPoint(6, 371));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->geometry(), COutputDlg::StripRect(i)) << i;
    EXPECT_EQ(page.MasterStrip()->pos(), QPoint(3, 440));
    EXPECT_EQ(page.OverlaySelector()->pos(), QPoint(1160, 6));
    // The graph lies between the crossover column and the overlay selector, above the band rows.
    const QRect graph = COutputDlg::GraphRect();
    EXPECT_LT(page.HpfFamilyList()->geometry().right(), graph.left());
    EXPECT_LT(graph.right(), COutputDlg::OverlaySelectorRect().left());
    EXPECT_LT(graph.bottom(), page.BandLabel(0)->geometry().top());
    // Band columns keep the template's order top to bottom and never overlap their neighbours.
    for (int i = 0; i < COutputDlg::kBands; ++i) {
        const QRect f = page.FreqEdit(i)->geometry(), q = page.QEdit(i)->geometry(), g = page.GainEdit(i)->geometry();
        EXPECT_LT(f.bottom(), q.top());
        EXPECT_LT(q.bottom(), g.top());
        EXPECT_LT(g.bottom(), page.BandSlider(i)->geometry().top());
        EXPECT_LT(page.BandSlider(i)->geometry().bottom(), page.BypassButton(i)->geometry().top());
        EXPECT_LT(page.BypassButton(i)->geometry().bottom(), COutputDlg::StripRect(0).top());
        if (i > 0) {
            EXPECT_LT(page.FreqEdit(i - 1)->geometry().right(), f.left());
        }
    }
    for (QWidget *w : {static_cast<QWidget *>(page.EqModeButton()), static_cast<QWidget *>(page.AllBypassButton()),
                       static_cast<QWidget *>(page.ResetButton())}) {
        EXPECT_TRUE(QRect(0, 0, 1200, 413).contains(w->geometry())) << GetCtrlId(w);
        EXPECT_LT(page.FreqEdit(30)->geometry().right(), w->geometry().left());
    }
}

TEST_F(PageRig, EachBypassButtonStandsUnderItsBandsSlider)
{
    // The buttons take their skins' size at the latest when they are painted: wait for that, then
    // the button under each slider's centre must be that band's own.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const auto painted = [this] {
        for (int i = 0; i < COutputDlg::kBands; ++i) {
            const CXPButton *b = page.BypassButton(i);
            if (b->size() != Skins::NaturalSize(SkinType::Bitmap, b->CurrentBitmap()))
                return false;
        }
        return true;
    };
    ASSERT_TRUE(WaitUntil(painted, 5000));
    for (int i = 0; i < COutputDlg::kBands; ++i) {
        const QRect slider = page.BandSlider(i)->geometry(), button = page.BypassButton(i)->geometry();
        EXPECT_LE(std::abs(button.center().x() - slider.center().x()), 1) << "band " << i;
        EXPECT_EQ(page.childAt(slider.center().x(), button.center().y()), page.BypassButton(i)) << "band " << i;
    }
}

TEST_F(PageRig, EveryValueOfTheBandRowsShowsWholeInItsField)
{
    // Frequencies 20..20000 Hz: the widest in any face is a 1 followed by four of one digit, or
    // 20000. Q indexes and gain codes: their whole ranges.
    std::vector<int> frequencies = {20, 20000};
    for (int d = 0; d <= 9; ++d) {
        frequencies.push_back(10000 + 1111 * d);
        if (d > 0)
            frequencies.push_back(1111 * d);
    }
    const auto range = [](int from, int to) {
        std::vector<int> v;
        for (int x = from; x <= to; ++x)
            v.push_back(x);
        return v;
    };
    const std::vector<int> qs = range(0, 295), gains = range(80, 320);
    struct Field {
        CNumEdit *edit;
        CNumSpin *spin;
        const std::vector<int> &values;
    };
    std::vector<Field> fields = {{page.HpfFreqEdit(), page.HpfFreqSpin(), frequencies},
                                 {page.LpfFreqEdit(), page.LpfFreqSpin(), frequencies}};
    for (int i = 0; i < COutputDlg::kBands; ++i) {
        fields.push_back({page.FreqEdit(i), page.FreqSpin(i), frequencies});
        fields.push_back({page.QEdit(i), page.QSpin(i), qs});
        fields.push_back({page.GainEdit(i), page.GainSpin(i), gains});
    }
    for (bool chinese : {false, true}) {
        SetUiLanguage(chinese);
        for (const Field &f : fields) {
            const QFontMetricsF metrics(f.edit->font());
            for (int v : f.values) {
                f.spin->SetPos(v);
                const QString shown = f.edit->text();
                EXPECT_LE(std::ceil(metrics.horizontalAdvance(shown)), f.edit->TextRoom())
                    << '"' << shown.toStdString() << "\" in field " << GetCtrlId(f.edit) << (chinese ? " (zh)" : " (en)");
            }
        }
    }
}

TEST_F(PageRig, RefreshShowsTheSelectedOutputsRecords)
{
    Out(2).GetBand(4)->SetFreq(1234, 1);
    Out(2).GetBand(4)->SetZero(0);
    Out(2).GetBand(4)->SetGainCode(260);
    Out(2).GetHpf()->SetFreq(80, 1);
    Out(2).GetLpf()->SetSlope(CFilter::kSlopeOff, 1);
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 2, 0);
    EXPECT_EQ(g_nSelOutput.load(), 2);
    EXPECT_EQ(page.FreqSpin(4)->GetPos(), 1234);
    EXPECT_EQ(page.GainSpin(4)->GetPos(), 260);
    EXPECT_EQ(page.BypassButton(4)->GetCheck(), 0);
    EXPECT_EQ(page.HpfFreqSpin()->GetPos(), 80);
    EXPECT_EQ(page.LpfSlopeList()->GetCurSel(), CFilter::kSlopeOff);
    // A bypassed band shows 0 dB and keeps its gain.
    Out(2).GetBand(4)->SetZero(1);
    page.RefreshEQ();
    EXPECT_EQ(page.BypassButton(4)->GetCheck(), 1);
    EXPECT_EQ(page.GainSpin(4)->GetPos(), 200);
    EXPECT_EQ(Out(2).GetBand(4)->GetGainCode(), 200);  // reads neutral while bypassed
    Out(2).GetBand(4)->SetZero(0);
    EXPECT_EQ(Out(2).GetBand(4)->GetGainCode(), 260);
}

TEST_F(PageRig, OutputIndexesFromMessagesAreChecked)
{
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 3, 0);
    for (WPARAM bad : {WPARAM(8), WPARAM(-1), WPARAM(1000)}) {
        SendMessageTo(&page, WM_OUTSTRIP_SELECT, bad, 0);
        EXPECT_EQ(g_nSelOutput.load(), 3);
    }
    SendMessageTo(&page, WM_CURVE_BAND_CHANGED, 77, 0);  // no such graph item: nothing happens
    SendMessageTo(&page, WM_COMBOXBTN_SELECT, 4242, 1);
    EXPECT_EQ(g_ChannelModified[3].load(), 0);
}

// ---- the keyboard walk ----------------------------------------------------------------------------

TEST(OutputKeyWalk, TableOfSteps)
{
    using outkeys::Step;
    constexpr int L = outkeys::kLeft, R = outkeys::kRight;
    const struct {
        int key, id;
        bool geq;
        Step step;
    } cases[] = {
        {R, 4002, false, {1004, -1, 31}},
        {R, 1004, true, {1005, -1, 32}},
        {R, 1005, false, {5200, -1, -1}},
        {R, 1005, true, {5000, -1, -1}},
        {R, 5199, false, {5200, 0, -1}},  // Tab with nothing focused starts at band 1
        {R, 5215, false, {5216, 16, -1}},
        {R, 5230, false, {4500, 0, -1}},
        {R, 4500, false, {4501, 1, -1}},
        {R, 4530, false, {5000, 0, -1}},
        {R, 4999, true, {5000, 0, -1}},
        {R, 5029, false, {5030, 30, -1}},
        {R, 5030, true, {outkeys::kMasterVolumeEdit, -1, -1}},
        {R, 5210, true, {}},  // GEQ skips the frequency column
        {R, 4510, true, {}},
        {L, 4002, false, {5030, 30, -1}},
        {L, 1004, false, {outkeys::kLastStripDelayEdit, -1, -1}},
        {L, 1005, true, {1004, -1, 31}},
        {L, 5200, false, {1005, -1, -1}},
        {L, 5201, false, {5200, 0, -1}},
        {L, 4500, false, {5230, 30, -1}},
        {L, 4530, false, {4529, 29, -1}},
        {L, 5000, false, {4530, 30, -1}},
        {L, 5000, true, {1005, -1, -1}},
        {L, 5030, true, {5029, 29, -1}},
        {13, 5000, false, {}},  // other keys do nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(outkeys::KeyStep(c.key, c.id, c.geq), c.step) << c.key << " " << c.id << " " << c.geq;
}

TEST(OutputKeyWalk, EnterWalksDownAColumnInPeq)
{
    using outkeys::Step;
    EXPECT_EQ(outkeys::EnterStep(5203, false), (Step{4503, 3, -1}));
    EXPECT_EQ(outkeys::EnterStep(4503, false), (Step{5003, 3, -1}));
    EXPECT_EQ(outkeys::EnterStep(5003, false), (Step{5204, 4, -1}));
    // The last gain edit and the crossover edits step as Right.
    EXPECT_EQ(outkeys::EnterStep(5030, false), (Step{outkeys::kMasterVolumeEdit, -1, -1}));
    EXPECT_EQ(outkeys::EnterStep(1004, false), (Step{1005, -1, 32}));
}

TEST_F(PageRig, KeysMoveTheFocusAndNeverLeaveThePage)
{
    // PEQ: Enter in a frequency edit goes to the band's Q edit and turns its label red.
    page.FreqEdit(5)->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(page.FreqEdit(5), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return page.QEdit(5)->hasFocus(); }, 1000));
    EXPECT_EQ(page.HighlightedLabel(), page.BandLabel(5));
    // Tab is a step to the right, never the tab order.
    QTest::keyClick(page.QEdit(5), Qt::Key_Tab);
    EXPECT_TRUE(WaitUntil([&] { return page.QEdit(6)->hasFocus(); }, 1000));
    // Escape gives the focus to the page itself; the page stays shown.
    QTest::keyClick(page.QEdit(6), Qt::Key_Escape);
    EXPECT_TRUE(WaitUntil([&] { return page.hasFocus(); }, 1000));
    EXPECT_TRUE(page.isVisible());
    // FocusFirstBand from outside the edits starts at the first frequency edit.
    page.FocusFirstBand();
    EXPECT_TRUE(WaitUntil([&] { return page.FreqEdit(0)->hasFocus(); }, 1000));
    EXPECT_EQ(page.HighlightedLabel(), page.BandLabel(0));
}

TEST_F(PageRig, EnterInGeqStepsRight)
{
    Out(0).SetEqMode(1);
    page.RefreshEQ();
    EXPECT_FALSE(page.FreqEdit(0)->isEnabled());
    page.GainEdit(3)->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(page.GainEdit(3), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return page.GainEdit(4)->hasFocus(); }, 1000));
}

// ---- crossovers -----------------------------------------------------------------------------------

TEST_F(PageRig, CrossoverFrequenciesNeverCross)
{
    Out(0).GetHpf()->SetFreq(100, 1);
    Out(0).GetLpf()->SetFreq(5000, 1);
    page.RefreshChannel();
    Type(page.HpfFreqEdit(), "8000");
    EXPECT_EQ(Out(0).GetHpf()->GetFreq(), 5000);
    EXPECT_EQ(page.HpfFreqSpin()->GetPos(), 5000);
    EXPECT_EQ(g_ChannelModified[0].load(), 1);
    Type(page.LpfFreqEdit(), "60");
    EXPECT_EQ(Out(0).GetLpf()->GetFreq(), 5000);  // below the high-pass: the high-pass's frequency
    Type(page.HpfFreqEdit(), "250");
    Type(page.LpfFreqEdit(), "3000");
    EXPECT_EQ(Out(0).GetHpf()->GetFreq(), 250);
    EXPECT_EQ(Out(0).GetLpf()->GetFreq(), 3000);
}

TEST_F(PageRig, ListPicksSetFamilyAndSlope)
{
    Pick(page.HpfSlopeList(), COutputDlg::NID_HPF_SLOPE, 8);
    EXPECT_EQ(Out(0).GetHpf()->GetSlope(), CFilter::kSlopeOff);
    Pick(page.LpfFamilyList(), COutputDlg::NID_LPF_FAMILY, CFilter::kFamilyBessel);
    EXPECT_EQ(Out(0).GetLpf()->GetFamily(), CFilter::kFamilyBessel);
    // Picking what is set changes nothing but still counts as an edit of the output.
    g_ChannelModified[0] = 0;
    const int changed = Out(0).GetLpf()->GetChanged();
    Pick(page.LpfFamilyList(), COutputDlg::NID_LPF_FAMILY, CFilter::kFamilyBessel);
    EXPECT_EQ(Out(0).GetLpf()->GetChanged(), changed);
    EXPECT_EQ(g_ChannelModified[0].load(), 1);
}

TEST_F(PageRig, LinkedOutputsAndPartnersFollowCrossoverEdits)
{
    // Outputs 1, 3 and 5 linked; output 5 is bridged with 6; output 3 selected.
    for (int i : {1, 3, 5})
        g_LinkGroups[i] = 2;
    g_BtlPair[4] = g_BtlPair[5] = 1;  // 4 and 5 are the pair: 4's partner is 5
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 3, 0);
    Pick(page.HpfFamilyList(), COutputDlg::NID_HPF_FAMILY, CFilter::kFamilyButterworth);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Out(i).GetHpf()->GetFamily() == CFilter::kFamilyButterworth, i == 1 || i == 3 || i == 5) << i;
    // A pair's second member (odd) never passes the edit on to the next output.
    ResetLinkTables();
    g_BtlPair[7] = 1;
    g_LinkGroups[6] = g_LinkGroups[7] = 4;
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 6, 0);
    Pick(page.LpfSlopeList(), COutputDlg::NID_LPF_SLOPE, 5);
    EXPECT_EQ(Out(7).GetLpf()->GetSlope(), 5);
    EXPECT_NE(Out(5).GetLpf()->GetSlope(), 5);
}

// ---- language and skins ---------------------------------------------------------------------------

TEST_F(PageRig, LanguageSwitchKeepsSelectionsAndRenamesTheLists)
{
    Pick(page.HpfFamilyList(), COutputDlg::NID_HPF_FAMILY, 1);
    Pick(page.LpfSlopeList(), COutputDlg::NID_LPF_SLOPE, 8);
    page.DelayUnitSelector()->OnCm();
    SetUiLanguage(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(page.HpfFamilyList()->GetCurSel(), 1);
    EXPECT_EQ(page.LpfSlopeList()->GetCurSel(), 8);
    EXPECT_EQ(page.HpfFamilyList()->text(), QString::fromUtf8("巴特沃斯"));
    EXPECT_EQ(page.LpfSlopeList()->text(), QString::fromUtf8("关闭"));
    EXPECT_EQ(page.DelayUnitSelector()->Button(CDELAC::IDC_CM)->GetCheck(), 1);
    EXPECT_EQ(page.EqModeButton()->CurrentBitmap(), 744);
    SetUiLanguage(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(page.LpfSlopeList()->text(), QStringLiteral("OFF"));
    EXPECT_EQ(page.EqModeButton()->CurrentBitmap(), 740);
}

TEST_F(PageRig, LanguageSwitchLoadsTheSpeakerTypeMenuOfTheLanguage)
{
    // As the start-up leaves it: the Chinese menu, whatever the language.
    g_menuSpeakerType.LoadMenu(CSpeakerTypeMenu::IDR_CHINESE);
    page.SwitchLanguage();
    EXPECT_EQ(g_menuSpeakerType.MenuId(), CSpeakerTypeMenu::IDR_ENGLISH);
    ASSERT_EQ(g_menuSpeakerType.Menu()->actions().size(), 25);
    EXPECT_EQ(g_menuSpeakerType.Item(4100)->text(), QStringLiteral("NULL"));
    EXPECT_EQ(g_menuSpeakerType.Item(4104)->text(), QStringLiteral("FL-M && T"));
    EXPECT_EQ(g_menuSpeakerType.Item(4124)->text(), QStringLiteral("Subwoofer"));
    EXPECT_EQ(g_menuSpeakerType.Item(4125), nullptr);
    SetUiLanguage(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(g_menuSpeakerType.MenuId(), CSpeakerTypeMenu::IDR_CHINESE);
    EXPECT_EQ(g_menuSpeakerType.Item(4101)->text(), QString::fromUtf8("前置左高频"));
    EXPECT_EQ(g_menuSpeakerType.Menu()->actions().size(), 25) << "the old items went with the old menu";
    EXPECT_FALSE(g_menuSpeakerType.LoadMenu(108));
    EXPECT_EQ(g_menuSpeakerType.Menu(), nullptr);
}

TEST_F(PageRig, StripLinkButtonsShowTheGroupBadgeOnlyForGroupNumbers)
{
    const struct {
        int value, bitmap;
    } cases[] = {{3, CLinkButtonLogic::kBadgesEnglish[2]}, {10, CLinkButtonLogic::kBadgesEnglish[9]},
                 {0, 892}, {11, 892}, {0x3F, 892}, {-1, 892}};
    for (const auto &c : cases) {
        g_LinkGroups[1] = c.value;
        page.SwitchLanguage();
        page.Strip(1)->LinkButton()->SetCheck(1);
        EXPECT_EQ(page.Strip(1)->LinkButton()->CurrentBitmap(), c.bitmap) << c.value;
    }
}

TEST_F(PageRig, SelectingAGroupMemberSelectsTheWholeGroup)
{
    g_LinkGroups[1] = g_LinkGroups[4] = 2;
    g_LinkGroups[5] = g_LinkGroups[6] = 7;
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 4, 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->ChannelButton()->GetCheck(), i == 1 || i == 4 ? 1 : 0) << i;
    // The other group: the first is unmarked, the new one marked; a checked link button makes the
    // selected output the link anchor.
    page.Strip(6)->LinkButton()->SetCheck(1);
    SendMessageTo(&page, WM_OUTSTRIP_SELECT, 6, 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->ChannelButton()->GetCheck(), i == 5 || i == 6 ? 1 : 0) << i;
    EXPECT_EQ(g_nLinkAnchorChannel.load(), 6);
    EXPECT_EQ(g_nLinkAnchorGroup.load(), 6);
    EXPECT_EQ(g_nSelOutput.load(), 6);
    g_bLinkAnchor = 0;
    g_nLinkAnchorChannel = g_nLinkAnchorGroup = -1;
}

}  // namespace
