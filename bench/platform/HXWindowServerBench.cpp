// What one sampling tick asks the window system (menu-bar owner, on-screen windows, all windows, running
// applications) with 10 and 50 windows on a real X server and window manager. Run it under
// scripts/with-display.sh.

#include "platform/x11/HXX11Display.h"
#include "platform/x11/HXX11WindowServer.h"
#include "platform/x11/HXX11Workspace.h"

#include <QProcess>

#include <benchmark/benchmark.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kWindowsPerProcess = 5;

// Test window programs with the given number of windows in all, five to a process.
class Windows {
public:
    explicit Windows(int count) {
        for (int first = 0; first < count; first += kWindowsPerProcess) {
            QStringList arguments{QStringLiteral("--class"),
                                  QStringLiteral("qdbench%1,QdBench%1").arg(first / kWindowsPerProcess)};
            for (int i = first; i < std::min(count, first + kWindowsPerProcess); ++i)
                arguments << QStringLiteral("--title") << QStringLiteral("Bench window %1 — ✓").arg(i);
            auto& process = m_processes.emplace_back(std::make_unique<QProcess>());
            process->start(QStringLiteral(QD_TEST_WINDOW_APP), arguments);
            process->waitForReadyRead(10000);
        }
    }
    ~Windows() {
        for (auto& process : m_processes) {
            process->closeWriteChannel();
            process->waitForFinished(3000);
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

bool waitForWindows(HXX11WindowServer& server, int count) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        const auto list = server.allWindows();
        const auto ours =
            list ? std::count_if(list->begin(), list->end(),
                                 [](const HXWindowDescription& d) {
                                     return d.name && d.name->startsWith(QStringLiteral("Bench window"));
                                 })
                 : 0;
        if (ours >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

struct Setup {
    std::shared_ptr<HXX11Display> display = std::make_shared<HXX11Display>();
    HXX11WindowServer server{display};
    HXX11Workspace workspace{display, HXDesktopEntryMatcher::standard()};
};

// Arguments: windows, and whether the four questions share one snapshot (as within a tick) or each
// reads its own.
void BM_TickQueries(benchmark::State& state) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        state.SkipWithError("DISPLAY is not set: run under scripts/with-display.sh");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    const bool shared = state.range(1) != 0;
    Windows windows(count);
    Setup s;
    if (s.display->availability() != HXX11Availability::Available || !waitForWindows(s.server, count)) {
        state.SkipWithError("the windows did not show up");
        return;
    }
    s.display->setSnapshotLifetime(shared ? HXX11Display::kDefaultSnapshotLifetime
                                          : std::chrono::milliseconds(0));
    // The desktop-entry index is built at the first question, not at every tick.
    s.workspace.runningApplications();
    std::size_t listed = 0;
    for (auto _ : state) {
        s.display->invalidateSnapshot();
        const auto owner = s.workspace.menuBarOwner();
        const auto onScreen = s.server.onScreenWindows();
        const auto all = s.server.allWindows();
        const auto applications = s.workspace.runningApplications();
        benchmark::DoNotOptimize(owner);
        listed = all ? all->size() : 0;
        benchmark::DoNotOptimize(onScreen);
        benchmark::DoNotOptimize(applications);
    }
    state.counters["windows listed"] = static_cast<double>(listed);
}

void BM_Snapshot(benchmark::State& state) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        state.SkipWithError("DISPLAY is not set: run under scripts/with-display.sh");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    Windows windows(count);
    Setup s;
    if (s.display->availability() != HXX11Availability::Available || !waitForWindows(s.server, count)) {
        state.SkipWithError("the windows did not show up");
        return;
    }
    for (auto _ : state) {
        s.display->invalidateSnapshot();
        benchmark::DoNotOptimize(s.display->snapshot());
    }
}

} // namespace

BENCHMARK(BM_TickQueries)->ArgsProduct({{10, 50}, {1, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Snapshot)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
