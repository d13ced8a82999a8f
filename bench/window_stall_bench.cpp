// The longest the window's thread goes without turning its event loop while it lists a folder on a slow
// share: 2,000 release folders, every listing and look-up of the platform layer delayed by 2 ms.
#include <algorithm>
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "app/main_window.h"
#include "ini/ini_file.h"
#include "platform/file_system.h"
#include "temp_dir.h"

namespace {

constexpr int kEntries = 2000;
constexpr int kTickMs = 10;

// Every disk call of the platform layer from now on waits 2 ms as on a slow share, or no longer does.
void SlowEveryCall(bool slow)
{
    if (slow)
        setenv("VERSWEEP_TEST_CALL_DELAY_MS", "2", 1);
    else
        unsetenv("VERSWEEP_TEST_CALL_DELAY_MS");
    versweep::platform::ReadCallDelayForTests();
}

void WaitForListing(const versweep::MainWindow& window)
{
    while (window.isListing())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // the new rows laid out and painted
}

// Each iteration is one relist; "longest_gap_ms" is the longest time between two ticks of a 10 ms timer
// on the window's thread over all of them (10 ms when nothing ever waits).
void ListingOnASlowShare(benchmark::State& state)
{
    const versweep::test::TempDir folder;
    for (int i = 0; i < kEntries; ++i)
        folder.MakeDir("Title" + std::to_string(i / 4) + ".v1." + std::to_string(i % 4) + "-GRP");
    const versweep::test::TempDir settingsFolder;
    const std::string settings = settingsFolder / "versweep.ini";
    versweep::IniFile(settings).WriteString("CONFIG", "vPath", folder.Path());
    versweep::MainWindow window(settings);
    window.show();
    WaitForListing(window);

    SlowEveryCall(true);
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    for (auto _ : state) {
        sinceTick.start();
        ticker.start();
        window.relist();
        WaitForListing(window);
        ticker.stop();
        longest = std::max(longest, sinceTick.elapsed());
    }
    SlowEveryCall(false);
    state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

BENCHMARK(ListingOnASlowShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
