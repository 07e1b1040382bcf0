// The output strip as the user drives it: clicks, typed values, the fader, the keys between
// strips, and the page's setters, with a page that records what the strips post.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "services/Services.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutStripMessages.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "tests/controls/CtrlTestKit.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/ServiceDoubles.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <array>
#include <memory>

namespace {

using NullSync = CQuietDeviceSync;

// The strips, the master volume strip and the page's high-pass and last band gain edits, placed
// as the output page places them.
class StripPage : public ::testing::Test {
protected:
    StripPage()
    {
        ResetDeviceImageGlobals();
        g_bChinese.store(1);
        page.resize(1200, 680);
        master = new CGainDlg(sync, &page);
        master->move(3, 440);
        for (int i = 0; i < 8; ++i) {
            strips[i] = new COutRoute_Dlg(&page, i);
            strips[i]->setGeometry(int(118 + 136.5 * i), 413, 119, 254);
        }
        highPass = new CNumEdit(&page);
        SetCtrlId(highPass, 1004);
        highPass->setGeometry(40, 60, 60, 18);
        lastBand = new CNumEdit(&page);
        SetCtrlId(lastBand, 5030);
        lastBand->setGeometry(900, 200, 40, 18);
        page.show();
        page.activateWindow();
        (void)QTest::qWaitForWindowActive(&page);
        page.Clear();
    }
    ~StripPage() override
    {
        ResetDeviceImageGlobals();
        g_bChinese.store(0);
    }

    COutRoute_Dlg &S(int i) { return *strips[static_cast<std::size_t>(i)]; }
    static RecordedMessage M(unsigned msg, int channel, LPARAM value) { return {msg, WPARAM(channel), value}; }
    // Types a value and presses Enter, which moves the focus on and so commits the value; the
    // messages of one number once they have arrived.
    std::vector<RecordedMessage> Type(CNumEdit *e, const char *text, unsigned msg)
    {
        e->setFocus();
        QCoreApplication::processEvents();
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(text));
        QTest::keyClick(e, Qt::Key_Return);
        WaitUntil([&] { return !page.Of(msg).empty(); }, 1000);
        return page.Of(msg);
    }

    RecordingPage page;
    NullSync sync;
    CGainDlg *master = nullptr;
    std::array<COutRoute_Dlg *, 8> strips{};
    CNumEdit *highPass = nullptr;
    CNumEdit *lastBand = nullptr;
};

TEST_F(StripPage, ButtonsPostTheirNewStateToThePage)
{
    COutRoute_Dlg &s = S(2);
    QTest::mouseClick(s.MuteButton(), Qt::LeftButton);
    QTest::mouseClick(s.MuteButton(), Qt::LeftButton);
    EXPECT_EQ(page.Of(WM_OUTSTRIP_MUTE), (std::vector{M(WM_OUTSTRIP_MUTE, 2, 0), M(WM_OUTSTRIP_MUTE, 2, 1)}));

    QTest::mouseClick(s.PhaseButton(), Qt::LeftButton);
    EXPECT_EQ(page.Of(WM_OUTSTRIP_PHASE), std::vector{M(WM_OUTSTRIP_PHASE, 2, 1)});
    EXPECT_EQ(s.PhaseButton()->CurrentBitmap(), 4383) << "inverted, Chinese words";

    QTest::mouseClick(s.ChannelButton(), Qt::LeftButton);
    EXPECT_EQ(page.Of(WM_OUTSTRIP_SELECT), std::vector{M(WM_OUTSTRIP_SELECT, 2, 0)});
    EXPECT_EQ(s.ChannelButton()->GetCheck(), 0) << "the page decides the selection";
}

TEST_F(StripPage, RoutingTogglesPostTheirOwnNumberAndThirdAndFourthExcludeEachOther)
{
    COutRoute_Dlg &s = S(5);
    QTest::mouseClick(s.RouteButton(1), Qt::LeftButton);
    QTest::mouseClick(s.RouteButton(2), Qt::LeftButton);
    QTest::mouseClick(s.RouteButton(3), Qt::LeftButton);
    EXPECT_EQ(page.Of(WM_USER + 209), std::vector{M(WM_USER + 209, 5, 1)});
    EXPECT_EQ(page.Of(WM_USER + 210), std::vector{M(WM_USER + 210, 5, 1)});
    EXPECT_EQ(page.Of(WM_USER + 211), std::vector{M(WM_USER + 211, 5, 1)});
    EXPECT_FALSE(s.RouteButton(4)->isEnabled());
    EXPECT_EQ(s.RouteButton(4)->CurrentBitmap(), 1048);

    // The page's refresh follows the same rule, and turning toggle 3 off frees toggle 4.
    page.Clear();
    s.SetRoute(3, 0);
    EXPECT_TRUE(s.RouteButton(4)->isEnabled());
    s.SetRoute(4, 1);
    EXPECT_FALSE(s.RouteButton(3)->isEnabled());
    EXPECT_TRUE(page.Numbers().empty()) << "setters post nothing";
}

TEST_F(StripPage, TypedGainMovesTheFaderAndReachesThePage)
{
    COutRoute_Dlg &s = S(0);
    const auto gains = Type(s.GainEdit(), "-12", WM_OUTSTRIP_GAIN);
    ASSERT_FALSE(gains.empty());
    EXPECT_EQ(gains.back(), M(WM_OUTSTRIP_GAIN, 0, 480));
    EXPECT_TRUE(S(1).GainEdit()->hasFocus()) << "Enter moves on to the next strip";
    EXPECT_EQ(s.Fader()->GetInvertedPos(), 480);
    EXPECT_EQ(g_ChannelModified[0].load(), 1);
}

TEST_F(StripPage, FaderStepsPostTheGainAndHandTheFocusToTheEdit)
{
    COutRoute_Dlg &s = S(4);
    s.SetGain(300);
    s.Fader()->setFocus();
    QTest::keyClick(s.Fader(), Qt::Key_Up);
    WaitUntil([&] { return !page.Of(WM_OUTSTRIP_GAIN).empty(); }, 1000);
    const auto gains = page.Of(WM_OUTSTRIP_GAIN);
    ASSERT_FALSE(gains.empty());
    EXPECT_GT(gains.back().lParam, 300);
    EXPECT_EQ(gains.back().lParam, s.Fader()->GetInvertedPos());
    EXPECT_EQ(s.GainSpin()->GetPos(), s.Fader()->GetInvertedPos());
    EXPECT_TRUE(WaitUntil([&] { return s.GainEdit()->hasFocus(); }, 1000));

    // While dragging the stream of changes keeps the focus where it is.
    page.Clear();
    s.Fader()->setFocus();
    s.Fader()->SetInvertedPos(100);
    SendMessageTo(&s, WM_SLIDER_POS_CHANGING, COutRoute_Dlg::IDC_FADER, s.Fader()->GetPos());
    WaitUntil([&] { return !page.Of(WM_OUTSTRIP_GAIN).empty(); }, 1000);
    EXPECT_EQ(page.Of(WM_OUTSTRIP_GAIN).back(), M(WM_OUTSTRIP_GAIN, 4, 100));
    EXPECT_TRUE(s.Fader()->hasFocus());
}

TEST_F(StripPage, DelayCommitsInStepsAndTheUnitOnlyChangesTheText)
{
    COutRoute_Dlg &s = S(1);
    s.SetDelay(480);  // 10 ms
    const QString ms = s.DelayEdit()->text();
    s.SetDelayUnit(2);
    EXPECT_NE(s.DelayEdit()->text(), ms);
    EXPECT_EQ(s.DelaySpin()->GetPos(), 480);
    s.SetDelayUnit(7);  // not a unit: nothing changes
    EXPECT_EQ(s.DelayEdit()->GetType(), 1);

    s.SetDelayUnit(1);
    const auto delays = Type(s.DelayEdit(), "5", WM_OUTSTRIP_DELAY);
    ASSERT_FALSE(delays.empty());
    EXPECT_EQ(delays.back(), M(WM_OUTSTRIP_DELAY, 1, 240));
}

TEST_F(StripPage, KeysMoveAlongTheStripsAsTheTableSays)
{
    struct Row {
        int strip;
        bool gain;
        Qt::Key key;
        std::function<QWidget *()> target;
    };
    const Row rows[] = {
        {3, true, Qt::Key_Right, [&] { return S(4).GainEdit(); }},
        {3, true, Qt::Key_Left, [&] { return S(2).GainEdit(); }},
        {7, true, Qt::Key_Tab, [&] { return S(0).DelayEdit(); }},
        {0, true, Qt::Key_Left, [&] { return master->VolumeEdit(); }},
        {0, false, Qt::Key_Left, [&] { return S(7).GainEdit(); }},
        {5, false, Qt::Key_Return, [&] { return S(6).DelayEdit(); }},
        {7, false, Qt::Key_Right, [&] { return static_cast<QWidget *>(highPass); }},
    };
    for (const Row &r : rows) {
        CNumEdit *from = r.gain ? S(r.strip).GainEdit() : S(r.strip).DelayEdit();
        from->setFocus();
        ASSERT_TRUE(WaitUntil([&] { return from->hasFocus(); }, 1000));
        QTest::keyClick(from, r.key);
        QWidget *to = r.target();
        EXPECT_TRUE(WaitUntil([&] { return to->hasFocus(); }, 1000)) << "strip " << r.strip << " key " << r.key;
    }
}

TEST_F(StripPage, MasterVolumeEditLeadsToTheFirstStripAndTheLastBand)
{
    master->VolumeEdit()->setFocus();
    QTest::keyClick(master->VolumeEdit(), Qt::Key_Right);
    EXPECT_TRUE(WaitUntil([&] { return S(0).GainEdit()->hasFocus(); }, 1000));
    master->VolumeEdit()->setFocus();
    QTest::keyClick(master->VolumeEdit(), Qt::Key_Left);
    EXPECT_TRUE(WaitUntil([&] { return lastBand->hasFocus(); }, 1000));
}

TEST_F(StripPage, RefreshSettersPostNothingAndClampWithoutABox)
{
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    COutRoute_Dlg &s = S(6);
    s.SetGain(900);
    s.SetDelay(-40);
    s.SetMute(0);
    s.SetPhase(1);
    s.SetRoute(2, 1);
    s.SetRoute(0, 1);
    s.SetRoute(13, 1);
    s.SetSelected(1);
    s.SetLanguage(0);
    EXPECT_EQ(s.GainSpin()->GetPos(), 600);
    EXPECT_EQ(s.Fader()->GetInvertedPos(), 600);
    EXPECT_EQ(s.DelaySpin()->GetPos(), 0);
    EXPECT_EQ(s.MuteButton()->CurrentBitmap(), 528);
    EXPECT_EQ(s.PhaseButton()->CurrentBitmap(), 4373) << "English polarity look";
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(page.Numbers().empty());

    s.SetPhaseNotify(0);
    EXPECT_EQ(page.Of(WM_OUTSTRIP_PHASE), std::vector{M(WM_OUTSTRIP_PHASE, 6, 0)});
}

TEST_F(StripPage, OnlyTheSelectedOutputsStripIsOutlinedInRed)
{
    g_nSelOutput.store(2);
    const QColor red(238, 49, 64);
    for (int i : {1, 2, 3}) {
        const QImage img = S(i).grab().toImage();
        EXPECT_EQ(img.pixelColor(0, 120) == red, i == 2) << "strip " << i;
        EXPECT_EQ(img.pixelColor(118, 120) == red, i == 2) << "strip " << i;
    }
}

// The link button reports its presses to its strip, which asks the state machine and shows the
// group's badge.
class RecordingHost : public ILinkButtonHost {
public:
    bool IsChannelButtonOn(int) const override { return false; }
    void SetChannelButton(int, bool) override {}
    bool IsLinkButtonOn(int) const override { return false; }
    void MuteGroupForCopy(int, bool) override {}
    void CopyToLinkGroup(int, int) override {}
    void SyncGroupSelection(int, int) override {}
    void RefreshChannel() override {}
    void RedrawGraph() override {}
};

TEST_F(StripPage, LinkButtonClicksLinkAndShowTheBadge)
{
    RecordingHost host;
    COutRoute_Dlg &s = S(3);
    s.SetLinkHost(&host);
    QTest::mouseClick(s.LinkButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return s.LinkButton()->GetCheck() == 1; }, 2000));
    EXPECT_EQ(g_LinkGroups[3].load(), 1);
    EXPECT_EQ(s.LinkButton()->CurrentBitmap() == 934 || s.LinkButton()->CurrentBitmap() == 950, true);
    EXPECT_EQ(s.GetClickKind(), 1);

    QTest::mousePress(s.LinkButton(), Qt::RightButton);
    ASSERT_TRUE(WaitUntil([&] { return s.LinkButton()->GetCheck() == 0; }, 2000));
    EXPECT_EQ(g_LinkGroups[3].load(), 0);

    // A link value the link editor wrote (a mask) shows the plain bitmap, never a stray badge.
    g_LinkGroups[3].store(0x18);
    s.UpdateLinkButtonLook();
    s.LinkButton()->SetCheck(1);
    s.LinkButton()->SetHover(0);
    EXPECT_EQ(s.LinkButton()->CurrentBitmap(), 890);
}

// The hidden toggles, the source labels and the link menu are made when first asked for: what
// the page and the language set before that must reach them as it reaches controls made early.
TEST_F(StripPage, HiddenControlsMadeLateShowWhatWasSetBefore)
{
    COutRoute_Dlg &early = S(0), &late = S(1);
    ASSERT_TRUE(late.findChildren<CFontStatic *>().isEmpty()) << "the labels must not exist yet";
    for (int k = 1; k <= COutRoute_Dlg::kRouteCount; ++k)
        early.RouteButton(k);
    early.SourceLabel(0);
    early.LinkMenu();
    for (COutRoute_Dlg *s : {&early, &late}) {
        s->SetRoute(3, 1);
        s->SetRoute(5, 1);
        s->SetRoute(9, 1);
        s->SetRoute(9, 0);
        s->SetSourceLabelColours(3);
    }
    SetUiLanguage(false);
    for (COutRoute_Dlg *s : {&early, &late})
        s->SetLanguage(1);  // the labels keep the texts last written, in English

    for (int k = 4; k <= COutRoute_Dlg::kRouteCount; ++k) {
        CBitButton *a = early.RouteButton(k), *b = late.RouteButton(k);
        ASSERT_NE(b, nullptr) << k;
        EXPECT_EQ(GetCtrlId(b), COutRoute_Dlg::RouteId(k)) << k;
        EXPECT_TRUE(b->isHidden()) << k;
        EXPECT_EQ(b->isEnabled(), a->isEnabled()) << k;
        EXPECT_EQ(b->CurrentBitmap(), a->CurrentBitmap()) << k;
        a->SetHover(1);
        b->SetHover(1);
        EXPECT_EQ(b->CurrentBitmap(), a->CurrentBitmap()) << k << " hovered";
    }
    EXPECT_EQ(late.RouteButton(4)->CurrentBitmap(), 1048) << "toggle 3 is on, so 4 shows disabled";
    late.SetRoute(3, 0);
    EXPECT_TRUE(late.RouteButton(4)->isEnabled());
    EXPECT_FALSE(late.RouteButton(7)->isEnabled());

    for (int i = 0; i < 12; ++i) {
        CFontStatic *a = early.SourceLabel(i), *b = late.SourceLabel(i);
        ASSERT_NE(b, nullptr) << i;
        EXPECT_EQ(b->GetWindowText(), a->GetWindowText()) << i;
        EXPECT_EQ(b->TextColor(), a->TextColor()) << i;
        EXPECT_EQ(b->FontHeight(), 13) << i;
        EXPECT_EQ(b->geometry(), a->geometry()) << i;
        EXPECT_TRUE(b->isHidden() && !b->isEnabled()) << i;
    }
    EXPECT_EQ(late.SourceLabel(6)->TextColor(), RGB(232, 232, 232)) << "AUX 1 is lit for the AUX input";
    EXPECT_EQ(late.SourceLabel(0)->TextColor(), RGB(105, 108, 105));
    // Once made, the labels follow the page's later changes.
    late.SetSourceLabelTexts();
    late.SetSourceLabelColours(1);
    EXPECT_NE(late.SourceLabel(0)->GetWindowText(), early.SourceLabel(0)->GetWindowText());
    EXPECT_EQ(late.SourceLabel(0)->TextColor(), RGB(232, 232, 232));

    // A late toggle reports its clicks, and a press on it takes the focus to the strip.
    page.Clear();
    late.RouteButton(5)->click();
    EXPECT_EQ(page.Of(OutStripRouteMessage(5)), std::vector{M(OutStripRouteMessage(5), 1, 0)});
    late.GainEdit()->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return late.GainEdit()->hasFocus(); }, 1000));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(late.RouteButton(6), &press);
    EXPECT_TRUE(WaitUntil([&] { return late.hasFocus(); }, 1000));

    // The late link menu holds the four commands, and its create command opens the editor.
    struct EditorHost : RecordingHost {
        void OpenLinkEditor(int output, bool create) override { opened = {output, create}; }
        std::pair<int, bool> opened{-1, false};
    } host;
    late.SetLinkHost(&host);
    const QList<QAction *> actions = late.LinkMenu()->actions();
    ASSERT_EQ(actions.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[i]->text(), early.LinkMenu()->actions()[i]->text()) << i;
        EXPECT_EQ(actions[i]->data().toInt(), COutRoute_Dlg::IDM_LINK_CREATE + i) << i;
    }
    actions[0]->trigger();
    EXPECT_EQ(host.opened, (std::pair{1, true}));
}

TEST_F(StripPage, LanguageChangeReskinsTheStrip)
{
    SetUiLanguage(false);
    EXPECT_EQ(S(0).GetBackground(), 852);
    EXPECT_EQ(S(0).GetLanguage(), 0);
    EXPECT_EQ(master->GetBackground(), 853);
    SetUiLanguage(true);
    EXPECT_EQ(S(0).GetBackground(), 851);
    EXPECT_EQ(master->GetBackground(), 739);
}

}  // namespace
