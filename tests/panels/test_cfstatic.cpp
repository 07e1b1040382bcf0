// The response graph as the output page uses it: bound to the tree, dragged with QTest mouse
// events, reporting to its owner on timer 3 and when it loses the focus.

#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/OutputPageContract.h"
#include "panels/output/CFStatic.h"
#include "platform/qt/WndTimers.h"
#include "tests/controls/CtrlTestKit.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QPoint Centre(const CRect &r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// The page with its graph at the page's size, showing output 2, whose band 15 stands alone at
// 1 kHz, +6 dB.
struct GraphFixture : ::testing::Test {
    GraphFixture()
    {
        graph = new CCFStatic(&page);
        graph->setGeometry(136, 3, 950, 156);
        edit = new QLineEdit(&page);
        edit->setGeometry(0, 200, 80, 20);
        page.resize(1200, 664);
        page.show();
        page.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
        graph->SetOwner(&page);
        graph->SetData(&root, CCFStatic::kDataOutput);
        graph->ShowOutput(2);
        graph->SetMode(CCFStatic::kModeOutput);
        out = root.GetOut(2);
        band = out->GetBand(15);
        band->SetFreq(1000, 1);
        band->SetGainCode(260);
    }
    QPoint MarkerOf(const CFilter *f) const { return Centre(f->GetMarkerRect()); }

    CManualTimerClock clock;  // before the graph: its timer runs on it
    CKTV_Data root;
    RecordingPage page;
    CCFStatic *graph = nullptr;
    QLineEdit *edit = nullptr;
    CKTV_OutData *out = nullptr;
    CFilter *band = nullptr;
};

} // namespace

TEST_F(GraphFixture, BindingPassesThePlotToTheRecordsAndFollowsResizes)
{
    EXPECT_EQ(graph->GetPlotRect(), (CRect{40, 10, 940, 136}));
    EXPECT_EQ(out->GetPlotWidth(), 900);
    EXPECT_EQ(graph->GetNotifyCode(), 0x302);
    EXPECT_EQ(graph->GetMode(), CCFStatic::kModeOutput);

    graph->resize(800, 200);
    EXPECT_EQ(graph->GetPlotRect(), (CRect{40, 10, 790, 180}));
    EXPECT_EQ(root.GetOut(5)->GetPlotWidth(), 750);
    EXPECT_EQ(root.GetOut(5)->GetPlotHeight(), 170);

    // An index outside the tree is refused; the shown output stays.
    graph->ShowOutput(8);
    EXPECT_EQ(graph->GetShownOutput(), 2);
}

TEST_F(GraphFixture, DraggingABandMovesItAndTellsTheOwnerOnTheTimer)
{
    const QPoint start = MarkerOf(band);
    QTest::mouseMove(graph, start);
    EXPECT_EQ(graph->GetItemIndex(), 15);
    EXPECT_EQ(graph->cursor().shape(), Qt::SizeAllCursor);
    QTest::mousePress(graph, Qt::LeftButton, {}, start);
    EXPECT_TRUE(graph->hasFocus());
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(graph, start + QPoint(8 * step, 2 * step));
    QTest::mouseRelease(graph, Qt::LeftButton, {}, start + QPoint(80, 20));
    EXPECT_GT(band->GetFreq(), 1000);
    EXPECT_LT(band->GetGainCode(), 260);
    EXPECT_TRUE(page.Of(WM_CURVE_BAND_CHANGED).empty());  // only the timer reports

    clock.Advance(CCFStatic::kNotifyTimerMs);
    EXPECT_EQ(page.Of(WM_CURVE_BAND_CHANGED), (std::vector<RecordedMessage>{{WM_CURVE_BAND_CHANGED, 15, 0x302}}));
    // The release repeats until the owner clears the released flag.
    clock.Advance(CCFStatic::kNotifyTimerMs);
    EXPECT_EQ(page.Of(WM_CURVE_BAND_CHANGED).size(), 2u);
    graph->SetReleased(0);
    clock.Advance(3 * CCFStatic::kNotifyTimerMs);
    EXPECT_EQ(page.Of(WM_CURVE_BAND_CHANGED).size(), 2u);
}

TEST_F(GraphFixture, WithoutAnOwnerNothingIsPosted)
{
    graph->SetOwner(nullptr);
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(500, 20));
    clock.Advance(CCFStatic::kNotifyTimerMs);
    edit->setFocus();
    EXPECT_TRUE(page.Numbers().empty());
}

TEST_F(GraphFixture, LosingTheFocusTellsTheOwner)
{
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(500, 20));
    ASSERT_TRUE(graph->hasFocus());
    edit->setFocus();
    EXPECT_EQ(page.Of(WM_CURVE_KILLFOCUS), (std::vector<RecordedMessage>{{WM_CURVE_KILLFOCUS, 0, 0}}));
}

TEST_F(GraphFixture, RedrawSelectsAtOnceAndThePaintShowsIt)
{
    graph->Redraw(out->GetHpfIndex());
    EXPECT_EQ(graph->GetActiveItem(), out->GetHpf());
    EXPECT_EQ(graph->GetItemIndex(), 31);
    graph->Redraw(99);  // outside the set: the selection stays
    EXPECT_EQ(graph->GetItemIndex(), 31);

    // The selected band's marker number is drawn red.
    graph->Redraw(15);
    const QImage img = graph->grab().toImage();
    const CRect mr = band->GetMarkerRect();
    int red = 0;
    for (int y = mr.top; y < mr.bottom; ++y)
        for (int x = mr.left; x < mr.right; ++x) {
            const QColor c = img.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 4);

    graph->ClearActiveItem();
    EXPECT_EQ(graph->GetActiveItem(), nullptr);
}

TEST_F(GraphFixture, OverlaidOutputsAreDrawnInGreyButNeverTheShownOne)
{
    // Output 5 carries a deep cut the shown output has not.
    CFilter *cut = root.GetOut(5)->GetBand(10);
    cut->SetFreq(200, 1);
    cut->SetGainCode(80);
    const int x = 40 + 300 + 300 * 0;  // 200 Hz
    auto greyBelowZero = [&] {
        graph->Redraw(-1);
        const QImage img = graph->grab().toImage();
        int n = 0;
        for (int y = 100; y < 136; ++y) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() == c.green() && c.red() > 85 && c.red() < 115 && c.blue() == c.red();
        }
        return n;
    };
    const int before = greyBelowZero();
    g_CurveOverlayFlags[5] = 1;
    const int overlaid = greyBelowZero();
    g_CurveOverlayFlags[5] = 0;
    g_CurveOverlayFlags[2] = 1;  // the shown output's own flag draws nothing more
    const int own = greyBelowZero();
    g_CurveOverlayFlags[2] = 0;
    EXPECT_GT(overlaid, before);
    EXPECT_EQ(own, before);
}

TEST_F(GraphFixture, PointerLeavesTheGraphAfterAKeyStep)
{
    QTest::mouseMove(graph, MarkerOf(band));
    QCursor::setPos(graph->mapToGlobal(MarkerOf(band)));
    graph->MovePointerOutside();
    const QRect global(graph->mapToGlobal(QPoint(0, 0)), graph->size());
    // Either the pointer is off the graph or the graph forgot its hover.
    EXPECT_TRUE(!global.contains(QCursor::pos()) || graph->GetHover() == 0);
}

TEST_F(GraphFixture, ADragStepDrawsOnlyWhatChangedAndLooksAsAWholeDrawingWould)
{
    band->SetBandwidthIndex(20);  // a narrow band: its steps change a small part of the curve
    g_CurveOverlayFlags[5] = 1;
    const QPoint start = MarkerOf(band);
    QTest::mouseMove(graph, start);
    QTest::mousePress(graph, Qt::LeftButton, {}, start);
    graph->repaint();
    const QRect plot(40, 10, 900, 126);
    auto area = [](const QRegion &r) {
        long long a = 0;
        for (const QRect &x : r)
            a += (long long)x.width() * x.height();
        return a;
    };
    for (int step = 1; step <= 12; ++step) {
        QTest::mouseMove(graph, start + QPoint(3 * step, step));
        graph->repaint();
        const QRegion drawn = graph->LastDrawnRegion();
        EXPECT_FALSE(drawn.isEmpty()) << step;
        EXPECT_LT(area(drawn), (long long)plot.width() * plot.height() / 2) << step;
    }
    // A move that changes nothing draws nothing.
    QTest::mouseMove(graph, start + QPoint(36, 12));
    graph->repaint();
    EXPECT_TRUE(graph->LastDrawnRegion().isEmpty());
    QTest::mouseRelease(graph, Qt::LeftButton, {}, start + QPoint(36, 12));

    const QImage stepwise = graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    graph->EnableGraph(1);
    const QImage whole = graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    g_CurveOverlayFlags[5] = 0;
    ASSERT_EQ(stepwise.size(), whole.size());
    int worst = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = stepwise.pixel(x, y), b = whole.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 12);
}

TEST_F(GraphFixture, ABandNeverFollowsAPointerWhoseButtonIsUp)
{
    const QPoint start = MarkerOf(band);
    QTest::mouseMove(graph, start);
    QTest::mousePress(graph, Qt::LeftButton, {}, start);
    ASSERT_TRUE(graph->Tracker().Dragging());
    // The release went elsewhere; the next move arrives with no button held.
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(60, 20)), QPointF(graph->mapToGlobal(start + QPoint(60, 20))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(graph, &move);
    EXPECT_FALSE(graph->Tracker().Dragging());
    EXPECT_EQ(band->GetFreq(), 1000);
    EXPECT_EQ(band->GetGainCode(), 260);
    EXPECT_EQ(graph->GetReleased(), 1);
}

TEST_F(GraphFixture, EveryDisplayModeDrawsItsOwnPlot)
{
    struct Case {
        const char *name;
        std::function<void()> show;
        int mode;
        QColor plot;
        int notify;
    } cases[] = {
        {"output", [&] { graph->ShowOutput(1); }, CCFStatic::kModeOutput, QColor(56, 55, 55), 0x301},
        {"music", [&] { graph->ShowMusicInput(4); }, CCFStatic::kModeMusic, QColor(Qt::black), 4},
        {"microphone", [&] { graph->ShowMicInput(0); }, CCFStatic::kModeMic, QColor(Qt::black), 0x100},
        {"effect", [&] { graph->ShowEffect(); }, CCFStatic::kModeEffect, QColor(Qt::black), 0},
        {"empty", [&] { graph->SetMode(CCFStatic::kModeEmpty); }, CCFStatic::kModeEmpty, QColor(Qt::black), 0},
    };
    for (const Case &c : cases) {
        c.show();
        EXPECT_EQ(graph->GetMode(), c.mode) << c.name;
        if (c.mode != CCFStatic::kModeEmpty) {
            EXPECT_EQ(graph->GetNotifyCode(), c.notify) << c.name;
        }
        const QImage img = graph->grab().toImage();
        int ground = 0;
        for (int y = 11; y < 135; ++y)
            for (int x = 41; x < 939; ++x)
                ground += img.pixelColor(x, y) == c.plot;
        EXPECT_GT(ground, 898 * 124 / 2) << c.name;  // most of the plot is its ground
        EXPECT_EQ(img.pixelColor(2, 150), QColor(56, 55, 55)) << c.name;  // the frame
    }

    // The effect view fills and labels the requested element but keeps its active one.
    graph->ShowEffect();
    graph->Redraw(1);
    EXPECT_EQ(graph->GetActiveItem(), nullptr);
    // The music input view (the input page binds the music inputs' plot) answers only in its
    // first fifteen bands.
    graph->SetData(&root, CCFStatic::kDataMusic);
    graph->ShowMusicInput(0);
    CFilter *late = root.GetMusicIn(0)->GetBand(20);
    late->SetFreq(5000, 1);
    late->SetGainCode(260);
    QTest::mouseMove(graph, Centre(late->GetMarkerRect()));
    EXPECT_EQ(graph->GetActiveItem(), nullptr);
}
