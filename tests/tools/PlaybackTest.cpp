// Blink playback driven tick by tick: which picture each tick shows, which timer is armed and
// with which interval, and how stop, step, start and the speed dialog meet the wrap pause.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ModalScript.h"
#include "../support/ViewHarness.h"
#include "platform/CommandIds.h"
#include "tools/SpeedDlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace {

const QString f0 = QStringLiteral("c3_synthetic_comet_f0.jpg");
const QString f1 = QStringLiteral("c3_synthetic_comet_f1.jpg");
const QString f2 = QStringLiteral("c3_synthetic_comet_f2.jpg");

class BlinkPlayback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.load({fixture("derived/" + f0), fixture("derived/" + f1), fixture("derived/" + f2)});
    }

    QString shown() const { return harness.pane(3); }
    bool ticking() const { return view->playback().timer().isActive(); }
    int interval() const { return view->playback().timer().interval(); }

    FakeDesktop desktop;
    ViewHarness harness;
    CSkyrakeView* view = harness.view;
};

// A picture that cannot be rendered: its HIMETRIC extent is empty.
std::unique_ptr<CPictureItem> unrenderable(const QString& name)
{
    QImage pixels(8, 8, QImage::Format_RGB32);
    pixels.fill(Qt::white);
    return std::make_unique<CPictureItem>(std::make_unique<Picture>(pixels, 0, 0), name, name);
}

} // namespace

TEST_F(BlinkPlayback, TicksAdvanceAndTheWrapPausesBeforeTheHead)
{
    view->OnPlayStart();
    EXPECT_TRUE(view->playback().isPlaying());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 300);
    EXPECT_EQ(shown(), f0); // nothing drawn at once

    view->OnTimer();
    EXPECT_EQ(shown(), f1);
    view->OnTimer();
    EXPECT_EQ(shown(), f2);

    // From the last picture: the ticks stop for 500 ms while the last picture stays on ...
    view->OnTimer();
    EXPECT_EQ(shown(), f2);
    EXPECT_EQ(view->currentIndex(), view->pictures().GetCount() - 1);
    EXPECT_FALSE(ticking());
    EXPECT_TRUE(view->playback().isPausing());
    EXPECT_EQ(view->playback().pauseTimer().interval(), 500);
    EXPECT_TRUE(view->playback().pauseTimer().isSingleShot());

    // ... then the head is shown and the next tick is one full interval later.
    view->endPlaybackPause();
    EXPECT_EQ(shown(), f0);
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 300);
    EXPECT_FALSE(view->playback().isPausing());
    EXPECT_TRUE(view->playback().isPlaying());
    view->OnPlayStop();
}

TEST_F(BlinkPlayback, StartWhilePlayingReArmsTheOneTimerAndStopTwiceIsHarmless)
{
    view->OnPlayStart();
    view->playback().setInterval(700);
    view->OnPlayStart();
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 700);
    EXPECT_EQ(view->findChildren<QTimer*>().size(), 0); // the view's timers are members, not extra children

    view->OnPlayStop();
    EXPECT_FALSE(view->playback().isPlaying());
    EXPECT_FALSE(ticking());
    view->OnPlayStop();
    EXPECT_FALSE(view->playback().isPlaying());
    EXPECT_FALSE(ticking());
    EXPECT_EQ(shown(), f0);
}

TEST_F(BlinkPlayback, StepsDuringPlaybackMoveThePositionTheTicksContinueFrom)
{
    view->OnPlayStart();
    view->OnNextPicture();
    EXPECT_EQ(shown(), f1);
    view->OnTimer();
    EXPECT_EQ(shown(), f2);
    view->OnPrevPicture();
    view->OnPrevPicture();
    EXPECT_EQ(shown(), f0);
    view->OnPrevPicture(); // previous at the first shows the last
    EXPECT_EQ(shown(), f2);
    view->OnNextPicture(); // next at the last shows the first
    EXPECT_EQ(shown(), f0);
    view->OnTimer();
    EXPECT_EQ(shown(), f1);
    EXPECT_TRUE(view->playback().isPlaying());
    view->OnPlayStop();
}

// During the wrap pause the window stays live. Stop keeps the last picture; a step ends the pause
// and the ticks go on from the step's picture; start re-arms the ticks, so the next tick wraps
// again with its pause.
TEST_F(BlinkPlayback, StopStepAndStartDuringTheWrapPause)
{
    view->OnPlayStart();
    view->OnTimer();
    view->OnTimer();
    view->OnTimer();
    ASSERT_TRUE(view->playback().isPausing());
    view->OnPlayStop();
    EXPECT_FALSE(view->playback().isPausing());
    EXPECT_FALSE(ticking());
    EXPECT_EQ(shown(), f2);

    view->OnPlayStart();
    view->OnTimer();
    ASSERT_TRUE(view->playback().isPausing());
    view->OnNextPicture();
    EXPECT_FALSE(view->playback().isPausing());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(shown(), f0);
    view->OnTimer();
    EXPECT_EQ(shown(), f1);

    view->OnTimer();
    view->OnTimer();
    ASSERT_TRUE(view->playback().isPausing());
    view->OnPlayStart();
    EXPECT_FALSE(view->playback().isPausing());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(shown(), f2);
    view->OnTimer();
    EXPECT_TRUE(view->playback().isPausing());
    view->OnPlayStop();
}

TEST_F(BlinkPlayback, ACompositeDuringTheWrapPauseLetsTheNextTickShowTheSecondPicture)
{
    view->OnPlayStart();
    view->OnTimer();
    view->OnTimer();
    view->OnTimer();
    ASSERT_TRUE(view->playback().isPausing());
    view->OnComposite();
    EXPECT_FALSE(view->playback().isPausing());
    EXPECT_TRUE(ticking());
    view->OnTimer();
    EXPECT_EQ(shown(), f1);
    view->OnPlayStop();
}

TEST_F(BlinkPlayback, AFailedRenderOnATickShowsTheMessageThenStops)
{
    view->appendPicture(unrenderable("bad"));
    view->OnNextPicture();
    view->OnNextPicture();
    view->OnPlayStart();
    bool tickingDuringMessage = false;
    desktop.onMessage = [&](const QString&) {
        tickingDuringMessage = ticking() && view->playback().isPlaying();
        view->OnTimer(); // a tick arriving while the message is open waits
    };
    view->OnTimer();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("渲染图像失败！")});
    EXPECT_TRUE(tickingDuringMessage);
    EXPECT_FALSE(view->playback().isPlaying());
    EXPECT_FALSE(ticking());
    EXPECT_EQ(view->currentName(), QStringLiteral("bad"));
}

TEST_F(BlinkPlayback, AFailedRenderOnAStepLeavesPlaybackRunning)
{
    view->appendPicture(unrenderable("bad"));
    view->OnPlayStart();
    view->OnPrevPicture();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("渲染图像失败！")});
    EXPECT_TRUE(view->playback().isPlaying());
    EXPECT_TRUE(ticking());
    view->OnPlayStop();
}

TEST_F(BlinkPlayback, TicksDoNothingWithoutACurrentPicture)
{
    // Pictures present, none current yet (an import still under way).
    ViewHarness other;
    other.view->appendPicture(unrenderable("a"));
    other.view->appendPicture(unrenderable("b"));
    other.view->OnPlayStart();
    other.view->OnTimer();
    EXPECT_EQ(other.view->currentIndex(), -1);
    EXPECT_FALSE(other.view->playback().isPausing());
    EXPECT_TRUE(desktop.messages.isEmpty());
    other.view->OnPlayStop();
}

TEST_F(BlinkPlayback, SpeedDialogPausesPlaybackAndResumesWithTheChosenInterval)
{
    view->OnPlayStart();
    ModalScript script;
    QString opened;
    bool tickingWhileOpen = true;
    script.on<CSpeedDlg>([&](CSpeedDlg* dialog) {
        opened = dialog->m_intervalEdit->text();
        tickingWhileOpen = ticking() || view->playback().isPausing();
        dialog->m_intervalEdit->setText(QStringLiteral("1200"));
        clickButton(dialog, "ok");
    });
    script.run([&] { view->OnSetSpeed(); });
    EXPECT_EQ(opened, QStringLiteral("300"));
    EXPECT_FALSE(tickingWhileOpen);
    EXPECT_TRUE(view->playback().isPlaying());
    EXPECT_EQ(view->playback().interval(), 1200);
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 1200);

    ModalScript cancel;
    cancel.on<CSpeedDlg>([&](CSpeedDlg* dialog) {
        dialog->m_intervalEdit->setText(QStringLiteral("5000"));
        clickButton(dialog, "cancel");
    });
    cancel.run([&] { view->OnSetSpeed(); });
    EXPECT_EQ(view->playback().interval(), 1200);
    EXPECT_EQ(interval(), 1200);
    EXPECT_TRUE(ticking());
    view->OnPlayStop();

    // Stopped: the interval may change, no timer is touched.
    ModalScript stopped;
    stopped.on<CSpeedDlg>([&](CSpeedDlg* dialog) {
        dialog->m_intervalEdit->setText(QStringLiteral("100"));
        clickButton(dialog, "ok");
    });
    stopped.run([&] { view->OnSetSpeed(); });
    EXPECT_EQ(view->playback().interval(), 100);
    EXPECT_FALSE(ticking());
    EXPECT_FALSE(view->playback().isPlaying());
}

TEST(PlaybackCommands, SequenceCommandsNeedTwoPicturesAndSpeedIsAlwaysThere)
{
    FakeDesktop desktop;
    ViewHarness harness;
    CSkyrakeView* view = harness.view;
    const CommandRouter route{&view->commands()};
    const std::pair<int, bool> cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& [count, enabled] : cases) {
        while (view->pictures().GetCount() < count)
            harness.load({fixture(lasco512Jpg)});
        for (const int id :
             {cmd::NextPicture, cmd::PrevPicture, cmd::PlayStart, cmd::PlayStop, cmd::Composite})
            EXPECT_EQ(route.state(id).enabled(), enabled) << "command " << id << ", " << count << " pictures";
        EXPECT_TRUE(route.state(cmd::SetSpeed).enabled());
    }
    EXPECT_FALSE(route.state(cmd::PlayStart).radio());
    EXPECT_TRUE(route.execute(cmd::PlayStart));
    EXPECT_TRUE(route.state(cmd::PlayStart).radio()); // the start button stays pressed while playing
    EXPECT_TRUE(route.state(cmd::PlayStart).enabled());
    EXPECT_TRUE(route.execute(cmd::PlayStop));
    EXPECT_FALSE(route.state(cmd::PlayStart).radio());
}
