// A long random session through the real main window: thousands of commands from the command
// table, mouse gestures, window resizes and picture-list deletions while playback runs, with the
// view's invariants checked after every step. Seeded and reproducible: a failure names its seed
// (SKYRAKE_SESSION_SEED=N reruns it; SKYRAKE_SESSION_STEPS=N changes the length).
#include "FakeDesktop.h"
#include "Fixtures.h"

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/SkyrakeApp.h"
#include "pictures/PictureListDlg.h"
#include "platform/CommandIds.h"
#include "viewer/SkyrakeView.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Closes whatever modal dialog comes up, as an observer would: the picture list sometimes loses
// a picture first; other dialogs end with OK or Cancel at random.
class DialogCloser
{
public:
    explicit DialogCloser(std::mt19937& random) : m_random(random)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { closeModal(); });
        m_timer.start(5);
    }
    int deletions = 0;

private:
    void closeModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        if (auto* list = qobject_cast<CPictureListDlg*>(dialog)) {
            if (list->m_list->count() > 0 && m_random() % 2) {
                list->m_list->setCurrentRow(int(m_random() % unsigned(list->m_list->count())));
                list->OnDelete();
                ++deletions;
                return; // the dialog stays open for the next round
            }
        }
        if (m_random() % 2)
            dialog->accept();
        else
            dialog->reject();
    }

    std::mt19937& m_random;
    QTimer m_timer;
};

void expectInvariants(const CSkyrakeView& view, unsigned seed, int step)
{
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step);
    // The current position designates a picture of the sequence, or nothing; its name is the
    // current picture's.
    const int current = view.currentIndex();
    ASSERT_LT(current, view.pictures().GetCount());
    ASSERT_EQ(view.currentName().isEmpty(), current < 0);
    // No render was ever asked for without a current picture.
    ASSERT_EQ(view.rendersRefused(), 0);
}

} // namespace

TEST(RandomSession, ThousandsOfStepsKeepTheViewConsistent)
{
    const unsigned seed = unsigned(envInt("SKYRAKE_SESSION_SEED", 20261208));
    const int steps = envInt("SKYRAKE_SESSION_STEPS", 3000);
    std::mt19937 random(seed);
    FakeDesktop desktop;
    const QStringList frames = {fixture(QStringLiteral("derived/c3_synthetic_comet_f0.jpg")),
                                fixture(QStringLiteral("derived/c3_synthetic_comet_f1.jpg")),
                                fixture(QStringLiteral("derived/c3_synthetic_comet_f2.jpg")),
                                fixture(QStringLiteral("derived/c3_synthetic_comet_f3.jpg")),
                                fixture(lasco512Gif),
                                fixture(lasco1024Jpg)};

    CSkyrakeApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.mainFrame();
    frame->resize(900, 700);
    frame->show();
    CSkyrakeView* view = frame->view();
    appendPictures(*view, frames.mid(0, 4));
    view->playback().setInterval(10); // many ticks, so deletions and steps meet running playback
    QTest::qWait(20);
    DialogCloser closer(random);

    // Commands that need no outside program; Exit and Print are left out (they end the session
    // or wait for a printer).
    const int commands[] = {
        cmd::NextPicture, cmd::PrevPicture,  cmd::PlayStart,       cmd::PlayStop,      cmd::ZoomIn,
        cmd::ZoomOut,     cmd::PictureList,  cmd::PanRight,        cmd::PanLeft,       cmd::PanUp,
        cmd::PanDown,     cmd::SetSpeed,     cmd::InitialPosition, cmd::Composite,     cmd::ViewReport,
        cmd::ChannelRed,  cmd::ChannelGreen, cmd::ChannelBlue,     cmd::Grid,          cmd::ImportPictures,
        cmd::FileOpen,    cmd::FileNew,      cmd::ViewToolbar,     cmd::ViewStatusBar, cmd::LinkSungrazerHome,
        cmd::AppAbout,    cmd::EditCopy,     cmd::NextPane};

    for (int step = 0; step < steps; ++step) {
        const unsigned kind = random() % 10;
        if (kind < 5) {
            const int id = commands[random() % std::size(commands)];
            if (id == cmd::ImportPictures || id == cmd::FileOpen) {
                QStringList chosen;
                for (int n = int(random() % 4); n > 0; --n)
                    chosen << frames[random() % unsigned(frames.size())];
                if (random() % 4 == 0)
                    desktop.queueCancel();
                else
                    desktop.queueFiles(chosen);
            }
            frame->execute(id);
        } else if (kind < 8) {
            const QPoint a(int(random() % unsigned(std::max(1, view->width()))),
                           int(random() % unsigned(std::max(1, view->height()))));
            const QPoint b(int(random() % unsigned(std::max(1, view->width()))),
                           int(random() % unsigned(std::max(1, view->height()))));
            switch (random() % 4) {
            case 0:
                QTest::mousePress(view, Qt::LeftButton, {}, a);
                QTest::mouseMove(view, b);
                QTest::mouseRelease(view, Qt::LeftButton, {}, b);
                break;
            case 1:
                QTest::mouseMove(view, a);
                break;
            case 2:
                QTest::mouseDClick(view, Qt::LeftButton, {}, a);
                QTest::mouseRelease(view, Qt::LeftButton, {}, a);
                break;
            default:
                QTest::mousePress(view, Qt::LeftButton, {}, a);
                QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-50, -50)); // outside the view
                break;
            }
        } else if (kind == 8) {
            frame->resize(300 + int(random() % 1000), 250 + int(random() % 800));
        } else {
            QTest::qWait(int(random() % 30)); // let playback ticks and deferred paints run
        }
        QCoreApplication::processEvents();
        expectInvariants(*view, seed, step);
        if (HasFatalFailure())
            return;
    }
    frame->execute(cmd::PlayStop);
    RecordProperty("deletions", closer.deletions);
    EXPECT_GT(closer.deletions, 0) << "seed " << seed;
}
