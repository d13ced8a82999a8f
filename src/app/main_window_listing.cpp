// The listing pass on a thread of the window's own, and how its result reaches the list.
#include "app/main_window.h"

#include <memory>
#include <utility>
#include <vector>

#include <QLocale>
#include <QThreadPool>
#include <QTimer>

#include "widgets/background_sizer.h"
#include "widgets/check_list_model.h"

namespace versweep {

namespace {

// A pass that ends sooner than this says nothing of itself: the list just changes.
constexpr int kReadingNoteDelayMs = 300;
// How often a longer pass's running count is brought up to date.
constexpr int kReadingCountIntervalMs = 250;

} // namespace

void MainWindow::buildListing()
{
    m_listingPool = new QThreadPool(this);
    m_listingPool->setMaxThreadCount(1);
    m_readingNote = new QTimer(this);
    connect(m_readingNote, &QTimer::timeout, this, &MainWindow::showReadingNote);
    connect(this, &MainWindow::listingPassDone, this, &MainWindow::showListing, Qt::QueuedConnection);
    connect(this, &MainWindow::emptyFoldersFound, this, &MainWindow::checkFoundEmptyFolders, Qt::QueuedConnection);
}

void MainWindow::relist()
{
    m_sizer->cancel();
    const quint64 generation = ++m_listingGeneration;
    // A pass still under way would only be dropped: it ends at its next entry, and this one starts then.
    if (m_pass)
        m_pass->stop = true;
    m_pass = std::make_shared<PassProgress>();
    // The pass touches nothing of the window but what it shares in PassProgress, and the window waits for it
    // when it goes.
    m_listingPool->start([this, generation, pass = m_pass, folder = m_folder, options = listOptions()] {
        if (pass->stop)
            return;
        const platform::ListingControl control{&pass->stop, &pass->entriesRead};
        emit listingPassDone(generation,
                             std::make_shared<ListedFolder>(m_session.ListPass(folder, options, control)));
    });
    m_readingNote->start(kReadingNoteDelayMs);
    updateStatus(); // an empty list no longer offers to choose a folder while one is read
}

void MainWindow::showReadingNote()
{
    if (!isListing()) {
        m_readingNote->stop();
        return;
    }
    m_readingShown = true;
    m_readingNote->start(kReadingCountIntervalMs);
    updateStatus();
}

QString MainWindow::readingNote() const
{
    const std::size_t read = m_pass ? m_pass->entriesRead.load() : 0;
    if (read == 0)
        return tr("正在读取…");
    return tr("正在读取… %1").arg(QLocale().toString(static_cast<qulonglong>(read)));
}

void MainWindow::showListing(quint64 generation, const std::shared_ptr<ListedFolder>& listed)
{
    if (generation != m_listingGeneration)
        return;
    m_shownListing = generation;
    m_readingShown = false;
    m_readingNote->stop();
    // A folder that cannot be listed shows its header alone, without a message, as the window always has.
    static_cast<void>(m_session.Show(std::move(*listed)));
    dropPreviewOfUnlistedFolder();
    rebuildGroupMenu();
    updateDeleteButton();
    // Each entry's size is measured in the background; the list shows sizes as they come.
    std::vector<EntryPath> paths = m_session.EntryPaths();
    m_model->setSizing(!paths.empty());
    m_sizer->start(std::move(paths));
    if (m_afterListing)
        std::exchange(m_afterListing, {})();
    updateStatus();
    // Every batch and undo ends in a listing, so the undo entry follows them here.
    checkUndoable();
}

void MainWindow::checkUndoable()
{
    // The check reads the undo record and looks for its entries in their trashes, which may be on the share.
    m_listingPool->start([this] { emit undoableChecked(m_session.CanUndo()); });
}

} // namespace versweep
