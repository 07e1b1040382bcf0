// The record tree's hot paths: the worker's idle poll (nothing pending), taking one band change,
// packing the whole tree into the image, unpacking an image, and a preset file round trip.
#include "link/ChangeScheduler.h"
#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "model/PresetFiles.h"
#include "protocol/SendData.h"

#include <benchmark/benchmark.h>

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
