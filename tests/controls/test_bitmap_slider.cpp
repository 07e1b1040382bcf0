// The bitmap slider driven by mouse, keys and wheel: positions, the messages it posts, limits of
// the inverted position, and the buddy edit's highlight.

#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "res/Skins.h"
#include "platform/qt/WndTimers.h"
#include "tests/controls/CtrlTestKit.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

struct SliderPage : RecordingPage {
    SliderPage()
    {
        slider = new CBitmapSlider(this);
        SetCtrlId(slider, 2000);
        slider->setGeometry(20, 20, 30, 100);  // no skin: the control's own size is the track
        slider->SetRange(0, 240);
        other = new QWidget(this);
        other->setFocusPolicy(Qt::StrongFocus);
        other->setGeometry(200, 20, 20, 20);
        show();
        activateWindow();
        (void)QTest::qWaitForWindowActive(this);
    }
    void Wheel(int delta)
    {
        QWheelEvent w(QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(slider, &w);
    }
    CBitmapSlider *slider;
    QWidget *other;
};

TEST(BitmapSlider, PressBesideTheThumbStepsOnceAndReleaseReports)
{
    CManualTimerClock clock;
    SliderPage page;
    page.slider->SetPos(120);
    page.slider->setFocus();
    QCoreApplication::processEvents();
    page.Clear();
    const int centre = page.slider->Track().PosToPixel(120);
    QTest::mousePress(page.slider, Qt::LeftButton, {}, QPoint(10, centre + 30));
    EXPECT_EQ(page.slider->GetPos(), 121);
    QTest::mouseMove(page.slider, QPoint(10, centre + 45));
    EXPECT_EQ(page.slider->GetPos(), 121);  // the press ended the drag
    clock.Advance(120);
    QTest::mouseRelease(page.slider, Qt::LeftButton, {}, QPoint(10, centre + 45));
    const auto changing = page.Of(WM_SLIDER_POS_CHANGING);
    EXPECT_LE(changing.size(), 1u);
    for (const auto &m : changing)
        EXPECT_EQ(m.lParam, 121);
    ASSERT_EQ(page.Of(WM_SLIDER_POS_CHANGED).size(), 1u);
    EXPECT_EQ(page.Of(WM_SLIDER_POS_CHANGED)[0], (RecordedMessage{WM_SLIDER_POS_CHANGED, 2000, 121}));
}

TEST(BitmapSlider, DragFollowsTheMouseAndReachesTheEnds)
{
    SliderPage page;
    page.slider->SetPos(120);
    const SliderTrack t = page.slider->Track();
    const int centre = t.PosToPixel(120);
    QTest::mousePress(page.slider, Qt::LeftButton, {}, QPoint(10, centre));
    ASSERT_TRUE(page.slider->IsDragging());
    QTest::mouseMove(page.slider, QPoint(10, t.LastPixel() + 20));
    EXPECT_EQ(page.slider->GetPos(), 240);
    QTest::mouseMove(page.slider, QPoint(10, -30));
    EXPECT_EQ(page.slider->GetPos(), 0);
    QTest::mouseRelease(page.slider, Qt::LeftButton, {}, QPoint(10, -30));
    EXPECT_EQ(page.Of(WM_SLIDER_POS_CHANGED).back().lParam, 0);
}

TEST(BitmapSlider, KeysAndWheel)
{
    SliderPage page;
    page.slider->setFocus();
    QCoreApplication::processEvents();
    const struct {
        int from;
        Qt::Key key;
        int to;
    } keys[] = {{235, Qt::Key_PageDown, 240}, {100, Qt::Key_PageUp, 87}, {100, Qt::Key_Home, 0},
                {100, Qt::Key_End, 240},     {100, Qt::Key_Up, 99},       {100, Qt::Key_Right, 101}};
    for (const auto &k : keys) {
        page.slider->SetPos(k.from);
        QTest::keyClick(page.slider, k.key);
        EXPECT_EQ(page.slider->GetPos(), k.to) << k.from;
    }
    page.slider->SetPos(100);
    page.Clear();
    for (int i = 0; i < 3; ++i)
        page.Wheel(-40);  // a fine wheel: three small deltas make one notch
    EXPECT_EQ(page.slider->GetPos(), 101);
    page.Wheel(240);  // two notches at once
    EXPECT_EQ(page.slider->GetPos(), 99);
    EXPECT_EQ(page.Of(WM_SLIDER_POS_CHANGED).size(), 4u);  // every wheel message reports
}

TEST(BitmapSlider, InvertedPositionIsLimited)
{
    SliderPage page;
    page.slider->SetValueMode(10);
    const struct {
        int value, pos;
    } cases[] = {{80, 240}, {320, 0}, {200, 120}, {-500, 240}, {100000, 0}};
    for (const auto &c : cases) {
        page.slider->SetInvertedPos(c.value);
        EXPECT_EQ(page.slider->GetPos(), c.pos) << c.value;
    }
    page.slider->SetInvertedPos(200);
    EXPECT_EQ(page.slider->GetInvertedPos(), 200);
    page.slider->SetRange(5, 200, 1);
    EXPECT_EQ(page.slider->GetRangeMin(), 0);
}

TEST(BitmapSlider, DisabledIgnoresPressAndKeysButFollowsTheWheel)
{
    SliderPage page;
    page.slider->SetPos(100);
    page.slider->Enable(0);
    QTest::mousePress(page.slider, Qt::LeftButton, {}, QPoint(10, 90));
    QTest::mouseRelease(page.slider, Qt::LeftButton, {}, QPoint(10, 90));
    QTest::keyClick(page.slider, Qt::Key_Home);
    EXPECT_EQ(page.slider->GetPos(), 100);
    page.Wheel(-120);
    EXPECT_EQ(page.slider->GetPos(), 101);
}

TEST(BitmapSlider, FocusPostsThePositionAndLightsTheBuddy)
{
    SliderPage page;
    auto *edit = new CNumEdit(&page);
    edit->setGeometry(60, 20, 80, 20);
    edit->show();
    page.slider->SetBuddyEdit(edit);
    page.slider->SetPos(33);
    page.other->setFocus();
    page.Clear();
    page.slider->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(edit->GetHighlight());
    EXPECT_TRUE(page.slider->GetFocusLook());
    ASSERT_EQ(page.Of(WM_SLIDER_POS_CHANGING).size(), 1u);
    EXPECT_EQ(page.Of(WM_SLIDER_POS_CHANGING)[0].lParam, 33);
    page.other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(edit->GetHighlight());
}

TEST(BitmapSlider, ThumbMaskKeepsTheThumbAndHidesItsKey)
{
    QtTestApp();
    QWidget panel;
    panel.resize(60, 160);
    auto *s = new CBitmapSlider(&panel);
    s->SetChannelBitmaps(610, 0, 0);
    s->SetThumbBitmaps(611, 613, 1);
    s->SetThumbMaskBitmap(612);
    s->SetMargin(2, 0, 2, 0);
    s->SetRange(0, 100);
    s->SetPos(50);
    const QImage thumb = Skins::Bitmap(611).toImage();
    for (int enabled = 1; enabled >= 0; --enabled) {
        s->Enable(enabled);
        QImage shot(s->size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        s->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        const int centre = s->Track().PosToPixel(50);
        const QImage look = Skins::Bitmap(enabled ? 611 : 612).toImage();
        EXPECT_EQ(shot.pixel(2 + thumb.width() / 2, centre), look.pixel(look.width() / 2, look.height() / 2)) << enabled;
    }
}

TEST(BitmapSlider, ImagesThatDoNotExistAreRefused)
{
    SliderPage page;
    EXPECT_TRUE(page.slider->SetThumbBitmaps(611, 613, 1));
    EXPECT_FALSE(page.slider->SetChannelBitmaps(987100, 0, 0));
    EXPECT_FALSE(page.slider->SetChannelBitmaps(610, 987101, 0));  // a missing active image removes both
    EXPECT_EQ(page.slider->size(), QSize(30, 100));                // and leaves the control's size
    EXPECT_FALSE(page.slider->SetThumbBitmaps(626, 987102, 1));
    EXPECT_TRUE(page.slider->SetChannelBitmaps(610, 0, 0));
    EXPECT_EQ(page.slider->size(), Skins::Bitmap(610).size());
}

}  // namespace
