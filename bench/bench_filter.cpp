// Cost of the equaliser maths on the UI thread: the full response of one output's equaliser
// (31 bands and two crossovers) with its summed curve, one band's drag step (the band's new
// response and the summed curve), and single elements.
//
// Each case runs twice: "Baseline" is the evaluation the program used before (one log10 per grid
// point and element, a division per section, out-of-line conversions per curve point), kept
// below only for this comparison; the other is the program's own code. Divide the two times
// of a pair, measured in the same run, for the speed-up.

#include <benchmark/benchmark.h>

#include <cmath>

#include "model/DataDefine.h"
#include "model/FilterResponse.h"
#include "model/GraphGeometry.h"
#include "model/KTVEQ.h"

namespace {

// ---- The previous evaluation, for comparison only ------------------------------------------------

namespace baseline {

struct GridTrig {
    double c[kFreqPoints];
    double s[kFreqPoints];
    GridTrig()
    {
        for (int i = 0; i < kFreqPoints; ++i) {
            const double w = g_FreqTable241[i] * kRespTwoPi / kRespSampleRate;
            c[i] = std::cos(w);
            s[i] = std::sin(w);
        }
    }
};

const GridTrig &Trig()
{
    static const GridTrig trig;
    return trig;
}

void EvalSections(const BiquadSection *sections, int count, double out[kFreqPoints])
{
    double b0[4], b1[4], b2[4], a1[4], a2[4];
    int n = 0;
    for (int k = 0; k < count && n < 4; ++k, ++n) {
        const BiquadSection &s = sections[k];
        const double a0 = s.a0 == 0.0 ? kRespA0Floor : s.a0;
        b0[n] = s.b0 / a0;
        b1[n] = s.b1 / a0;
        b2[n] = s.b2 / a0;
        a1[n] = s.a1 / a0;
        a2[n] = s.a2 / a0;
    }
    const GridTrig &t = Trig();
    for (int i = 0; i < kFreqPoints; ++i) {
        const double c = t.c[i];
        const double s = t.s[i];
        double ratio = 1.0;
        for (int k = 0; k < n; ++k) {
            const double nr = b0[k] * c + b1[k] + b2[k] * c;
            const double ni = b0[k] * s - b2[k] * s;
            const double dr = c + a1[k] + a2[k] * c;
            const double di = s - a2[k] * s;
            ratio *= (nr * nr + ni * ni) / (dr * dr + di * di);
        }
        if (!(ratio > 1e-200))
            ratio = 1e-200;
        else if (ratio > 1e200)
            ratio = 1e200;
        out[i] = 10.0 * std::log10(ratio);
    }
}

// One element as the equaliser held it: parameters, response and polygon.
struct Element {
    int type = 0;
    int freq = 1000;
    double gain = 0.0;
    double bandwidth = kDefaultBandwidth;
    int family = 0;
    int slope = 2;
    double response[kFreqPoints] = {};
    CPoint poly[graph::kPolyPoints] = {};

    void UpdateResponse(int plotHeight)
    {
        BiquadSection s[4];
        int n = 1;
        if (type == 0) {
            s[0] = DesignPeq(freq, gain, bandwidth);
        } else {
            n = DesignCrossover(type == 3, freq, family, slope, 0, s);
        }
        baseline::EvalSections(s, n, response);
        for (int i = 0; i < kFreqPoints; ++i)
            poly[i + 1].y = GainToIndex(response[i], plotHeight) + graph::kPlotTop;
    }
};

struct OutputEq {
    Element elements[33];
    double sum[kFreqPoints] = {};
    CPoint curve[kFreqPoints] = {};
    float curveF[kFreqPoints] = {};
    int plotHeight = 240;

    void UpdateCurve()
    {
        for (double &v : sum)
            v = 0.0;
        for (const Element &e : elements)
            for (int i = 0; i < kFreqPoints; ++i)
                sum[i] += e.response[i];
        for (int i = 0; i < kFreqPoints; ++i) {
            curve[i].y = GainToIndex(sum[i], plotHeight) + graph::kPlotTop;
            curveF[i] = static_cast<float>(GainToIndexExact(sum[i], plotHeight) + graph::kPlotTop);
        }
    }
};

} // namespace baseline

// ---- The cases -------------------------------------------------------------------------------------

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
    eq.UpdateCurve();
}

void MakeBusyBaselineEq(baseline::OutputEq &eq)
{
    for (int i = 0; i < 31; ++i) {
        baseline::Element &e = eq.elements[i];
        e.freq = g_IsoFreq31[i];
        e.gain = i % 2 ? 6.0 : -6.0;
        e.bandwidth = BandwidthIndexToOct(40 + i);
    }
    eq.elements[31] = baseline::Element{3, 60, 0.0, kDefaultBandwidth, 0, 7};
    eq.elements[32] = baseline::Element{4, 12000, 0.0, kDefaultBandwidth, 0, 7};
    for (baseline::Element &e : eq.elements)
        e.UpdateResponse(eq.plotHeight);
    eq.UpdateCurve();
}

CPoint MarkerCentre(const CFilter &f)
{
    const CRect m = f.GetMarkerRect();
    return CPoint{(m.left + m.right) / 2, (m.top + m.bottom) / 2};
}

// Every element's response computed, then the summed curve.
void BM_OutputFullResponse(benchmark::State &state)
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
BENCHMARK(BM_OutputFullResponse);

void BM_OutputFullResponseBaseline(benchmark::State &state)
{
    baseline::OutputEq eq;
    MakeBusyBaselineEq(eq);
    for (auto _ : state) {
        for (baseline::Element &e : eq.elements)
            e.UpdateResponse(eq.plotHeight);
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.curve[0]);
    }
}
BENCHMARK(BM_OutputFullResponseBaseline);

// One mouse move of a band drag: the band moves (layout, response) and the summed curve follows.
void BM_BandDragStep(benchmark::State &state)
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
BENCHMARK(BM_BandDragStep);

// The same step as the program made it before: the same drag geometry, the band's response
// through the previous evaluation and the previous sum.
void BM_BandDragStepBaseline(benchmark::State &state)
{
    baseline::OutputEq eq;
    MakeBusyBaselineEq(eq);
    baseline::Element &band = eq.elements[17];
    const int W = kPlot.Width();
    const int H = kPlot.Height();
    CRect marker, label, left, right;
    graph::LayoutBandMarker(graph::BandMarkerInput{0, band.freq, band.gain, false, 17, false}, W, H, marker, label);
    const CPoint centre{(marker.left + marker.right) / 2, (marker.top + marker.bottom) / 2};
    const CPoint grab = graph::GrabOffset(marker, centre);
    int step = 0;
    for (auto _ : state) {
        const CPoint p{centre.x + (step & 1 ? 5 : -5), centre.y + (step & 1 ? -7 : 7)};
        ++step;
        const graph::BandDragTarget t = graph::BandDrag(p, grab, W, H, band.freq, false);
        band.freq = t.freq;
        band.gain = GainCodeToDb(GainDbToCode(t.gain));
        graph::LayoutBandMarker(graph::BandMarkerInput{0, band.freq, band.gain, band.gain == 0.0, 17, false}, W, H,
                                marker, label);
        graph::LayoutHandles(marker, band.freq, band.gain, band.bandwidth, W, left, right);
        band.UpdateResponse(eq.plotHeight);
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.curve[0]);
    }
}
BENCHMARK(BM_BandDragStepBaseline);

void BM_CrossoverDragStep(benchmark::State &state)
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
BENCHMARK(BM_CrossoverDragStep);

// The summed curve alone, every element up to date.
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

void BM_SumOnlyBaseline(benchmark::State &state)
{
    baseline::OutputEq eq;
    MakeBusyBaselineEq(eq);
    for (auto _ : state) {
        eq.UpdateCurve();
        benchmark::DoNotOptimize(eq.curve[0]);
    }
}
BENCHMARK(BM_SumOnlyBaseline);

// Single elements, named by what they compute: a peaking band (one section), a Linkwitz-Riley
// 48 dB/oct low-pass (four sections), and a Bessel low-pass set to slope 7, which is drawn from
// the 36 dB/oct row of three factor sections.
int DesignElement(int kind, BiquadSection s[4])
{
    if (kind == 0) {
        s[0] = DesignPeq(1000, 6.0, 0.57);
        return 1;
    }
    return DesignCrossover(false, 5000, kind == 1 ? 0 : 2, 7, 0, s);
}

void BM_ElementResponse(benchmark::State &state, int kind)
{
    BiquadSection s[4];
    const int n = DesignElement(kind, s);
    double out[kFreqPoints];
    for (auto _ : state) {
        EvalSections(s, n, out);
        benchmark::DoNotOptimize(out[0]);
    }
}
BENCHMARK_CAPTURE(BM_ElementResponse, PeqOneSection, 0);
BENCHMARK_CAPTURE(BM_ElementResponse, LinkwitzRiley48LowPassFourSections, 1);
BENCHMARK_CAPTURE(BM_ElementResponse, BesselSlope7LowPassThreeSections, 2);

void BM_ElementResponseBaseline(benchmark::State &state, int kind)
{
    BiquadSection s[4];
    const int n = DesignElement(kind, s);
    double out[kFreqPoints];
    for (auto _ : state) {
        baseline::EvalSections(s, n, out);
        benchmark::DoNotOptimize(out[0]);
    }
}
BENCHMARK_CAPTURE(BM_ElementResponseBaseline, PeqOneSection, 0);
BENCHMARK_CAPTURE(BM_ElementResponseBaseline, LinkwitzRiley48LowPassFourSections, 1);
BENCHMARK_CAPTURE(BM_ElementResponseBaseline, BesselSlope7LowPassThreeSections, 2);

} // namespace
