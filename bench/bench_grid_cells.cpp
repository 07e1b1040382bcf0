// Cost of huge cell texts in the grid window, headless: a clipboard of megabytes pasted into a
// small grid, and a cell of megabytes painted.
//
//   PasteLineFeeds   PasteData of 10,000,000 line feeds into (1, 1) of a 10 x 10 grid (one fixed
//                    row and column): nine rows take a field each, the rest is never read.
//   PaintHugeCell/0  DrawCell of a 262 x 24 pixel cell (the preset list's format and 16-pixel font)
//                    holding 4 MiB of NULs; /1 the same of letters.
// The counter peak_rss_mb is the process's peak resident memory after the case: run one case per
// process (--benchmark_filter) to read it for that case.

#include <benchmark/benchmark.h>

#include "grid/GridCtrl.h"
#include "platform/qt/DrawText.h"

#include "BenchKit.h"

#include <QApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

namespace {

void PasteLineFeeds(benchmark::State &state)
{
    benchkit::OffscreenApp();
    QWidget owner;
    CGridCtrl grid(10, 10, 1, 1);
    grid.Create(QRect(0, 0, 600, 400), &owner, 5, 0);
    grid.SetEditable(true);
    QMimeData data;
    data.setText(QString(10'000'000, u'\n'));
    for (auto _ : state) {
        if (!grid.PasteData({1, 1}, &data))
            state.SkipWithError("paste refused");
    }
    state.counters["peak_rss_mb"] = benchkit::PeakRssMb();
}
BENCHMARK(PasteLineFeeds)->Unit(benchmark::kMillisecond);

void PaintHugeCell(benchmark::State &state)
{
    benchkit::OffscreenApp();
    QWidget owner;
    CGridCtrl grid(2, 2, 1, 1);
    grid.Create(QRect(0, 0, 600, 400), &owner, 5, 0);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    grid.SetFont(font);
    const QString text(qsizetype(4) << 20, state.range(0) ? u'x' : QChar(0));
    grid.SetItemText(1, 1, text);
    grid.SetItemFormat(1, 1, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    QImage image(262, 24, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        grid.DrawCell(p, 1, 1, CRect{0, 0, 261, 23}, true);
    }
    state.counters["peak_rss_mb"] = benchkit::PeakRssMb();
}
BENCHMARK(PaintHugeCell)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
