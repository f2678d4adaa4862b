// The automatic search for movers: it runs on a worker thread while the window keeps painting
// and playing; its candidates are drawn along their tracks and listed, and one can become the
// frames' measurements.
#include "viewer/SkyrakeView.h"

#include "platform/CommandIds.h"
#include "platform/Desktop.h"
#include "tools/CandidateDlg.h"

#include <QCoreApplication>
#include <QPainter>
#include <QProgressDialog>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>

void CSkyrakeView::OnSearchMovers()
{
    const std::vector<SearchFrame> frames = searchFrames();
    const SearchOptions options = searchOptions();
    QProgressDialog progress(tr("正在搜索移动目标..."), tr("取消"), 0, 100, window());
    progress.setWindowTitle(tr("搜索移动目标"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    std::atomic<int> done{0};
    std::atomic<bool> cancelled{false};
    auto search = std::async(std::launch::async, [&] {
        return searchMovers(frames, options, [&](int percent) {
            done = percent;
            return !cancelled.load();
        });
    });
    // The pictures must stay as they are while the search reads them: until the progress dialog
    // shows (and, window-modal, holds the window's input) no input reaches the window at all.
    using namespace std::chrono_literals;
    while (search.wait_for(15ms) != std::future_status::ready) {
        progress.setValue(std::min(done.load(), 99));
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        if (progress.wasCanceled())
            cancelled = true;
    }
    std::vector<Candidate> found = search.get();
    progress.reset();
    if (cancelled)
        return;
    setFound(std::move(found));
    OnCandidateList();
}

void CSkyrakeView::OnCandidateList()
{
    std::vector<CutoutFrame> frames;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        frames.push_back({PictureList::GetAt(pos)->m_pPicture.get(), PictureList::GetAt(pos)->m_name});
    CCandidateDlg dialog(
        candidates(), std::move(frames), m_playback.interval(),
        [this](int index) {
            const int frame = std::max(currentIndex(), 0);
            const Candidate& c = candidates()[size_t(index)];
            if (frame < int(c.positions.size()))
                centreOn(c.positions[size_t(frame)]);
        },
        [this](int index) { dismissCandidate(index); }, window());
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
    const auto toWindow = [this](QPointF picture) {
        return QPointF(m_placement.offsetX() + picture.x() * m_placement.zoom(),
                       m_placement.offsetY() + picture.y() * m_placement.zoom());
    };
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
            target.drawEllipse(toWindow(at), 1.2, 1.2);
        // A square around the candidate's place in this frame, numbered by rank.
        const QPointF here = toWindow(c.positions[size_t(frame)]);
        target.setBrush(Qt::NoBrush);
        target.setPen(QPen(track, 1.5));
        target.drawRect(QRectF(here - QPointF(8, 8), QSizeF(16, 16)));
        target.drawText(here + QPointF(10, -10), QString::number(n + 1));
    }
    target.restore();
}
