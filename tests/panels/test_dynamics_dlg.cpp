// The dynamics dialog as a user drives it: typed values and spin steps reach the output records
// (stamped while online, copied to the link group and shown on the linked boxes), typed values out
// of range are limited without a message box while record values a spin cannot show give its range
// message, the compressor controls keep nothing, and the noise gate of music input 0 reads OFF at
// its bottom.

#include "controls/FontStatic.h"
#include "controls/GroupBoxEx.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "panels/input/CurSYSDlg.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/TestDoubles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using V = CCurSYSDlg::Value;

// The dialog over a fresh tree, outputs 1 and 2 (indexes 0 and 1) linked in group 5, the device
// online; every message box is recorded.
struct DynamicsDlg : ::testing::Test {
    QApplication &app = QtTestApp();
    CKTV_Data root;
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped{boxes};
    std::unique_ptr<CCurSYSDlg> dlg;

    DynamicsDlg()
    {
        ResetDeviceImageGlobals();
        g_bChinese = 0;
        g_LinkGroups[0] = g_LinkGroups[1] = 5;
        root.InitLinkTable();
        g_bDeviceOnline = 1;
    }
    ~DynamicsDlg() override
    {
        dlg.reset();
        ResetDeviceImageGlobals();
    }
    void Open()
    {
        dlg = std::make_unique<CCurSYSDlg>(root);
        dlg->InitDialog();
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == dlg.get(); }, 5000));
    }
    CKTV_OutData &Out(int i) { return *root.GetOut(i); }
    // Types text into an edit and commits it with Enter, as a user does.
    void Type(CNumEdit *edit, const QString &text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void ClearStamps()
    {
        for (int i = 0; i < 8; ++i) {
            Out(i).SetLimitStamp(0);
            Out(i).SetGroup34Stamp(0);
        }
        root.GetMusicIn(0)->SetThresholdChanged(0);
    }
};

}  // namespace

TEST_F(DynamicsDlg, OpensWithTheRecordsValuesAndReportsThenLimitsWhatTheSpinsCannotShow)
{
    Out(2).SetLimitThreshold(120);
    Out(2).SetLimitAttack(3);
    Out(2).SetLimitRelease(0);
    // A threshold above the range, as a device may send it: shown at the top, kept in the record.
    Out(5).SetLimitThreshold(500);
    Out(5).SetLimitRelease(6000);
    root.GetMusicIn(0)->SetThreshold(0);
    ClearStamps();
    Open();

    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("System"));
    EXPECT_EQ(dlg->Edit(2, V::LimitThreshold)->text(), QStringLiteral("-18.0dBu"));
    EXPECT_EQ(dlg->Edit(2, V::LimitAttack)->text(), QStringLiteral("0.6ms"));
    EXPECT_EQ(dlg->Edit(2, V::LimitRelease)->text(), QStringLiteral("50ms"));
    EXPECT_EQ(dlg->Spin(5, V::LimitThreshold)->GetPos(), 420);
    EXPECT_EQ(dlg->Edit(5, V::LimitThreshold)->text(), QStringLiteral("12.0dBu"));
    EXPECT_EQ(dlg->Spin(5, V::LimitRelease)->GetPos(), 5000);
    EXPECT_EQ(Out(5).GetLimitThreshold(), 500);
    // Each value the spin cannot show gives the spin's range message first.
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 2u);
    for (const auto &box : shown) {
        EXPECT_EQ(box.text, "Set Pos Error!");
        EXPECT_EQ(box.type, unsigned(MB_OK));
    }
    // Every compressor control at its minimum; the ratio reads 1:1.
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dlg->Spin(i, V::CompThreshold)->GetPos(), 0);
        EXPECT_EQ(dlg->Spin(i, V::CompAttack)->GetPos(), 0);
        EXPECT_EQ(dlg->Spin(i, V::CompRelease)->GetPos(), 50);
        EXPECT_EQ(dlg->Edit(i, V::Ratio)->text(), QStringLiteral("1:1"));
        EXPECT_EQ(dlg->Curve(i)->GetChannel(), i);
        EXPECT_EQ(dlg->Curve(i)->GetMode(), CCOM_EXT_LIMStatic::kModeLimiter);
    }
    EXPECT_EQ(dlg->Curve(2)->GetThreshold(), 120);
    EXPECT_EQ(dlg->NoiseEdit()->text(), QStringLiteral("OFF"));
    // Opening changes no record.
    EXPECT_EQ(Out(2).GetLimitChanged(), 0);
    EXPECT_EQ(root.GetMusicIn(0)->GetThresholdChanged(), 0);
}

TEST_F(DynamicsDlg, ALimiterEditReachesTheRecordAndTheLinkedBoxes)
{
    Open();
    ClearStamps();
    Type(dlg->Edit(0, V::LimitThreshold), QStringLiteral("-6"));
    EXPECT_TRUE(dlg->isVisible());  // Enter commits, it never closes the dialog
    EXPECT_EQ(Out(0).GetLimitThreshold(), 240);
    EXPECT_EQ(Out(0).GetLimitChanged(), 1);
    EXPECT_EQ(dlg->Curve(0)->GetThreshold(), 240);
    // Output 2 follows in the record, its spin and its curve, in the same step.
    EXPECT_EQ(Out(1).GetLimitThreshold(), 240);
    EXPECT_EQ(Out(1).GetLimitChanged(), 1);
    EXPECT_EQ(dlg->Edit(1, V::LimitThreshold)->text(), QStringLiteral("-6.0dBu"));
    EXPECT_EQ(dlg->Curve(1)->GetThreshold(), 240);
    // An output outside the group is left alone.
    EXPECT_EQ(Out(2).GetLimitThreshold(), 420);
    EXPECT_EQ(Out(2).GetLimitChanged(), 0);

    // Attack by a spin step, release typed: the linked spin shows each.
    dlg->Spin(0, V::LimitAttack)->DeltaPos(1);
    EXPECT_EQ(Out(0).GetLimitAttack(), 57);
    EXPECT_EQ(dlg->Spin(1, V::LimitAttack)->GetPos(), 57);
    Type(dlg->Edit(1, V::LimitRelease), QStringLiteral("800"));
    EXPECT_EQ(Out(1).GetLimitRelease(), 750);
    EXPECT_EQ(Out(0).GetLimitRelease(), 750);
    EXPECT_EQ(dlg->Edit(0, V::LimitRelease)->text(), QStringLiteral("800ms"));
}

TEST_F(DynamicsDlg, TypedValuesOutsideTheRangeAreLimitedWithoutABox)
{
    Open();
    struct Case {
        V value;
        const char *typed;
        int (CKTV_OutData::*get)() const;
        int stored;
        const char *shown;
    };
    const Case cases[] = {
        {V::LimitThreshold, "-45", &CKTV_OutData::GetLimitThreshold, 0, "-30.0dBu"},
        {V::LimitThreshold, "20", &CKTV_OutData::GetLimitThreshold, 420, "12.0dBu"},
        {V::LimitAttack, "0.3", &CKTV_OutData::GetLimitAttack, 0, "0.3ms"},
        {V::LimitAttack, "900", &CKTV_OutData::GetLimitAttack, 206, "200ms"},
        {V::LimitRelease, "50", &CKTV_OutData::GetLimitRelease, 0, "50ms"},
        {V::LimitRelease, "5000", &CKTV_OutData::GetLimitRelease, 4950, "5000ms"},
        {V::LimitRelease, "12", &CKTV_OutData::GetLimitRelease, 0, "50ms"},
        {V::LimitRelease, "99999", &CKTV_OutData::GetLimitRelease, 4950, "5000ms"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        // Each case changes the value the case before it left.
        Type(dlg->Edit(3, c.value), QString::fromLatin1(c.typed));
        EXPECT_EQ((Out(3).*(c.get))(), c.stored);
        EXPECT_EQ(dlg->Edit(3, c.value)->text(), QString::fromLatin1(c.shown));
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(DynamicsDlg, CompressorControlsAreBoundedAndKeepNothing)
{
    Out(4).SetLimitThreshold(250);
    Open();
    // Above the limiter's threshold: set back to it on the spin.
    Type(dlg->Edit(4, V::CompThreshold), QStringLiteral("3"));
    EXPECT_EQ(dlg->Spin(4, V::CompThreshold)->GetPos(), 250);
    EXPECT_EQ(dlg->Edit(4, V::CompThreshold)->text(), QStringLiteral("-5.0dBu"));
    Type(dlg->Edit(4, V::CompThreshold), QStringLiteral("-12"));
    EXPECT_EQ(dlg->Spin(4, V::CompThreshold)->GetPos(), 180);
    Type(dlg->Edit(4, V::Ratio), QStringLiteral("x"));
    dlg->Spin(4, V::Ratio)->DeltaPos(1);
    EXPECT_EQ(dlg->Edit(4, V::Ratio)->text(), QStringLiteral("1.1:1"));
    // The limiter is untouched, and a second opening starts from the minimum again.
    EXPECT_EQ(Out(4).GetLimitThreshold(), 250);
    dlg.reset();
    Open();
    EXPECT_EQ(dlg->Spin(4, V::CompThreshold)->GetPos(), 0);
    EXPECT_EQ(dlg->Edit(4, V::Ratio)->text(), QStringLiteral("1:1"));

    EXPECT_TRUE(boxes.Shown().empty());

    // On a linked output the compressor spins show what the record reports: their minimum. The
    // record reports a ratio of 0, below the spin's range, so that redisplay gives the range message.
    dlg->Spin(1, V::Ratio)->SetPos(40);
    dlg->Spin(0, V::Ratio)->DeltaPos(1);
    EXPECT_EQ(dlg->Spin(1, V::Ratio)->GetPos(), 1);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Set Pos Error!");
}

TEST_F(DynamicsDlg, NoiseGateOfMusicInputZero)
{
    Open();
    ClearStamps();
    Type(dlg->NoiseEdit(), QStringLiteral("-20"));
    EXPECT_EQ(root.GetMusicIn(0)->GetThreshold(), 100);
    EXPECT_EQ(root.GetMusicIn(0)->GetThresholdChanged(), 1);
    EXPECT_EQ(dlg->NoiseEdit()->text(), QStringLiteral("-20.0dB"));
    // Below the bottom of the range is OFF (0), in either language.
    Type(dlg->NoiseEdit(), QStringLiteral("-150"));
    EXPECT_EQ(root.GetMusicIn(0)->GetThreshold(), 0);
    EXPECT_EQ(dlg->NoiseEdit()->text(), QStringLiteral("OFF"));
    SetUiLanguage(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg->NoiseEdit()->text(), QStringLiteral("关闭"));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("系统"));
    SetUiLanguage(false);
    // Other inputs and the outputs are left alone.
    EXPECT_EQ(root.GetMusicIn(1)->GetThresholdChanged(), 0);
}

TEST_F(DynamicsDlg, EscapeNeitherClosesNorCancelsATypedValue)
{
    Open();
    CNumEdit *edit = dlg->Edit(6, V::LimitAttack);
    edit->setFocus();
    QCoreApplication::processEvents();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("150"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_EQ(Out(6).GetLimitAttack(), 156);
}

TEST_F(DynamicsDlg, RowLabelsFitLeftOfTheBoxesInBothLanguages)
{
    Open();
    for (bool chinese : {false, true}) {
        SCOPED_TRACE(chinese);
        SetUiLanguage(chinese);
        QCoreApplication::processEvents();
        std::vector<CFontStatic *> labels(dlg->RowLabels().begin(), dlg->RowLabels().end());
        labels.insert(labels.end(), dlg->RatioLabels().begin(), dlg->RatioLabels().end());
        for (CFontStatic *l : labels) {
            SCOPED_TRACE(l->GetWindowText().toStdString());
            const QFontMetrics fm(MakeFont(QStringLiteral("Arial"), l->FontHeight(), 400));
            EXPECT_GE(l->width(), fm.horizontalAdvance(l->GetWindowText()));
            EXPECT_GE(l->x(), 0);
            EXPECT_LE(l->geometry().right(), dlg->Box(0)->x());
        }
    }
    SetUiLanguage(false);
}
