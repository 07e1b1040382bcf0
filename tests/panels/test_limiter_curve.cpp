// The limiter curve widget: it shows the selected output's threshold in that output's colour, and
// a knee drag with QTest mouse events sets the attached controls and the record (with its link
// group), or, with nothing attached, changes nothing at all.

#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/qt/QtGlobals.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QPoint Centre(const CRect &r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// A curve of 450 x 440 (one pixel per threshold step, plot from (20, 5) to (440, 425)) on a page
// with a threshold spin and edit, showing output 1. Outputs 1 and 2 share link group 3; the device
// is online, so edits stamp the records.
struct CurveFixture : ::testing::Test {
    CurveFixture()
    {
        ResetDeviceImageGlobals();
        g_LinkGroups[1] = g_LinkGroups[2] = 3;
        root.InitLinkTable();
        g_bDeviceOnline = 1;
        curve = new CCOM_EXT_LIMStatic(&page);
        curve->setGeometry(0, 0, 450, 440);
        spin = new CNumSpin(&page);
        edit = new CNumEdit(&page);
        edit->setGeometry(0, 450, 80, 20);
        spin->SetBuddy(edit);
        edit->SetScale(0.1);
        edit->SetOffset(30.0);
        edit->SetType(24);
        spin->SetRange(0, 420);
        page.resize(500, 500);
        page.show();
        page.activateWindow();
        EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &page; }, 5000));
        curve->CalcLayout();
        curve->SetMode(CCOM_EXT_LIMStatic::kModeLimiter);
        curve->SetChannelArray(&root);
        root.GetOut(1)->SetLimitThreshold(300);
        root.GetOut(1)->SetLimitStamp(0);
        root.GetOut(2)->SetLimitStamp(0);
        curve->SelectChannel(1);
    }
    ~CurveFixture() override { ResetDeviceImageGlobals(); }

    // Presses on the knee, moves the pointer through `path` and releases at its end.
    void Drag(std::initializer_list<QPoint> path)
    {
        const QPoint knee = Centre(curve->GetKneeRect());
        QTest::mouseMove(curve, knee);
        QTest::mousePress(curve, Qt::LeftButton, {}, knee);
        QPoint last = knee;
        for (const QPoint &p : path) {
            QTest::mouseMove(curve, p);
            last = p;
        }
        QTest::mouseRelease(curve, Qt::LeftButton, {}, last);
    }

    QApplication &app = QtTestApp();  // before the page
    CKTV_Data root;
    QWidget page;
    CCOM_EXT_LIMStatic *curve = nullptr;
    CNumSpin *spin = nullptr;
    CNumEdit *edit = nullptr;
};

}  // namespace

TEST_F(CurveFixture, ShowsTheSelectedOutputAndFollowsRefresh)
{
    EXPECT_EQ(curve->GetChannel(), 1);
    EXPECT_EQ(curve->GetCurveColour(), g_clrOutCurve[1]);
    EXPECT_EQ(curve->GetThreshold(), 300);
    EXPECT_EQ(curve->GetKneeRect(), (CRect{317, 122, 323, 128}));
    // The knee is drawn where it is hit-tested: its centre is the knee's yellow.
    const QImage shot = curve->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(320, 125)), QColor(255, 255, 0));
    // Right of the knee the curve runs flat in the output's colour; above it only the dashed line.
    EXPECT_EQ(QColor(shot.pixel(400, 125)), g_clrOutCurve[1]);

    // Another output: its colour and threshold at once.
    root.GetOut(4)->SetLimitThreshold(0);
    curve->SelectChannel(4);
    EXPECT_EQ(curve->GetCurveColour(), g_clrOutCurve[4]);
    EXPECT_EQ(curve->GetKneeRect(), (CRect{17, 422, 23, 428}));
    // The owner changed the record itself: Refresh reads it again.
    root.GetOut(4)->SetLimitThreshold(420);
    EXPECT_EQ(curve->GetThreshold(), 0);
    curve->Refresh();
    EXPECT_EQ(curve->GetThreshold(), 420);
    // An index outside the outputs is ignored.
    curve->SelectChannel(8);
    EXPECT_EQ(curve->GetChannel(), 4);
}

TEST(LimiterCurveWidget, WithoutARecordNothingCanBeDragged)
{
    QtTestApp();
    CCOM_EXT_LIMStatic curve;
    curve.resize(200, 200);
    curve.SetMode(CCOM_EXT_LIMStatic::kModeLimiter);
    curve.show();
    curve.Refresh();  // nothing selected yet: nothing to read
    EXPECT_TRUE(curve.GetKneeRect().IsRectEmpty());
    QTest::mouseMove(&curve, QPoint(0, 0));
    QTest::mousePress(&curve, Qt::LeftButton, {}, QPoint(0, 0));
    EXPECT_FALSE(curve.IsDragging());
    QTest::mouseRelease(&curve, Qt::LeftButton, {}, QPoint(0, 0));
}

TEST_F(CurveFixture, DraggingTheKneeSetsTheControlsAndTheLinkedRecords)
{
    CNumSpin spin2;
    CNumEdit edit2;
    spin2.SetBuddy(&edit2);
    spin2.SetRange(0, 420);
    curve->SetLinkedControls(spin, edit);
    curve->SetLinkedControls2(&spin2, &edit2);

    QTest::mouseMove(curve, QPoint(320, 125));
    EXPECT_TRUE(curve->IsHover());
    EXPECT_EQ(curve->cursor().shape(), Qt::SizeBDiagCursor);

    // Sideways and down: only y counts.
    Drag({QPoint(200, 150), QPoint(60, 225)});
    EXPECT_FALSE(curve->IsDragging());
    EXPECT_EQ(curve->GetThreshold(), 200);
    EXPECT_EQ(curve->GetKneeRect(), (CRect{217, 222, 223, 228}));
    EXPECT_EQ(spin->GetPos(), 200);
    EXPECT_EQ(spin2.GetPos(), 200);
    EXPECT_EQ(edit->text(), QStringLiteral("-10.0dBu"));
    EXPECT_EQ(edit->GetHighlight(), 1);
    EXPECT_EQ(edit2.GetHighlight(), 1);
    EXPECT_EQ(root.GetOut(1)->GetLimitThreshold(), 200);
    EXPECT_EQ(root.GetOut(1)->GetLimitChanged(), 1);
    // The record passes it on to its link group.
    EXPECT_EQ(root.GetOut(2)->GetLimitThreshold(), 200);
    EXPECT_EQ(root.GetOut(2)->GetLimitChanged(), 1);

    // Above the plot is the top of the range, below it the bottom.
    Drag({QPoint(230, -60)});
    EXPECT_EQ(root.GetOut(1)->GetLimitThreshold(), 420);
    Drag({QPoint(430, 600)});
    EXPECT_EQ(root.GetOut(1)->GetLimitThreshold(), 0);
    EXPECT_EQ(spin->GetPos(), 0);
}

TEST_F(CurveFixture, APressAwayFromTheKneeTakesTheFocusAndStartsNoDrag)
{
    curve->SetLinkedControls(spin, edit);
    edit->setFocus();
    QTest::mouseMove(curve, QPoint(100, 100));
    EXPECT_EQ(curve->cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(curve, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(curve->hasFocus());
    EXPECT_FALSE(curve->IsDragging());
    QTest::mouseMove(curve, QPoint(100, 300));
    QTest::mouseRelease(curve, Qt::LeftButton, {}, QPoint(100, 300));
    EXPECT_EQ(root.GetOut(1)->GetLimitThreshold(), 300);
    EXPECT_EQ(root.GetOut(1)->GetLimitChanged(), 0);
}

TEST_F(CurveFixture, WithoutControlsADragChangesNothing)
{
    // As in the dynamics dialog: neither the record, nor a control, nor the knee the curve shows.
    Drag({QPoint(320, 225), QPoint(320, 30)});
    EXPECT_EQ(root.GetOut(1)->GetLimitThreshold(), 300);
    EXPECT_EQ(root.GetOut(1)->GetLimitChanged(), 0);
    EXPECT_EQ(root.GetOut(2)->GetLimitChanged(), 0);
    EXPECT_EQ(curve->GetThreshold(), 300);
    EXPECT_EQ(spin->GetPos(), 0);
    EXPECT_EQ(edit->GetHighlight(), 0);
    const QImage shot = curve->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(320, 125)), QColor(255, 255, 0));
}
