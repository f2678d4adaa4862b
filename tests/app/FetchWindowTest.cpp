// The window's commands for the archives, against an archive on the loopback address: File >
// 获取图片 opens the latest frames fetched as the sequence and names what it could not fetch;
// File > 监视新图片 keeps the latest frames as the sequence, searches them and tells of a candidate.
#include "../support/LoopbackHttp.h"
#include "../support/ModalScript.h"
#include "../support/SampleFiles.h"
#include "ShellFixture.h"

#include "app/FeedCommands.h"
#include "platform/CommandIds.h"
#include "tools/FetchDlg.h"

#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

namespace {

// Frames of yesterday's C3 day folder, 12 minutes apart from midnight, served with their list.
class LoopbackArchive
{
public:
    explicit LoopbackArchive(const QStringList& files)
    {
        const QDate day = QDateTime::currentDateTimeUtc().date().addDays(-1);
        m_folder =
            QStringLiteral("/arch/%1/c3/%2/").arg(day.year()).arg(day.toString(QStringLiteral("yyyyMMdd")));
        for (int i = 0; i < files.size(); ++i) {
            QFile file(files[i]);
            file.open(QIODevice::ReadOnly);
            names << QStringLiteral("%1_%2_c3_512.jpg")
                         .arg(day.toString(QStringLiteral("yyyyMMdd")),
                              QTime(0, 0).addSecs(i * 12 * 60).toString(QStringLiteral("HHmm")));
            http.routes[(m_folder + names.last()).toUtf8()] = Route::whole(file.readAll());
        }
    }

    // The day's list names the first `count` frames.
    void list(int count)
    {
        http.routes[(m_folder + QStringLiteral(".full_512.lst")).toUtf8()] =
            Route::whole(names.mid(0, count).join(QLatin1Char('\n')).toUtf8());
    }
    QString frame(int i) const { return m_folder + names[i]; }

    LoopbackHttp http;
    QStringList names;

private:
    QString m_folder;
};

using FetchWindowTest = ShellTest;

TEST_F(FetchWindowTest, FetchedFramesOpenAsTheSequenceAndWhatFailedIsNamed)
{
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files << fixture(lasco512Jpg);
    LoopbackArchive archive(files);
    ASSERT_TRUE(archive.http.listening());
    archive.list(12);
    archive.http.routes.erase(archive.frame(7).toUtf8()); // 404
    QTemporaryDir library;

    FakeDesktop desktop;
    ModalScript script;
    bool keptOpen = false;
    script.on<CFetchDlg>([&](CFetchDlg* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("source"))
            ->setText(archive.http.url("/arch").toString());
        dialog->findChild<QLineEdit*>(QStringLiteral("library"))->setText(library.path());
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("size"));
        size->setCurrentIndex(size->findData(512));
        // A range that ends before it begins is refused, and the dialog stays.
        auto* from = dialog->findChild<QDateTimeEdit*>(QStringLiteral("from"));
        from->setDateTime(dialog->findChild<QDateTimeEdit*>(QStringLiteral("to"))->dateTime().addSecs(3600));
        dialog->accept();
        keptOpen =
            dialog->isVisible() && desktop.messages == QStringList{QStringLiteral("开始时间晚于结束时间。")};
        dialog->findChild<QSpinBox*>(QStringLiteral("count"))->setValue(12);
        dialog->accept();
    });
    script.run([&] { EXPECT_TRUE(frame->execute(cmd::FetchFrames)); });
    EXPECT_EQ(script.stepsRun(), 1);
    EXPECT_TRUE(keptOpen);

    // Eleven frames came; the latest ten are the sequence, oldest first, the first one shown.
    QStringList latest = archive.names.mid(1);
    latest.removeAt(6);
    EXPECT_EQ(view->frameNames(), latest);
    EXPECT_EQ(view->currentIndex(), 0);
    const QDate day = QDateTime::currentDateTimeUtc().date().addDays(-1);
    EXPECT_TRUE(
        QFile::exists(QStringLiteral("%1/c3/%2/%3")
                          .arg(library.path(), day.toString(QStringLiteral("yyyyMMdd")), latest.last())));
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[1].contains(archive.names[7])) << desktop.messages[1].toStdString();
    EXPECT_TRUE(desktop.messages[1].contains(QStringLiteral("404 Not Found")));
    // Today's folder, not there yet, is no failure: the request found its frames the day before.
    EXPECT_FALSE(desktop.messages[1].contains(QStringLiteral("/arch/"))) << desktop.messages[1].toStdString();
}

TEST_F(FetchWindowTest, ACancelledFetchKeepsTheSequenceAndOnlyWholeFramesAndTheNextGoesOn)
{
    LoopbackArchive archive({fixture(lasco512Jpg), fixture(lasco512Jpg), fixture(lasco512Jpg)});
    archive.list(3);
    const QByteArray stalled = archive.frame(2).toUtf8();
    const Route whole = archive.http.routes[stalled];
    archive.http.routes[stalled] = Route::stall();
    QTemporaryDir library;
    QSettings().setValue(QStringLiteral("Fetch/library"), library.path());
    QSettings().setValue(QStringLiteral("Fetch/c3"), archive.http.url("/arch").toString());
    QSettings().setValue(QStringLiteral("Fetch/size"), 512);
    load({lasco1024Jpg});

    FakeDesktop desktop;
    const auto fetch = [&] {
        ModalScript script;
        script.on<CFetchDlg>([](CFetchDlg* dialog) { dialog->accept(); });
        script.run([&] { frame->execute(cmd::FetchFrames); });
    };
    // Cancelled while the last frame hangs: the progress dialog's button.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
            progress->findChild<QPushButton*>()->click();
    });
    cancel.start(50);
    fetch();
    cancel.stop();
    EXPECT_EQ(view->frameNames(), QStringList{QFileInfo(lasco1024Jpg).fileName()});
    EXPECT_TRUE(desktop.messages.isEmpty());
    const QDir folder(QStringLiteral("%1/c3/%2")
                          .arg(library.path(), QDateTime::currentDateTimeUtc().date().addDays(-1).toString(
                                                   QStringLiteral("yyyyMMdd"))));
    EXPECT_EQ(folder.entryList(QDir::Files), archive.names.mid(0, 2));

    // The next run asks only for the frame it lacks.
    archive.http.routes[stalled] = whole;
    fetch();
    EXPECT_EQ(view->frameNames(), archive.names);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(archive.http.asked[archive.frame(i).toUtf8()], i < 2 ? 1 : 2);
}

TEST_F(FetchWindowTest, WatchingKeepsTheLatestFramesSearchesThemAndTellsOfACandidate)
{
    QTemporaryDir frames, library;
    SampleOptions options;
    options.size = 512;
    options.frames = 12;
    LoopbackArchive archive(writeSampleSequence(frames.path(), options));
    ASSERT_EQ(archive.names.size(), 12);
    archive.list(8);
    QSettings settings;
    settings.setValue(QStringLiteral("Fetch/feed"), QStringLiteral("c3"));
    settings.setValue(QStringLiteral("Fetch/size"), 512);
    settings.setValue(QStringLiteral("Fetch/c3"), archive.http.url("/arch").toString());
    settings.setValue(QStringLiteral("Fetch/library"), library.path());

    FakeDesktop desktop;
    FrameWatch& watch = frame->feeds().watch();
    watch.setInterval(std::chrono::milliseconds(200));
    QSignalSpy kept(&watch, &FrameWatch::framesKept);
    QSignalSpy searched(&watch, &FrameWatch::searched);
    ASSERT_TRUE(frame->execute(cmd::WatchFrames));
    EXPECT_TRUE(frame->action(cmd::WatchFrames)->isChecked());
    ASSERT_TRUE(searched.wait(60000));
    EXPECT_EQ(view->frameNames(), archive.names.mid(0, 8));
    ASSERT_GE(searched.first().first().toInt(), 1);
    EXPECT_FALSE(view->candidates().empty());
    ASSERT_EQ(desktop.notifications.size(), 1);
    EXPECT_TRUE(desktop.notifications[0].contains(QStringLiteral("SOHO LASCO C3")));
    EXPECT_TRUE(frame->windowTitle().contains(QStringLiteral("发现"))) << frame->windowTitle().toStdString();
    view->InvalidateRect(); // the view names the window again when it draws; the note stays
    settle();
    EXPECT_TRUE(frame->windowTitle().contains(QStringLiteral("发现")));

    // Four more frames: the sequence becomes the latest ten, and a frame that stays keeps its
    // measurement.
    view->setMeasurement(3, QPointF(100, 100), QPointF(100.5, 100.5), false);
    archive.list(12);
    kept.clear();
    const auto fourNew = [&] {
        for (const QList<QVariant>& round : kept)
            if (round.first().toInt() == 4)
                return true;
        return false;
    };
    for (int i = 0; i < 100 && !fourNew(); ++i)
        kept.wait(1000);
    ASSERT_TRUE(fourNew());
    EXPECT_EQ(view->frameNames(), archive.names.mid(2));
    ASSERT_TRUE(view->measurementAt(1));
    EXPECT_EQ(view->measurementAt(1)->position, QPointF(100.5, 100.5));

    ASSERT_TRUE(frame->execute(cmd::WatchFrames));
    EXPECT_FALSE(watch.isOn());
    EXPECT_FALSE(frame->windowTitle().contains(QStringLiteral("监视")));
    EXPECT_FALSE(frame->windowTitle().contains(QStringLiteral("发现")));
}

} // namespace
