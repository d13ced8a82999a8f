// The main window's status line: what is checked, what needs a look, and what the last command did.
#include "app/main_window.h"

#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStringList>

#include "release/release_name.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/display_name.h"

namespace versweep {

namespace {

constexpr int kStatusLineHeight = 20;
constexpr int kStatusMargin = 6;
// Enough names to find them in the list; the rest are counted.
constexpr int kNamedAmbiguousTitles = 3;

} // namespace

void MainWindow::buildStatusLine()
{
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName("StatusLine");
    m_statusLine->setFixedHeight(kStatusLineHeight);
    m_statusLine->setContentsMargins(kStatusMargin, 0, kStatusMargin, 0);
    // A long note is cut by the window's edge rather than widening the window.
    m_statusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusLine->setTextFormat(Qt::PlainText);
    m_statusLine->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_statusLine->setAccessibleName(tr("状态"));
}

// After every listing: the hand marks of a rescan come back, and the titles that need a look are named.
void MainWindow::listingShown()
{
    const Listing& listing = m_session.CurrentListing();
    if (m_pendingHandMarks) {
        std::unordered_map<std::string, HandMark> handMarks;
        for (HandMark& mark : *m_pendingHandMarks)
            handMarks.emplace(mark.name, std::move(mark));
        m_pendingHandMarks.reset();
        int kept = 0;
        for (const Entry& entry : listing.Entries()) {
            const auto mark = handMarks.find(entry.name);
            if (mark == handMarks.end() || !entry.identity.Known() || !(entry.identity == mark->second.identity))
                continue;
            m_session.CurrentListing().SetChecked(entry.id, mark->second.checked, MarkReason::Hand);
            ++kept;
        }
        m_statusNote = tr("已重新读取文件夹，保留 %n 个手动标记", nullptr, kept);
    }
    QStringList titles;
    std::set<std::string> seen;
    int more = 0;
    for (const Entry& entry : listing.Entries()) {
        if (!entry.mark.ambiguous || !seen.insert(entry.mark.titleKey).second)
            continue;
        if (titles.size() < kNamedAmbiguousTitles)
            titles << DisplayName(std::string(TitleText(entry.readName)));
        else
            ++more;
    }
    if (more > 0)
        titles << tr("另外 %n 个", nullptr, more);
    m_ambiguousTitles =
        titles.isEmpty() ? QString() : tr("版本号有两种读法：%1").arg(titles.join(QStringLiteral(", ")));
    updateStatus();
}

void MainWindow::showNote(const QString& note)
{
    m_statusNote = note;
    updateStatus();
}

// Called whenever a mark, a size or the listing changes, from wherever the change came.
void MainWindow::updateStatus()
{
    const Listing& listing = m_session.CurrentListing();
    m_deleteButton->setEnabled(listing.CheckedCount() > 0);
    QStringList parts;
    if (listing.IsListed()) {
        const QLocale locale;
        QString counts = tr("已选中 %1 / %2")
                             .arg(locale.toString(static_cast<qulonglong>(listing.CheckedCount())),
                                  locale.toString(static_cast<qulonglong>(listing.Entries().size())));
        const QString total = m_model->index(0).data(CheckListModel::SizeTextRole).toString();
        if (!total.isEmpty() && listing.CheckedCount() > 0)
            counts += QStringLiteral(" · ") + total;
        parts << counts;
        // What the last command did comes before the standing notes, so a long list of titles never hides it.
        if (!m_statusNote.isEmpty())
            parts << m_statusNote;
        if (listing.Error())
            parts << tr("无法读取文件夹：%1").arg(DisplayName(listing.Error()->message));
        if (!m_ambiguousTitles.isEmpty())
            parts << m_ambiguousTitles;
        m_listView->setPlaceholderText(listing.Error() ? QString() : tr("此文件夹中没有可列出的项目。"));
    } else {
        // While the first pass reads a chosen folder, the status line says so; the hint would say none is chosen.
        m_listView->setPlaceholderText(
            isListing() ? QString() : tr("点击“选择整理路径”选择要整理的文件夹，或把文件夹拖到这里。"));
    }
    if (!listing.IsListed() && !m_statusNote.isEmpty())
        parts << m_statusNote;
    if (m_readingShown)
        parts.prepend(readingNote());
    m_statusText = parts.join(QStringLiteral(" · "));
    m_statusLine->setToolTip(m_statusText);
    fitStatusLine();
}

// A line longer than the window ends in "…" rather than being cut mid-letter; the tooltip holds it whole.
void MainWindow::fitStatusLine()
{
    const int room = m_statusLine->contentsRect().width();
    m_statusLine->setText(room > 0 ? m_statusLine->fontMetrics().elidedText(m_statusText, Qt::ElideRight, room)
                                   : m_statusText);
}

} // namespace versweep
