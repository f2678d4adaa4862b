#include "app/FeedCommands.h"

#include "app/MainFrame.h"
#include "feeds/FetchSettings.h"
#include "model/OpenFrames.h"
#include "platform/CommandIds.h"
#include "platform/Desktop.h"
#include "tools/FetchDlg.h"
#include "tools/FetchProgress.h"
#include "viewer/SkyrakeView.h"

#include <QDateTime>
#include <QEvent>

namespace {

// A message line of a fetch's failures: the first few, and how many more there are.
QString failureList(const QStringList& failures)
{
    constexpr int shown = 4;
    QString text = failures.mid(0, shown).join(QStringLiteral("; "));
    if (failures.size() > shown)
        text += FeedCommands::tr("，另有 %1 个").arg(failures.size() - shown);
    return text;
}

} // namespace

FeedCommands::FeedCommands(CMainFrame& frame, CommandMap& commands)
    : QObject(&frame), m_frame(frame), m_watch(*frame.view())
{
    commands.on(cmd::FetchFrames, [this] { OnFetchFrames(); });
    commands.on(cmd::WatchFrames, [this] { OnWatchFrames(); });
    commands.onUpdate(cmd::WatchFrames, [this](CmdUI& ui) { ui.SetCheck(m_watch.isOn()); });
    connect(&m_watch, &FrameWatch::roundStarted, this, &FeedCommands::roundStarted);
    connect(&m_watch, &FrameWatch::framesKept, this, &FeedCommands::framesKept);
    connect(&m_watch, &FrameWatch::searched, this, &FeedCommands::searched);
    m_frame.installEventFilter(this);
}

void FeedCommands::OnFetchFrames()
{
    CFetchDlg dialog(lastFetchRequest(), &m_frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<FetchOutcome> outcome = fetchWithProgress(dialog.request(), &m_frame);
    if (!outcome)
        return;
    CSkyrakeView* view = m_frame.view();
    if (!outcome->paths.isEmpty()) {
        // The latest frames as the sequence, as many as it holds.
        view->OnPlayStop();
        view->clearPictures();
        appendFrames(*view, outcome->paths.mid(std::max<qsizetype>(0, outcome->paths.size() - maxPictures)),
                     view->dpiX(), view->dpiY());
        view->ShowFirst();
        view->InvalidateRect();
    }
    if (!outcome->failures.isEmpty())
        Desktop::instance().messageBox(tr("有些图片没有获取到：%1").arg(failureList(outcome->failures)));
    else if (outcome->paths.isEmpty())
        Desktop::instance().messageBox(tr("档案里没有所要的图片。"));
}

void FeedCommands::OnWatchFrames()
{
    if (m_watch.isOn()) {
        m_watch.stop();
        setTitleNote(QString());
        showMessage(tr("不再监视新图片"));
        return;
    }
    FetchRequest request = lastFetchRequest();
    request.last = maxPictures;
    setTitleNote(tr(" - 监视 %1").arg(QLatin1String(request.feed.title)));
    m_watch.start(request, m_frame.view()->dpiX(), m_frame.view()->dpiY());
}

void FeedCommands::roundStarted()
{
    showMessage(tr("正在获取 %1 的新图片...").arg(QLatin1String(m_watch.request().feed.title)));
}

void FeedCommands::framesKept(int fetched, const QStringList& failures)
{
    CSkyrakeView* view = m_frame.view();
    if (fetched > 0) {
        view->showPicture(std::max(view->currentIndex(), 0));
        view->InvalidateRect();
    }
    // No message box: the observer may be away, and the next round tries again.
    QString text =
        tr("%1 UT：获取了 %2 幅新图片")
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm")), QString::number(fetched));
    if (!failures.isEmpty())
        text += tr("；没有获取到：%1").arg(failureList(failures));
    showMessage(text);
}

void FeedCommands::searched(int candidates)
{
    const QString feed = QLatin1String(m_watch.request().feed.title);
    if (candidates == 0) {
        setTitleNote(tr(" - 监视 %1").arg(feed));
        return;
    }
    setTitleNote(tr(" - 发现 %1 个候选目标").arg(candidates));
    Desktop::instance().notify(tr("SkyRake 发现候选目标"),
                               tr("%1 的最新图片中有 %2 个候选目标").arg(feed).arg(candidates), &m_frame);
}

void FeedCommands::setTitleNote(const QString& note)
{
    QString title = m_frame.windowTitle();
    if (!m_titleNote.isEmpty() && title.endsWith(m_titleNote))
        title.chop(m_titleNote.size());
    m_titleNote = note;
    m_frame.setWindowTitle(title + note);
}

bool FeedCommands::eventFilter(QObject* watched, QEvent* event)
{
    // The view names the window afresh at every drawing; the note stays after its name.
    if (watched == &m_frame && event->type() == QEvent::WindowTitleChange && !m_titleNote.isEmpty() &&
        !m_frame.windowTitle().endsWith(m_titleNote))
        m_frame.setWindowTitle(m_frame.windowTitle() + m_titleNote);
    return QObject::eventFilter(watched, event);
}

void FeedCommands::showMessage(const QString& text) const
{
    m_frame.statusPanes()->setPaneText(Pane::Message, text);
}
