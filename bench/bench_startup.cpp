// Start to first painted window of zk470 against a bare Qt window of the same size, and the
// program's resident memory across 200 window sizes. Each run starts the program afresh, headless
// (QT_QPA_PLATFORM=offscreen unless set), with settings that name loopback only; the program
// prints the time of its first painted frame (see platform/qt/StartupProbe.h).
//
//   build/bench/bench_startup --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
//
// With ZK_BENCH_BASELINE_BIN naming another build of the program (the code before a change), the
// two are also timed in turn and their ratio reported:
//
//   ZK_BENCH_BASELINE_BIN=/path/to/old/build/app/zk470 build/bench/bench_startup --benchmark_filter=Baseline

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

long long MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

struct Settings {
    QTemporaryDir dir;
    Settings()
    {
        QDir(dir.path()).mkpath(QStringLiteral("ZK-470"));
        QFile f(dir.path() + QStringLiteral("/ZK-470/QX-ZK-470-GV1.00_GB2312.conf"));
        if (f.open(QIODevice::WriteOnly))
            f.write("[Network]\nAddress=127.0.0.1\n");
    }
};

// Runs a program with the probe on; its printed lines, or empty when it failed.
QByteArray RunProbed(const char *program, const QString &var, const QString &value, const Settings &s)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), s.dir.path());
    env.insert(var, value);
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    env.insert(QStringLiteral("ZK_PROBE_START_NS"), QString::number(MonotonicNs()));
    p.setProcessEnvironment(env);
    p.start(QString::fromLocal8Bit(program), {});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

double FirstPaintMs(const char *program, const Settings &s)
{
    const QByteArray out = RunProbed(program, QStringLiteral("ZK_PROBE_FIRST_PAINT"), QStringLiteral("1"), s);
    const int at = out.indexOf("first-paint-ms ");
    return at < 0 ? -1 : out.mid(at + 15).trimmed().split('\n').first().toDouble();
}

void BM_FirstPaint(benchmark::State &state, const char *program)
{
    Settings s;
    for (auto _ : state) {
        const double ms = FirstPaintMs(program, s);
        if (ms < 0) {
            state.SkipWithError("the program did not report its first paint");
            return;
        }
        state.SetIterationTime(ms / 1000);
    }
}

// Both programs in turn, so that the ratio compares runs of the same moment.
void BM_FirstPaintRatio(benchmark::State &state)
{
    Settings s;
    double bare = 0, app = 0;
    for (auto _ : state) {
        const double b = FirstPaintMs(ZK_BARE_WINDOW_BIN, s), a = FirstPaintMs(ZK_APP_BIN, s);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program did not report its first paint");
            return;
        }
        bare += b;
        app += a;
        state.SetIterationTime((a + b) / 1000);
    }
    state.counters["bare_ms"] = bare / double(state.iterations());
    state.counters["zk470_ms"] = app / double(state.iterations());
    state.counters["ratio"] = bare > 0 ? app / bare : 0;
}

// This build against the baseline build, in turn, so that both are timed at the same moment.
void BM_FirstPaintAgainstBaseline(benchmark::State &state, std::string baseline)
{
    Settings s;
    double before = 0, after = 0;
    for (auto _ : state) {
        const double b = FirstPaintMs(baseline.c_str(), s), a = FirstPaintMs(ZK_APP_BIN, s);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program did not report its first paint");
            return;
        }
        before += b;
        after += a;
        state.SetIterationTime((a + b) / 1000);
    }
    state.counters["baseline_ms"] = before / double(state.iterations());
    state.counters["zk470_ms"] = after / double(state.iterations());
    state.counters["ratio"] = before > 0 ? after / before : 0;
}

const bool g_baselineRegistered = [] {
    const char *baseline = std::getenv("ZK_BENCH_BASELINE_BIN");
    if (baseline == nullptr || baseline[0] == '\0')
        return false;
    benchmark::RegisterBenchmark("BM_FirstPaintAgainstBaseline", BM_FirstPaintAgainstBaseline, std::string(baseline))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    return true;
}();

void BM_ResidentAfter200Resizes(benchmark::State &state)
{
    Settings s;
    for (auto _ : state) {
        const QByteArray out = RunProbed(ZK_APP_BIN, QStringLiteral("ZK_PROBE_RESIZES"), QStringLiteral("200"), s);
        const int at = out.indexOf("rss-kb ");
        if (at < 0) {
            state.SkipWithError("the program did not report its memory");
            return;
        }
        const QList<QByteArray> kb = out.mid(at + 7).trimmed().split('\n').first().split(' ');
        if (kb.size() < 2) {
            state.SkipWithError("unreadable memory report");
            return;
        }
        state.counters["rss_before_mb"] = kb[0].toDouble() / 1024;
        state.counters["rss_after_mb"] = kb[1].toDouble() / 1024;
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_FirstPaint, bare_qt_window, ZK_BARE_WINDOW_BIN)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_FirstPaint, zk470, ZK_APP_BIN)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FirstPaintRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResidentAfter200Resizes)->Unit(benchmark::kMillisecond)->Iterations(1);
