// The record tree's hot paths: the worker's idle poll (nothing pending), taking one band change,
// packing the whole tree into the image, unpacking an image (flat, and shaped with every output
// curve drawn afterwards), and a preset file round trip.
#include "link/ChangeScheduler.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/PresetFiles.h"
#include "protocol/SendData.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

struct Setup {
    std::unique_ptr<CKTV_Data> tree;
    std::unique_ptr<CChangeScheduler> scheduler;
    Setup()
    {
        InitGlobalData();
        tree = std::make_unique<CKTV_Data>();
        scheduler = std::make_unique<CChangeScheduler>(*tree);
        {
            std::lock_guard lock(g_csImage);
            std::memcpy(g_CurImage.Name().data(), "Custom", 7);
        }
        SetLastAutoName("Custom");
    }
};

void BM_IdlePoll(benchmark::State &state)
{
    Setup s;
    for (auto _ : state)
        benchmark::DoNotOptimize(s.scheduler->SendNextChange());
}
BENCHMARK(BM_IdlePoll);

// One band edit of the last output taken by the scheduler (the longest walk of the marks).
void BM_TakeLastBand(benchmark::State &state)
{
    Setup s;
    g_bDeviceOnline = 1;
    CFilter *band = s.tree->GetOut(7)->GetBand(30);
    int code = 0;
    for (auto _ : state) {
        state.PauseTiming();
        band->SetGainCode(code = (code + 1) % 400);
        state.ResumeTiming();
        benchmark::DoNotOptimize(s.scheduler->SendNextChange());
    }
    g_bDeviceOnline = 0;
}
BENCHMARK(BM_TakeLastBand);

void BM_FillImage(benchmark::State &state)
{
    Setup s;
    for (auto _ : state)
        s.tree->FillImage();
}
BENCHMARK(BM_FillImage);

void BM_LoadFromImage(benchmark::State &state)
{
    Setup s;
    s.tree->FillImage();
    auto image = std::make_unique<DeviceImage>(g_CurImage);
    for (auto _ : state)
        s.tree->LoadFromImage(*image, 0);
}
BENCHMARK(BM_LoadFromImage);

// Every equaliser element of the tree, for counting how often responses are computed.
unsigned ResponseComputations(CKTV_Data &tree)
{
    unsigned n = 0;
    auto count = [&n](const CKTVEQ &eq) {
        for (int i = 0; i < eq.GetSize(); ++i)
            n += eq.GetAt(i)->GetResponseComputations();
    };
    count(tree.GetEffect().GetEq());
    count(tree.GetMicIn()->GetEq());
    for (int i = 0; i < 6; ++i)
        count(tree.GetMusicIn(i)->GetEq());
    for (int i = 0; i < 8; ++i)
        count(tree.GetOut(i)->GetEq());
    return n;
}

// An image whose equalisers are all shaped (every band off 0 dB, crossovers set), unpacked
// into the tree and then every output's curve drawn, as the graph does with all overlays on.
// "responses" counts the element responses computed per load and draw.
void BM_LoadShapedImageAndDrawOutputs(benchmark::State &state)
{
    Setup s;
    for (int o = 0; o < 8; ++o) {
        CKTV_OutData *out = s.tree->GetOut(o);
        for (int b = 0; b < 31; ++b) {
            out->GetBand(b)->SetGainCode(120 + (b * 7 + o) % 160);
            out->GetBand(b)->SetBandwidthIndex(20 + b);
        }
        out->GetEq().GetHighPass()->SetFreq(40 + o * 10, 0);
        out->GetEq().GetLowPass()->SetFreq(12000 - o * 500, 0);
    }
    s.tree->FillImage();
    auto image = std::make_unique<DeviceImage>(g_CurImage);
    unsigned before = ResponseComputations(*s.tree);
    std::int64_t loads = 0;
    for (auto _ : state) {
        s.tree->LoadFromImage(*image, 0);
        for (int o = 0; o < 8; ++o)
            s.tree->GetOut(o)->UpdateCurve();
        ++loads;
    }
    state.counters["responses"] =
        static_cast<double>(ResponseComputations(*s.tree) - before) / static_cast<double>(loads ? loads : 1);
}
BENCHMARK(BM_LoadShapedImageAndDrawOutputs);

void BM_AllPresetsFileRoundTrip(benchmark::State &state)
{
    Setup s;
    for (auto _ : state) {
        auto out = PresetArchive::ForStoring();
        SerializeAllPresetsFile(*s.tree, out);
        auto in = PresetArchive::ForLoading(std::move(out.bytes));
        benchmark::DoNotOptimize(SerializeAllPresetsFile(*s.tree, in));
    }
}
BENCHMARK(BM_AllPresetsFileRoundTrip);

}  // namespace
