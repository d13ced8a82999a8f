// Trash batches and undo on a thread of their own, so the window repaints and answers while they run.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QProgressDialog>
#include <QThread>

namespace versweep {

namespace {

// A batch that ends sooner than this shows no dialog at all.
constexpr int kProgressDelayMs = 400;

} // namespace

BatchReport MainWindow::runBatch(const QString& progressText, std::size_t total,
                                 const std::function<BatchReport(const BatchControl&)>& work)
{
    m_stopBatch = false;
    m_closeAfterBatch = false;
    // Until the dialog shows, nothing in the window may start other work; it keeps painting all the while.
    m_clientPanel->setEnabled(false);
    m_bottomPanel->setEnabled(false);

    QProgressDialog progress(this); // Qt's own Cancel button, in the window's language
    progress.setObjectName("BatchProgress");
    progress.setWindowTitle(windowTitle());
    progress.setLabelText(progressText.arg(0).arg(total));
    progress.setRange(0, static_cast<int>(total));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    // Cancel stops after the entry being moved; the dialog goes at once, the window waits for that entry.
    connect(&progress, &QProgressDialog::canceled, this, [this] { m_stopBatch = true; });

    // Emitted on the batch's thread, delivered to the dialog on the window's; none arrive once it is gone.
    connect(this, &MainWindow::batchProgressed, &progress, [&progress, progressText](quint64 tried, quint64 all) {
        if (progress.wasCanceled())
            return;
        progress.setMaximum(static_cast<int>(all));
        progress.setLabelText(progressText.arg(tried).arg(all));
        progress.setValue(static_cast<int>(tried));
    });
    BatchControl control;
    control.stop = &m_stopBatch;
    control.progress = [this](std::size_t tried, std::size_t all) { emit batchProgressed(tried, all); };
    BatchReport report;
    m_worker = QThread::create([&report, &work, &control] { report = work(control); });
    QEventLoop loop;
    connect(m_worker, &QThread::finished, &loop, &QEventLoop::quit);
    m_worker->start();
    loop.exec();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;

    m_clientPanel->setEnabled(true);
    m_bottomPanel->setEnabled(true);
    return report;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A batch under way stops after the entry it is moving, its record complete; the window waits for that
    // entry alone, and the command that started the batch sees it close and reports nothing.
    if (m_worker != nullptr) {
        m_stopBatch = true;
        m_closeAfterBatch = true;
        m_worker->wait();
    }
    QWidget::closeEvent(event);
}

} // namespace versweep
