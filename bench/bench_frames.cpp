// Cost of turning the device image into frames and frames into HID reports: the work the link's
// worker does for every change it sends.

#include "protocol/CommandFrame.h"
#include "link/KTVCommand.h"
#include "protocol/SendData.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"

#include <benchmark/benchmark.h>

static void BM_ItemFrame(benchmark::State &state)
{
    for (auto _ : state) {
        auto item = BuildImageItemFrame(OBJ_OUTPUT, 3, 12);
        benchmark::DoNotOptimize(item);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ItemFrame);

static void BM_OutputBlockFrame(benchmark::State &state)
{
    for (auto _ : state) {
        auto item = BuildImageBlockFrame(0, OBJ_OUTPUT, 7, true);
        benchmark::DoNotOptimize(item);
    }
    state.SetBytesProcessed(state.iterations() * 312);
}
BENCHMARK(BM_OutputBlockFrame);

static void BM_CutOutputBlockIntoReports(benchmark::State &state)
{
    auto item = BuildImageBlockFrame(0, OBJ_OUTPUT, 7, true);
    HidReport report{};
    for (auto _ : state) {
        item->ResetPosition();
        while (item->NextHidReport(report))
            benchmark::DoNotOptimize(report);
    }
    state.SetBytesProcessed(state.iterations() * 312);
}
BENCHMARK(BM_CutOutputBlockIntoReports);

// A whole connection-sized batch queued and answered one by one.
static void BM_QueueBatch(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    CKTVCommand command;
    for (auto _ : state) {
        for (int i = 0; i < count; ++i)
            command.Add(BuildImageItemFrame(OBJ_OUTPUT, i % 8, i % 37));
        while (command.GetCount() > 0)
            command.PopFront();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_QueueBatch)->Arg(19)->Arg(1000);
