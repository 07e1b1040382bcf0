// The response graph of the output page: a shaped equaliser with both crossovers, the selected
// band's area, handles and label, and a second output overlaid in grey.

#include "gallery/Gallery.h"

#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/OutputPageContract.h"
#include "panels/output/CFStatic.h"

#include <QApplication>

namespace {

struct BandShape {
    int band;
    int freq;
    int gainCode;  // tenths of a dB above -20 dB
    int bandwidthIndex;
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

} // namespace

ZK_GALLERY(response_graph)
{
    static CKTV_Data root;
    static bool shaped = false;
    if (!shaped) {
        Shape(*root.GetOut(0),
              {{3, 45, 260, 120}, {9, 160, 165, 90}, {15, 1000, 255, 60}, {21, 3500, 150, 100},
               {27, 12000, 240, 140}},
              35, 16000);
        Shape(*root.GetOut(1), {{6, 90, 270, 140}, {18, 2000, 150, 140}}, 60, 9000);
        shaped = true;
    }
    g_CurveOverlayFlags[1] = 1;
    // The output page's graph: 1014 x 212.
    CCFStatic graph;
    graph.resize(1014, 212);
    graph.SetData(&root, CCFStatic::kDataOutput);
    graph.ShowOutput(0);
    graph.SetMode(CCFStatic::kModeOutput);
    graph.Redraw(15);
    QImage img = Gallery::Shot(graph);
    g_CurveOverlayFlags[1] = 0;
    return img;
}

// A graphic-equaliser output with its high-pass filter switched off and selected: the label shows
// the word for "off" in the language, and the bands move in gain only (no handles).
ZK_GALLERY(response_graph_geq)
{
    static CKTV_Data root;
    static bool shaped = false;
    CKTV_OutData &out = *root.GetOut(3);
    if (!shaped) {
        static const int gains[CKTV_OutData::kBands] = {200, 230, 250, 240, 225, 210, 190, 180, 175, 185, 200,
                                                        205, 210, 200, 195, 190, 200, 215, 225, 230, 220, 210,
                                                        200, 190, 180, 185, 195, 205, 215, 220, 210};
        for (int i = 0; i < CKTV_OutData::kBands; ++i) {
            out.GetBand(i)->SetShortLabel(1);
            out.GetBand(i)->SetGainCode(gains[i]);
        }
        out.GetHpf()->SetSlope(CFilter::kSlopeOff, 1);
        out.GetLpf()->SetFreq(18000, 1);
        out.GetLpf()->SetSlope(2, 1);
        shaped = true;
    }
    CCFStatic graph;
    graph.resize(1014, 212);
    graph.SetData(&root, CCFStatic::kDataOutput);
    graph.ShowOutput(3);
    graph.SetMode(CCFStatic::kModeOutput);
    graph.Redraw(out.GetHpfIndex());
    return Gallery::Shot(graph);
}
