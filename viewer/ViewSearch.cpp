// The automatic search for movers: it runs on a worker thread while the window keeps painting
// and playing; its candidates are drawn along their tracks and listed, and one can become the
// frames' measurements.
#include "viewer/SkyrakeView.h"

#include "platform/CommandIds.h"
#include "platform/Desktop.h"
#include "tools/CandidateDlg.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QPainter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>

#include <cmath>

void CSkyrakeView::OnSearchMovers()
{
    const SearchSnapshot snapshot = searchSnapshot();
    QProgressDialog progress(tr("正在搜索移动目标..."), tr("取消"), 0, 100, window());
    progress.setWindowTitle(tr("搜索移动目标"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    QFutureWatcher<std::vector<Candidate>> search;
    QEventLoop waiting;
    connect(&search, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
    connect(&progress, &QProgressDialog::canceled, &search, &QFutureWatcherBase::cancel);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &waiting, [&] {
        const bool shown = progress.isVisible();
        progress.setValue(std::min(search.progressValue(), 99));
        if (!shown && progress.isVisible())
            waiting.quit(); // input from now on
    });
    poll.start(15);
    search.setFuture(startSearch(snapshot));
    // Until the progress dialog shows (and, window-modal, holds the window's input) no input
    // reaches the window: a search asked for twice would run twice. The frames may change meanwhile
    // all the same (a dialog, a watch): the search reads its own share of them.
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    if (!search.isFinished())
        waiting.exec();
    // Stopped before the list comes up: a later poll would show the progress dialog again, modal
    // over the list.
    poll.stop();
    progress.reset();
    std::optional<std::vector<Candidate>> found = searchResult(search.future());
    if (found && !snapshot.leftOut.isEmpty())
        if (auto* bar = window()->findChild<QStatusBar*>())
            bar->showMessage(tr("未搜索的图片：%1").arg(snapshot.leftOut.join(QStringLiteral("; "))), 20000);
    // A result for frames the sequence no longer holds is dropped.
    if (found && takeFound(snapshot.generation, std::move(*found)))
        OnCandidateList();
}

void CSkyrakeView::OnCandidateList()
{
    CCandidateDlg dialog(
        candidates(), shownFrames(), m_playback.interval(),
        [this](int index) {
            const int frame = std::max(currentIndex(), 0);
            const Candidate& c = candidates()[size_t(index)];
            if (frame < int(c.positions.size()))
                centreOn(c.positions[size_t(frame)]);
        },
        [this](int index) { dismissCandidate(index); }, window());
    std::vector<TrackSky> skies;
    for (const Candidate& c : candidates())
        skies.push_back(trackSky(*this, c.positions));
    dialog.showSky(skies);
    // Beside the picture's centre, where the chosen candidate is shown, not over it.
    dialog.move(mapToGlobal(QPoint(std::max(0, width() - dialog.width() - 16), 16)));
    if (dialog.exec() != QDialog::Accepted || dialog.taken() < 0)
        return;
    measureTrack(candidates()[size_t(dialog.taken())].positions);
}

void CSkyrakeView::OnUpdateCandidateList(CmdUI& ui) const
{
    ui.Enable(!candidates().empty());
}

void CSkyrakeView::centreOn(QPointF picture)
{
    Placement placement = m_placement;
    placement.moveTo(int(std::lround(m_clientRect.width() / 2.0 - picture.x() * placement.zoom())),
                     int(std::lround(m_clientRect.height() / 2.0 - picture.y() * placement.zoom())));
    setPlacement(placement);
}

void CSkyrakeView::DrawCandidates(QPainter& target)
{
    const int frame = currentIndex();
    if (candidates().empty() || frame < 0)
        return;
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    const QColor track(0, 200, 255);
    for (size_t n = 0; n < candidates().size(); ++n) {
        const Candidate& c = candidates()[n];
        if (frame >= int(c.positions.size()))
            continue;
        target.setPen(QPen(track, 1));
        target.setBrush(track);
        for (const QPointF& at : c.positions)
            target.drawEllipse(m_placement.toWindow(at), 1.2, 1.2);
        // A square around the candidate's place in this frame, numbered by rank.
        const QPointF here = m_placement.toWindow(c.positions[size_t(frame)]);
        target.setBrush(Qt::NoBrush);
        target.setPen(QPen(track, 1.5));
        target.drawRect(QRectF(here - QPointF(8, 8), QSizeF(16, 16)));
        target.drawText(here + QPointF(10, -10), QString::number(n + 1));
    }
    target.restore();
}
