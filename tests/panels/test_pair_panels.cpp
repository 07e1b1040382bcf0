// Bridged pairs on the output page: the pair panel that takes the second strip's place, what it
// shows, the strip edits that reach the partner and the panel, the language switch.

#include "services/PageRegistry.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/TransparentStatic.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/output/BTLRouteDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputDlg.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/ServiceDoubles.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using NoBoxes = CAnswerNoBoxes;

struct PairPanels : ::testing::Test {
    PairPanels()
    {
        ResetOutputLinks();
        SetUiLanguage(false);
        page.SetKTVData(&doc);
        page.resize(COutputDlg::kWidth, COutputDlg::kHeight);
        page.RefreshChannel();
    }
    ~PairPanels() override
    {
        ResetOutputLinks();
        SetUiLanguage(false);
    }
    CKTV_OutData &Out(int i) { return *doc.GetOut(i); }
    CBTLRouteDlg &Panel1() { return *page.PairPanel(1); }
    void Pump()
    {
        for (int n = 0; n < 3; ++n)
            QCoreApplication::processEvents();
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

TEST_F(PairPanels, PairingShowsThePanelInTheSecondStripsPlaceFilledFromTheFirstOutput)
{
    // Output 2: lines 1 and 4 and the first extra level feed it, -12.5 dB, 2.5 ms, inverted, muted.
    for (int k = 0; k < 8; ++k)
        Out(2).SetGroup33Byte(k, 0);
    for (int k = 0; k < 4; ++k)
        Out(2).SetExtra(k, 0);
    Out(2).SetGroup33Byte(0, 80);
    Out(2).SetGroup33Byte(3, 5);
    Out(2).SetExtra(0, 100);
    Out(2).SetGain(475);
    Out(2).SetDelay(120);
    Out(2).SetPolarity(1);
    Out(2).SetOn(0);
    page.RefreshChannel();
    for (int k = 0; k < COutputDlg::kPairButtons; ++k)
        EXPECT_TRUE(page.PairPanel(k)->isHidden()) << k;

    page.OnPairButton(1);
    EXPECT_TRUE(page.Strip(3)->isHidden());
    EXPECT_FALSE(Panel1().isHidden());
    EXPECT_EQ(Panel1().geometry(), COutputDlg::StripRect(3));
    const bool marked[12] = {true, false, false, true, false, false, false, false, true, false, false, false};
    for (int r = 0; r < 12; ++r)
        EXPECT_EQ(Panel1().IsSourceMarked(r), marked[r]) << r;
    EXPECT_EQ(Panel1().SourceMark(0)->CurrentBitmap(), CBTLRouteDlg::kMarkTicked);
    EXPECT_EQ(Panel1().SourceMark(1)->CurrentBitmap(), CBTLRouteDlg::kMarkEmpty);
    EXPECT_EQ(Panel1().GainText()->GetWindowText(), page.Strip(2)->GainEdit()->text());
    EXPECT_EQ(Panel1().GainSlider()->GetInvertedPos(), 475);
    EXPECT_EQ(Panel1().DelayText()->GetWindowText(), page.Strip(2)->DelayEdit()->text());
    EXPECT_FALSE(Panel1().DelayText()->GetWindowText().isEmpty());
    EXPECT_EQ(Panel1().PolarityButton()->CurrentBitmap(), CBTLRouteDlg::kPolarityInvertedEn);
    EXPECT_EQ(Panel1().OnButton()->CurrentBitmap(), CBTLRouteDlg::kOff);

    // The second press hides the panel and shows the strip again, whose polarity is normal.
    page.OnPairButton(1);
    EXPECT_TRUE(Panel1().isHidden());
    EXPECT_FALSE(page.Strip(3)->isHidden());
    EXPECT_EQ(Out(3).GetPolarity(), 0);
}

TEST_F(PairPanels, AMuteOnTheFirstOutputClickedOnItsStripReachesThePartnerAndThePanel)
{
    page.show();
    page.OnPairButton(1);
    ASSERT_EQ(Out(2).GetOn(), 1);
    QTest::mouseClick(page.Strip(2)->MuteButton(), Qt::LeftButton);
    Pump();
    EXPECT_EQ(Out(2).GetOn(), 0);
    EXPECT_EQ(Out(3).GetOn(), 0);
    EXPECT_EQ(Panel1().On(), 0);
    EXPECT_EQ(Panel1().OnButton()->CurrentBitmap(), CBTLRouteDlg::kOff);

    QTest::mouseClick(page.Strip(2)->PhaseButton(), Qt::LeftButton);
    Pump();
    EXPECT_EQ(Out(3).GetPolarity(), 1);
    EXPECT_EQ(Panel1().PolarityButton()->CurrentBitmap(), CBTLRouteDlg::kPolarityInvertedEn);
}

TEST_F(PairPanels, StripEditsOfEachOutputReachThePartnerOnlyFromTheFirst)
{
    page.OnPairButton(1);
    const struct {
        unsigned msg;
        int output;
        int value;
        int second;  // what output 3 then holds
    } cases[] = {
        {WM_OUTSTRIP_MUTE, 2, 0, 0},    {WM_OUTSTRIP_MUTE, 3, 1, 1},    {WM_OUTSTRIP_MUTE, 2, 1, 1},
        {WM_OUTSTRIP_PHASE, 2, 1, 1},   {WM_OUTSTRIP_PHASE, 3, 0, 0},   {WM_OUTSTRIP_DELAY, 2, 240, 240},
        {WM_OUTSTRIP_DELAY, 3, 96, 96},
    };
    for (const auto &c : cases) {
        const int before2 = c.msg == WM_OUTSTRIP_MUTE ? Out(2).GetOn()
                            : c.msg == WM_OUTSTRIP_PHASE ? Out(2).GetPolarity()
                                                         : Out(2).GetDelay();
        page.Strip(c.output)->SetDelay(c.value);  // the strip's edit shows what it reports
        SendMessageTo(&page, c.msg, WPARAM(c.output), LPARAM(c.value));
        const int now3 = c.msg == WM_OUTSTRIP_MUTE ? Out(3).GetOn()
                         : c.msg == WM_OUTSTRIP_PHASE ? Out(3).GetPolarity()
                                                      : Out(3).GetDelay();
        EXPECT_EQ(now3, c.second) << c.msg << " " << c.output;
        const int now2 = c.msg == WM_OUTSTRIP_MUTE ? Out(2).GetOn()
                         : c.msg == WM_OUTSTRIP_PHASE ? Out(2).GetPolarity()
                                                      : Out(2).GetDelay();
        if (c.output == 3) {
            EXPECT_EQ(now2, before2) << "an edit of the second output stays there";
        }
    }
    // The panel shows the first output's state: on, normal polarity, its delay text.
    EXPECT_EQ(Panel1().On(), 1);
    EXPECT_EQ(Panel1().Polarity(), 1);
    EXPECT_EQ(Panel1().DelayText()->GetWindowText(), page.Strip(2)->DelayEdit()->text());
}

TEST_F(PairPanels, TheDelayUnitReachesTheShownPanelAndAGainEditItsGain)
{
    Out(2).SetDelay(480);  // 10 ms
    page.RefreshChannel();
    page.OnPairButton(1);
    const QString ms = Panel1().DelayText()->GetWindowText();
    page.OnGainDlgSelect(3);
    EXPECT_NE(Panel1().DelayText()->GetWindowText(), ms);
    EXPECT_EQ(Panel1().DelayText()->GetWindowText(), page.Strip(2)->DelayEdit()->text());

    page.Strip(2)->SetGain(300);
    SendMessageTo(&page, WM_OUTSTRIP_GAIN, 2, 300);
    EXPECT_EQ(Panel1().GainSlider()->GetInvertedPos(), 300);
    EXPECT_EQ(Panel1().GainText()->GetWindowText(), page.Strip(2)->GainEdit()->text());
}

TEST_F(PairPanels, LanguageSwitchRelabelsEveryPanelAndItsBackgroundFollows)
{
    page.OnPairButton(1);
    SendMessageTo(&page, WM_OUTSTRIP_PHASE, 2, 1);
    const char *english[12] = {"Hi.1", "Hi.2", "Hi.3", "Hi.4", "Hi.5", "Hi.6",
                               "AUX1", "AUX2", "SP-L", "SP-R", "BLE-L", "BLE-R"};
    const char *chinese[12] = {"高1", "高2", "高3", "高4", "高5", "高6", "低1", "低2", "光左", "光右", "蓝左", "蓝右"};
    for (bool cn : {true, false}) {
        SetUiLanguage(cn);
        page.SwitchLanguage();
        for (int k = 0; k < COutputDlg::kPairButtons; ++k)
            for (int r = 0; r < 12; ++r)
                EXPECT_EQ(page.PairPanel(k)->SourceLabel(r)->GetWindowText(),
                          QString::fromUtf8(cn ? chinese[r] : english[r]))
                    << k << " " << r;
        EXPECT_EQ(Panel1().PolarityButton()->CurrentBitmap(),
                  cn ? CBTLRouteDlg::kPolarityInvertedCn : CBTLRouteDlg::kPolarityInvertedEn);
        EXPECT_EQ(Panel1().LinkButton()->CurrentBitmap(), cn ? CBTLRouteDlg::kLinkCn : CBTLRouteDlg::kLinkEn);
    }
    EXPECT_EQ(Panel1().Background(true), 960);
    EXPECT_EQ(Panel1().Background(false), 965);
}

TEST_F(PairPanels, ClicksOnThePanelChangeNothing)
{
    page.show();
    page.OnPairButton(1);
    Pump();
    const int on = Out(2).GetOn(), pol = Out(2).GetPolarity(), gain = Out(2).GetGain();
    const bool marked = Panel1().IsSourceMarked(0);
    for (QWidget *w : {static_cast<QWidget *>(Panel1().OnButton()), static_cast<QWidget *>(Panel1().PolarityButton()),
                       static_cast<QWidget *>(Panel1().LinkButton()), static_cast<QWidget *>(Panel1().SourceMark(0))}) {
        QTest::mouseClick(w, Qt::LeftButton);
        Pump();
    }
    EXPECT_EQ(Out(2).GetOn(), on);
    EXPECT_EQ(Out(3).GetOn(), on);
    EXPECT_EQ(Out(2).GetPolarity(), pol);
    EXPECT_EQ(Out(2).GetGain(), gain);
    EXPECT_EQ(Panel1().On(), on);
    EXPECT_EQ(Panel1().IsSourceMarked(0), marked);
    EXPECT_EQ(Panel1().SourceMark(0)->CurrentBitmap(), marked ? CBTLRouteDlg::kMarkTicked : CBTLRouteDlg::kMarkEmpty);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(page.Strip(i)->GetLinkMask(), 1 << i);
}

}  // namespace
