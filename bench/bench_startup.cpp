// Start to first painted window of zk470 against a bare Qt window of the same size, the peak
// resident memory of both at that moment, and the program's resident memory across 200 window
// sizes. Each run starts the program afresh, headless (QT_QPA_PLATFORM=offscreen unless set), with
// settings that name loopback and a port where nothing listens, so the program's automatic
// connection is refused at once and no simulator on the machine can answer it; the program
// prints the time of its first painted frame and its peak memory (platform/qt/StartupProbe.h).
//
//   build/bench/bench_startup --benchmark_filter=AgainstBareWindow
//
// The two programs run in turn (bare window, program, bare window, ...), so the ratios compare
// runs of the same moment; min and median of each are reported as counters. On a busy machine
// prefer the min. ZK_BENCH_RUNS sets the number of runs of each program (default 9, at least 7).
// With ZK_BENCH_BASELINE_BIN naming another build of the program (the code before a change), that
// build and this one are compared the same way:
//
//   ZK_BENCH_BASELINE_BIN=/path/to/old/build/app/zk470 build/bench/bench_startup --benchmark_filter=Baseline

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

long long MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// A loopback TCP port bound but never listening: while this holds it nobody else can listen
// there, and a connection to it is refused at once.
class ClosedPort {
public:
    ClosedPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
            m_port = ntohs(a.sin_port);
    }
    ~ClosedPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ClosedPort(const ClosedPort &) = delete;
    ClosedPort &operator=(const ClosedPort &) = delete;
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

struct Settings {
    ClosedPort port;
    QTemporaryDir dir;
    Settings()
    {
        QDir(dir.path()).mkpath(QStringLiteral("ZK-470"));
        QFile f(dir.path() + QStringLiteral("/ZK-470/QX-ZK-470-GV1.00_GB2312.conf"));
        if (port.Port() > 0 && f.open(QIODevice::WriteOnly))
            f.write("[Network]\nAddress=127.0.0.1\nPort=" + QByteArray::number(port.Port()) + "\n");
    }
    bool Usable() const { return port.Port() > 0 && QFile::exists(dir.path() + QStringLiteral("/ZK-470")); }
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

// The rest of the printed line that starts with `name`, or empty.
QByteArray Line(const QByteArray &out, const QByteArray &name)
{
    for (const QByteArray &line : out.split('\n'))
        if (line.startsWith(name + ' '))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

double Field(const QByteArray &out, const QByteArray &name)
{
    const QByteArray value = Line(out, name);
    return value.isEmpty() ? -1 : value.toDouble();
}

struct FirstPaint {
    double ms = -1;
    double peakMiB = -1;
};

FirstPaint Run(const char *program, const Settings &s)
{
    const QByteArray out = RunProbed(program, QStringLiteral("ZK_PROBE_FIRST_PAINT"), QStringLiteral("1"), s);
    FirstPaint r;
    r.ms = Field(out, "first-paint-ms");
    const double kb = Field(out, "peak-rss-kb");
    r.peakMiB = kb < 0 ? -1 : kb / 1024;
    return r;
}

double Min(std::vector<double> v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int Runs()
{
    const int n = qEnvironmentVariableIntValue("ZK_BENCH_RUNS");
    return n >= 7 ? n : 9;
}

void BM_FirstPaint(benchmark::State &state, const char *program)
{
    Settings s;
    if (!s.Usable()) {
        state.SkipWithError("no temporary settings or no closed loopback port");
        return;
    }
    std::vector<double> peaks;
    for (auto _ : state) {
        const FirstPaint r = Run(program, s);
        if (r.ms < 0) {
            state.SkipWithError("the program did not report its first paint");
            return;
        }
        peaks.push_back(r.peakMiB);
        state.SetIterationTime(r.ms / 1000);
    }
    state.counters["peak_mib"] = Median(peaks);
}

// `subject` against `yardstick`, run in turn; min and median of the time to the first painted
// frame and of the peak memory at that moment, and the ratios subject / yardstick.
void Compare(benchmark::State &state, const char *yardstick, const char *subject, const char *yName,
             const char *sName)
{
    Settings s;
    if (!s.Usable()) {
        state.SkipWithError("no temporary settings or no closed loopback port");
        return;
    }
    std::vector<double> yMs, sMs, yMiB, sMiB;
    for (auto _ : state) {
        const FirstPaint y = Run(yardstick, s);
        const FirstPaint x = Run(subject, s);
        if (x.ms < 0 || y.ms < 0) {
            state.SkipWithError("a program did not report its first paint");
            return;
        }
        yMs.push_back(y.ms);
        sMs.push_back(x.ms);
        yMiB.push_back(y.peakMiB);
        sMiB.push_back(x.peakMiB);
        state.SetIterationTime((x.ms + y.ms) / 1000);
    }
    // Min and median of both programs and their ratios, for one measure.
    const auto report = [&](const std::string &measure, const std::string &ratio, const std::vector<double> &yv,
                            const std::vector<double> &sv) {
        state.counters[std::string(yName) + measure + "min" + ratio] = Min(yv);
        state.counters[std::string(yName) + measure + "median" + ratio] = Median(yv);
        state.counters[std::string(sName) + measure + "min" + ratio] = Min(sv);
        state.counters[std::string(sName) + measure + "median" + ratio] = Median(sv);
    };
    const auto ratios = [&](const std::string &name, const std::vector<double> &yv, const std::vector<double> &sv) {
        state.counters[name + "_ratio_min"] = Min(sv) / std::max(Min(yv), 1e-9);
        state.counters[name + "_ratio_median"] = Median(sv) / std::max(Median(yv), 1e-9);
    };
    report("_", "_ms", yMs, sMs);
    ratios("time", yMs, sMs);
    if (Min(yMiB) <= 0 || Min(sMiB) <= 0)
        return;  // a program that reports no peak memory
    report("_peak_", "_mib", yMiB, sMiB);
    ratios("peak", yMiB, sMiB);
}

void BM_FirstPaintAgainstBareWindow(benchmark::State &state)
{
    Compare(state, ZK_BARE_WINDOW_BIN, ZK_APP_BIN, "bare", "zk470");
}

void BM_FirstPaintAgainstBaseline(benchmark::State &state, std::string baseline)
{
    Compare(state, baseline.c_str(), ZK_APP_BIN, "baseline", "zk470");
}

const bool g_baselineRegistered = [] {
    const char *baseline = std::getenv("ZK_BENCH_BASELINE_BIN");
    if (baseline == nullptr || baseline[0] == '\0')
        return false;
    benchmark::RegisterBenchmark("BM_FirstPaintAgainstBaseline", BM_FirstPaintAgainstBaseline, std::string(baseline))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(Runs());
    return true;
}();

void BM_ResidentAfter200Resizes(benchmark::State &state)
{
    Settings s;
    for (auto _ : state) {
        const QByteArray out = RunProbed(ZK_APP_BIN, QStringLiteral("ZK_PROBE_RESIZES"), QStringLiteral("200"), s);
        const QByteArray line = Line(out, "rss-kb");
        if (line.isEmpty()) {
            state.SkipWithError("the program did not report its memory");
            return;
        }
        const QList<QByteArray> kb = line.split(' ');
        if (kb.size() < 2) {
            state.SkipWithError("unreadable memory report");
            return;
        }
        state.counters["rss_before_mb"] = kb[0].toDouble() / 1024;
        state.counters["rss_after_mb"] = kb[1].toDouble() / 1024;
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_FirstPaint, bare_qt_window, ZK_BARE_WINDOW_BIN)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(Runs());
BENCHMARK_CAPTURE(BM_FirstPaint, zk470, ZK_APP_BIN)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(Runs());
BENCHMARK(BM_FirstPaintAgainstBareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(Runs());
BENCHMARK(BM_ResidentAfter200Resizes)->Unit(benchmark::kMillisecond)->Iterations(1);
