// Cost of the grid's text file, headless: what a load takes at the bound of what a grid shows,
// and what a file beyond it costs before it is refused.
//
//   ParseAtTheBound   splitting a file of kMaxCells cells (512 columns x 512 lines) into fields.
//   LoadAtTheBound    LoadFromFile of that file into a grid window: parse, fill, column sizes.
//   RefuseWideAndLong LoadFromFile of a 21 KB file of a 1,000-field header and 20,000 blank lines
//                     (20 million cells), refused with the read-error message.
// The counter peak_rss_mb is the process's peak resident memory after the case.

#include <benchmark/benchmark.h>

#include "grid/GridCtrl.h"
#include "grid/GridTextLines.h"
#include "tests/support/TestDoubles.h"

#include "BenchKit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <fstream>
#include <string>

namespace {

std::string AtTheBound()
{
    std::string text;
    for (int line = 0; line < 512; ++line) {
        for (int col = 0; col < 512; ++col) {
            text += col ? "," : "";
            text += "c" + std::to_string((line * 7 + col) % 1000);
        }
        text += "\r\n";
    }
    return text;
}

std::string WideAndLong()
{
    std::string text = "f";
    for (int i = 1; i < 1000; ++i)
        text += ",f";
    return text + "\r\n" + std::string(20000, '\n');
}

void LoadFile(benchmark::State &state, const std::string &bytes, bool loads)
{
    benchkit::OffscreenApp();
    CScriptedMessageBox boxes;
    ScopedMessageBoxService quiet(boxes);
    QTemporaryDir dir;
    const std::string path = dir.filePath("grid.csv").toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    QWidget owner;
    CGridCtrl grid(2, 2, 1, 1);
    grid.Create(QRect(0, 0, 600, 400), &owner, 5, 0);
    for (auto _ : state) {
        if (grid.LoadFromFile(path) != loads)
            state.SkipWithError("unexpected result");
    }
    state.counters["peak_rss_mb"] = benchkit::PeakRssMb();
}

void ParseAtTheBound(benchmark::State &state)
{
    const std::string bytes = AtTheBound();
    for (auto _ : state) {
        auto lines = gridtext::Parse(bytes);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
    state.counters["peak_rss_mb"] = benchkit::PeakRssMb();
}
BENCHMARK(ParseAtTheBound)->Unit(benchmark::kMillisecond);

void LoadAtTheBound(benchmark::State &state) { LoadFile(state, AtTheBound(), true); }
BENCHMARK(LoadAtTheBound)->Unit(benchmark::kMillisecond);

void RefuseWideAndLong(benchmark::State &state) { LoadFile(state, WideAndLong(), false); }
BENCHMARK(RefuseWideAndLong)->Unit(benchmark::kMillisecond);

}  // namespace
