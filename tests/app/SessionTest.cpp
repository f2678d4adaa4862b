// Sessions: Save keeps the work on a sequence, and opening the file restores it, frames that
// are gone named in one message.
#include "ShellFixture.h"

#include "../support/ModalScript.h"
#include "app/Session.h"
#include "model/SkyrakeWork.h"
#include "platform/CommandIds.h"
#include "tools/ConfirmDlg.h"
#include "tools/ReportDlg.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

class Session : public ShellTest
{
protected:
    // Three frames copied under LASCO names into the work folder, loaded, one measured.
    void SetUp() override
    {
        ShellTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            frames << work.filePath(QStringLiteral("20130513_17%1_c3_512.jpg").arg(10 + 12 * i));
            QFile::copy(fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i)), frames.last());
        }
        for (const QString& path : frames) {
            auto loaded = LoadPictureFile(path, view->dpiX(), view->dpiY());
            view->appendPicture(
                std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path));
        }
        view->ShowFirst();
        view->OnNextPicture();
        ModalScript script;
        script.on<CConfirmDlg>([](CConfirmDlg* dialog) { clickButton(dialog, "ok"); });
        script.on<CReportDlg>([](CReportDlg* dialog) { clickButton(dialog, "ok"); });
        script.run([&] { view->OnLButtonDblClk(QPoint(353, 295)); });
        view->OnZoomIn();
        view->OnChannelBlue();
        view->setStretchSettings({StretchCurve::Sqrt, StretchLimits::MinMax, 99.5, true});
        settle();
    }

    // Saves with Save As into `path`, then starts a new program and opens it there.
    void saveAndReopen(const QString& path)
    {
        desktop.saveAs = path;
        ASSERT_TRUE(frame->execute(cmd::FileSaveAs));
        ASSERT_TRUE(isSessionFile(path));
        saved = {view->currentIndex(), view->placement().zoom(), view->report(), view->measurements()};
        app.reset();
        app = std::make_unique<CSkyrakeApp>();
        ASSERT_TRUE(app->InitInstance());
        frame = app->mainFrame();
        view = frame->view();
        desktop.openSession = path;
        ASSERT_TRUE(frame->execute(cmd::FileOpenSession));
        settle();
    }

    struct Saved
    {
        int current;
        double zoom;
        QString report;
        std::vector<Measurement> measured;
    } saved;
    QTemporaryDir work;
    QStringList frames;
};

TEST_F(Session, SaveAndOpenRestoreTheWork)
{
    saveAndReopen(work.filePath(QStringLiteral("hunt.skyrake")));
    EXPECT_TRUE(desktop.messages.isEmpty()) << desktop.messages.join('|').toStdString();
    ASSERT_EQ(view->pictures().GetCount(), 3);
    EXPECT_EQ(view->currentIndex(), saved.current);
    EXPECT_EQ(view->placement().zoom(), saved.zoom);
    EXPECT_FALSE(view->channels().blue);
    EXPECT_EQ(view->stretchSettings().curve, StretchCurve::Sqrt);
    EXPECT_TRUE(view->stretchSettings().invert);
    EXPECT_EQ(view->report(), saved.report);
    const std::vector<Measurement> measured = view->measurements();
    ASSERT_EQ(measured.size(), 1u);
    EXPECT_EQ(measured[0].frame, saved.measured[0].frame);
    EXPECT_EQ(measured[0].position, saved.measured[0].position);
    EXPECT_EQ(measured[0].info.time, saved.measured[0].info.time);
    EXPECT_EQ(pane(4), QStringLiteral("共有3幅图片"));
}

TEST_F(Session, TheWorkAloneRoundTripsWithoutAWindow)
{
    // A session opened into the work alone, no window, holds everything the window's held.
    const QByteArray bytes = sessionOf(*view);
    SkyrakeWork alone;
    const std::optional<RestoredSession> restored = restoreSession(
        alone, bytes, work.filePath(QStringLiteral("hunt.skyrake")), view->dpiX(), view->dpiY());
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->missing.isEmpty());
    EXPECT_EQ(alone.pictures().GetCount(), 3);
    EXPECT_EQ(alone.measurements().size(), 1u);
    EXPECT_EQ(sessionOf(alone, restored->shown), bytes);
}

TEST_F(Session, DismissedCandidatesAreKeptAndOlderFilesWithoutThemOpen)
{
    QStringList names;
    for (const QString& path : frames)
        names << QFileInfo(path).fileName();
    Candidate dismissed;
    dismissed.positions = {{360.5, 300.5}, {352.25, 294.5}, {344.5, 288.75}};
    DismissedCandidates kept;
    kept.dismiss(names, dismissed);
    kept.dismiss({"other.gif"}, [] {
        Candidate c;
        c.positions = {{1, 2}};
        return c;
    }());
    view->setDismissedCandidates(kept);
    const QString path = work.filePath(QStringLiteral("hunt.skyrake"));
    saveAndReopen(path);
    EXPECT_EQ(view->dismissedCandidates(), kept);
    EXPECT_TRUE(view->dismissedCandidates().isDismissed(names, dismissed));

    // A file written before dismissals were kept opens, with none.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject older = QJsonDocument::fromJson(file.readAll()).object();
    older.remove(QStringLiteral("dismissed"));
    ASSERT_TRUE(restoreSession(*view, QJsonDocument(older).toJson(), path));
    EXPECT_EQ(view->pictures().GetCount(), 3);
    EXPECT_TRUE(view->dismissedCandidates().dismissals().empty());
}

TEST_F(Session, AMissingFrameIsNamedAndTheRestRestored)
{
    const QString path = work.filePath(QStringLiteral("hunt.skyrake"));
    desktop.saveAs = path;
    ASSERT_TRUE(frame->execute(cmd::FileSaveAs));
    QFile::remove(frames[0]);
    desktop.openSession = path;
    ASSERT_TRUE(frame->execute(cmd::FileOpenSession));
    settle();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].contains(QStringLiteral("20130513_1710_c3_512.jpg")));
    ASSERT_EQ(view->pictures().GetCount(), 2);
    // The measurement stays with its frame, now the first.
    ASSERT_EQ(view->measurements().size(), 1u);
    EXPECT_EQ(view->measurements()[0].frame, QStringLiteral("20130513_1722_c3_512.jpg"));

    // A file that is no session changes nothing and says so.
    desktop.openSession = frames[1];
    EXPECT_TRUE(frame->execute(cmd::FileOpenSession));
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_EQ(view->pictures().GetCount(), 2);
}

} // namespace
