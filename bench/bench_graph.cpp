// Cost of one drag step on the response graph at the output page's size (page 1200 x 664; graph
// 1014 x 212 at (145, 5), the template's 116, 3, 811, 141 in the page's dialog units), headless:
// the pointer moves a band one step, the band's response and the summed curve are computed anew,
// and the graph paints what the step changed into the window.
//
// Three cases in one run:
//   DragStep        the program's path: pointer move, new response, paint of what changed.
//   DragStepWhole   the same step, but the whole graph is invalidated and drawn again at each
//                   step (what it did before it drew only what changed). Divide the two.
//   DragStepNoPaint the pointer move and the new response alone: the floor of the step.
// The goal is a step under 2 ms (an eighth of a 60 Hz frame).

#include <benchmark/benchmark.h>

#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/OutputPageContract.h"
#include "panels/output/CFStatic.h"

#include "BenchKit.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include <memory>

namespace {

struct BandShape {
    int band, freq, gainCode, bandwidthIndex;
};

void Shape(CKTV_OutData &out, std::initializer_list<BandShape> bands, int hpf, int lpf)
{
    for (const BandShape &b : bands) {
        CFilter *f = out.GetBand(b.band);
        f->SetFreq(b.freq, 1);
        f->SetBandwidthIndex(b.bandwidthIndex);
        f->SetGainCode(b.gainCode);
    }
    out.GetHpf()->SetFreq(hpf, 1);
    out.GetHpf()->SetSlope(3, 1);
    out.GetLpf()->SetFreq(lpf, 1);
    out.GetLpf()->SetSlope(3, 1);
}

// The page with its graph showing a shaped output 0, output 1 overlaid, band 15 grabbed.
struct AppFirst {
    AppFirst() { benchkit::OffscreenApp(); }
};

// Counts the graph's paint events, so that a run shows it painted at every step.
struct PaintCounter : QObject {
    long long paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

struct Scene {
    AppFirst first;
    PaintCounter counter;
    CKTV_Data root;
    QWidget page;
    CCFStatic *graph = nullptr;
    QPoint grab;

    Scene()
    {
        Shape(*root.GetOut(0),
              {{3, 45, 260, 120}, {9, 160, 165, 90}, {15, 1000, 255, 60}, {21, 3500, 150, 100},
               {27, 12000, 240, 140}},
              35, 16000);
        Shape(*root.GetOut(1), {{6, 90, 270, 140}, {18, 2000, 150, 140}}, 60, 9000);
        g_CurveOverlayFlags[1] = 1;
        page.resize(1200, 664);
        graph = new CCFStatic(&page);
        graph->setGeometry(145, 5, 1014, 212);
        page.show();
        QCoreApplication::processEvents();  // the window is exposed
        graph->installEventFilter(&counter);
        graph->SetOwner(&page);
        graph->SetData(&root, CCFStatic::kDataOutput);
        graph->ShowOutput(0);
        graph->SetMode(CCFStatic::kModeOutput);
        Flush();
        const CRect m = root.GetOut(0)->GetBand(15)->GetMarkerRect();
        grab = QPoint((m.left + m.right) / 2, (m.top + m.bottom) / 2);
        Send(QEvent::MouseMove, grab, Qt::NoButton, Qt::NoButton);
        Send(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        Flush();
    }
    ~Scene()
    {
        Send(QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
        g_CurveOverlayFlags[1] = 0;
    }
    void Send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(p), QPointF(graph->mapToGlobal(p)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(graph, &e);
    }
    // Paints what is waiting to be painted, into the window's backing store and out to it.
    void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }

    // The pointer position of step i of a sweep across the middle of the plot and back, with a
    // gain wave, so that every step changes the band.
    QPoint Step(int i) const
    {
        const int span = 600;
        const int k = i % (2 * span);
        const int x = 190 + (k < span ? k : 2 * span - k);
        const int y = 40 + (i / 7) % 60;
        return QPoint(x, y);
    }
};

void Drag(benchmark::State &state, bool paint, bool whole)
{
    Scene s;
    int i = 0;
    for (auto _ : state) {
        s.Send(QEvent::MouseMove, s.Step(i++), Qt::NoButton, Qt::LeftButton);
        if (whole)
            s.graph->EnableGraph(1);  // invalidates the whole control
        if (paint)
            s.Flush();
        else
            s.root.GetOut(0)->UpdateCurve();
    }
    state.counters["paints/step"] =
        benchmark::Counter(double(s.counter.paints), benchmark::Counter::kAvgIterations);
}

void BM_DragStep(benchmark::State &state) { Drag(state, true, false); }
void BM_DragStepWhole(benchmark::State &state) { Drag(state, true, true); }
void BM_DragStepNoPaint(benchmark::State &state) { Drag(state, false, false); }

} // namespace

BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepNoPaint)->Unit(benchmark::kMicrosecond);
