// Cost of the equaliser maths on the UI thread: the full response of one output's equaliser
// (31 bands and two crossovers) with its summed curve, and one band's edit during a drag, where
// only the dragged element is recomputed before the sum.

#include <benchmark/benchmark.h>

#include "model/DataDefine.h"
#include "model/FilterResponse.h"
#include "model/KTVEQ.h"

namespace {

const CRect kPlot{40, 10, 640, 250};

// An output equaliser with every band active and both crossovers at their steepest slope.
void MakeBusyOutputEq(CKTVEQ &eq)
{
    eq.InitOutBands(30, 32, 12, 20, 20000);
    eq.SetPlotRect(kPlot);
    for (int i = 0; i < 31; ++i) {
        eq.GetAt(i)->SetGainCode(i % 2 ? 260 : 140);
        eq.GetAt(i)->SetBandwidthIndex(40 + i);
    }
    eq.GetHighPass()->SetSlope(7, 0);
    eq.GetHighPass()->SetFreq(60, 0);
    eq.GetLowPass()->SetSlope(7, 0);
    eq.GetLowPass()->SetFreq(12000, 0);
}

CPoint MarkerCentre(const CFilter &f)
{
    const CRect m = f.GetMarkerRect();
    return CPoint{(m.left + m.right) / 2, (m.top + m.bottom) / 2};
}

void BM_OutputEqFullResponse(benchmark::State &state)
{
    CKTVEQ eq;
    MakeBusyOutputEq(eq);
    for (auto _ : state) {
        for (int i = 0; i < eq.GetSize(); ++i)
            eq.GetAt(i)->UpdateResponse();
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.m_ptCurve[0]);
    }
}
BENCHMARK(BM_OutputEqFullResponse);

void BM_BandDragMove(benchmark::State &state)
{
    CKTVEQ eq;
    MakeBusyOutputEq(eq);
    CFilter *band = eq.GetAt(17);
    const CPoint centre = MarkerCentre(*band);
    band->BeginDrag(centre);
    int step = 0;
    for (auto _ : state) {
        // Alternate between two points so that every move changes the band.
        const CPoint p{centre.x + (step & 1 ? 5 : -5), centre.y + (step & 1 ? -7 : 7)};
        ++step;
        benchmark::DoNotOptimize(band->DragPoint(p));
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.m_ptCurve[0]);
    }
}
BENCHMARK(BM_BandDragMove);

void BM_CrossoverDragMove(benchmark::State &state)
{
    CKTVEQ eq;
    MakeBusyOutputEq(eq);
    CFilter *lp = eq.GetLowPass();
    const CPoint centre = MarkerCentre(*lp);
    lp->BeginDrag(centre);
    int step = 0;
    for (auto _ : state) {
        const CPoint p{centre.x + (step++ & 1 ? 4 : -4), centre.y};
        benchmark::DoNotOptimize(lp->DragCrossover(p, 60));
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.m_ptCurve[0]);
    }
}
BENCHMARK(BM_CrossoverDragMove);

void BM_SumOnly(benchmark::State &state)
{
    CKTVEQ eq;
    MakeBusyOutputEq(eq);
    for (auto _ : state) {
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.m_ptCurve[0]);
    }
}
BENCHMARK(BM_SumOnly);

void BM_ElementResponse(benchmark::State &state)
{
    // 0: peaking band; 1: 48 dB/oct Linkwitz-Riley low-pass; 2: 48 dB/oct Bessel low-pass.
    const int kind = static_cast<int>(state.range(0));
    double out[kFreqPoints];
    for (auto _ : state) {
        if (kind == 0)
            PeqResponse(1000, 6.0, 0.57, out);
        else
            CrossoverResponse(false, 5000, kind == 1 ? 0 : 2, 7, 0, out);
        benchmark::DoNotOptimize(out[0]);
    }
}
BENCHMARK(BM_ElementResponse)->Arg(0)->Arg(1)->Arg(2);

} // namespace
