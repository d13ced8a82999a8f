// The longest the window's thread goes without turning its event loop on a slow share, every disk call of the
// platform layer delayed by 2 ms: while it lists 2,000 release folders, previews a folder of 200 files and
// moves 500 checked entries to the trash.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/main_window.h"
#include "ini/ini_file.h"
#include "slow_share.h"
#include "temp_dir.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/file_list_box.h"

namespace {

using versweep::MainWindow;
using versweep::test::TempDir;

constexpr int kListedEntries = 2000;
constexpr int kPreviewedFiles = 200;
constexpr int kTrashedEntries = 500;
constexpr int kCallDelayMs = 2;
constexpr int kTickMs = 10;

// Turns the window's event loop until `done`; the ticker or the work itself always has an event coming.
void WaitUntil(const std::function<bool()>& done)
{
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // what came last laid out and painted
}

// The longest time between two ticks of a 10 ms timer on the window's thread while measuring (10 ms when
// nothing ever waits).
class GapMeter
{
public:
    GapMeter()
    {
        m_ticker.setInterval(kTickMs);
        QObject::connect(&m_ticker, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
    }
    void Start()
    {
        m_sinceTick.start();
        m_ticker.start();
    }
    void Stop()
    {
        m_ticker.stop();
        m_longest = std::max(m_longest, m_sinceTick.elapsed());
    }
    void Report(benchmark::State& state) const
    {
        state.counters["longest_gap_ms"] = static_cast<double>(m_longest);
    }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// A shown window on `folder` with its own settings, its first listing done at full speed.
class WindowOn
{
public:
    explicit WindowOn(const std::string& folder)
    {
        const std::string settings = m_settingsFolder / "versweep.ini";
        versweep::IniFile(settings).WriteString("CONFIG", "vPath", folder);
        m_window = std::make_unique<MainWindow>(settings);
        m_window->show();
        WaitForListing();
    }
    MainWindow* operator->() const { return m_window.get(); }
    void WaitForListing() const
    {
        WaitUntil([this] { return !m_window->isListing(); });
    }
    template <class T>
    T* Find(const char* name) const
    {
        return m_window->findChild<T*>(name);
    }
    // The row of the entry `name`; 0 (the header) when it is not listed.
    QModelIndex Row(const std::string& name) const
    {
        const auto* model =
            static_cast<versweep::CheckListModel*>(Find<versweep::CheckListView>("CheckList")->model());
        for (int row = 1; row < model->rowCount(); ++row) {
            if (model->entryAt(model->index(row))->name == name)
                return model->index(row);
        }
        return model->index(0);
    }

private:
    TempDir m_settingsFolder;
    std::unique_ptr<MainWindow> m_window;
};

// Each iteration is one relist of 2,000 folders.
void ListingOnASlowShare(benchmark::State& state)
{
    const TempDir folder;
    for (int i = 0; i < kListedEntries; ++i)
        folder.MakeDir("Title" + std::to_string(i / 4) + ".v1." + std::to_string(i % 4) + "-GRP");
    const WindowOn window(folder.Path());
    std::optional<versweep::test::SlowShare> slow(std::in_place, kCallDelayMs);
    GapMeter gaps;
    for (auto _ : state) {
        gaps.Start();
        window->relist();
        window.WaitForListing();
        gaps.Stop();
    }
    slow.reset();
    gaps.Report(state);
}

// Each iteration is a click on a row whose folder holds 200 files, until the preview shows them; the rows of two
// such folders take turns, since the folder shown is not read again.
void PreviewOnASlowShare(benchmark::State& state)
{
    const TempDir folder;
    const std::string rows[] = {"Big.v1-GRP", "Big.v2-GRP"};
    for (const std::string& row : rows) {
        for (int i = 0; i < kPreviewedFiles; ++i)
            folder.MakeFile(row + "/part" + std::to_string(i) + ".bin");
    }
    const WindowOn window(folder.Path());
    auto* view = window.Find<versweep::CheckListView>("CheckList");
    auto* preview = window.Find<versweep::FileListBox>("FileListBox");
    std::optional<versweep::test::SlowShare> slow(std::in_place, kCallDelayMs);
    GapMeter gaps;
    int turn = 0;
    for (auto _ : state) {
        const QModelIndex row = window.Row(rows[turn++ % 2]);
        gaps.Start();
        emit view->rowClicked(row);
        WaitUntil([preview] { return !preview->isReading() && preview->count() == kPreviewedFiles; });
        gaps.Stop();
    }
    slow.reset();
    gaps.Report(state);
}

// One batch: the delete button with 500 entries checked, the question answered yes, the moves with their progress
// dialog and the relist after them, into a trash of the private home the benchmarks run in.
void TrashOnASlowShare(benchmark::State& state)
{
    const TempDir folder;
    for (int i = 0; i < kTrashedEntries; ++i) {
        folder.MakeDir("Title" + std::to_string(i) + ".v1-GRP");
        folder.MakeDir("Title" + std::to_string(i) + ".v2-GRP");
    }
    const WindowOn window(folder.Path());
    QString problem;
    // Yes to the question; any other message box is a batch that did not go as asked.
    QTimer answerer;
    answerer.setInterval(kTickMs);
    QObject::connect(&answerer, &QTimer::timeout, [&problem] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (box->objectName() == "DeleteConfirmation") {
            box->button(QMessageBox::Yes)->click();
            return;
        }
        problem = box->text();
        box->accept();
    });
    answerer.start();
    std::optional<versweep::test::SlowShare> slow(std::in_place, kCallDelayMs);
    GapMeter gaps;
    for (auto _ : state) {
        gaps.Start();
        window.Find<QPushButton>("ButtonDelete")->click();
        window.WaitForListing();
        gaps.Stop();
    }
    slow.reset();
    const std::string trashFiles = std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files";
    std::error_code error;
    const auto trashed = std::distance(std::filesystem::directory_iterator(trashFiles, error),
                                       std::filesystem::directory_iterator());
    if (!problem.isEmpty() || trashed != kTrashedEntries)
        state.SkipWithError(("the batch did not move every entry: " + problem.toStdString()).c_str());
    gaps.Report(state);
}

BENCHMARK(ListingOnASlowShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(PreviewOnASlowShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(TrashOnASlowShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
