// Blink playback driven tick by tick: which picture each tick shows, which timer is armed and
// with which interval, and how stop, step, start and the speed dialog meet the wrap pause.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ModalScript.h"
#include "../support/ViewHarness.h"
#include "app/CommandIds.h"
#include "tools/SpeedDlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace {

const QString f0 = QStringLiteral("c3_synthetic_comet_f0.jpg");
const QString f1 = QStringLiteral("c3_synthetic_comet_f1.jpg");
const QString f2 = QStringLiteral("c3_synthetic_comet_f2.jpg");

class Playback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.load({fixture("derived/" + f0), fixture("derived/" + f1), fixture("derived/" + f2)});
    }

    QString shown() const { return harness.pane(3); }
    bool ticking() const { return view->playbackTimer().isActive(); }
    int interval() const { return view->playbackTimer().interval(); }

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

TEST_F(Playback, TicksAdvanceAndTheWrapPausesBeforeTheHead)
{
    view->OnPlayStart();
    EXPECT_TRUE(view->m_playing);
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
    EXPECT_EQ(view->m_curPos, view->m_pictures.GetTailPosition());
    EXPECT_FALSE(ticking());
    EXPECT_TRUE(view->isPausing());
    EXPECT_EQ(view->pauseTimer().interval(), 500);
    EXPECT_TRUE(view->pauseTimer().isSingleShot());

    // ... then the head is shown and the next tick is one full interval later.
    view->endPlaybackPause();
    EXPECT_EQ(shown(), f0);
    EXPECT_EQ(view->m_curPos, view->m_pictures.GetHeadPosition());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 300);
    EXPECT_FALSE(view->isPausing());
    EXPECT_TRUE(view->m_playing);
    view->OnPlayStop();
}

TEST_F(Playback, StartWhilePlayingReArmsTheOneTimerAndStopTwiceIsHarmless)
{
    view->OnPlayStart();
    view->m_interval = 700;
    view->OnPlayStart();
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 700);
    EXPECT_EQ(view->findChildren<QTimer*>().size(), 0); // the view's timers are members, not extra children

    view->OnPlayStop();
    EXPECT_FALSE(view->m_playing);
    EXPECT_FALSE(ticking());
    view->OnPlayStop();
    EXPECT_FALSE(view->m_playing);
    EXPECT_FALSE(ticking());
    EXPECT_EQ(shown(), f0);
}

TEST_F(Playback, StepsDuringPlaybackMoveThePositionTheTicksContinueFrom)
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
    EXPECT_TRUE(view->m_playing);
    view->OnPlayStop();
}

// During the wrap pause the window stays live. Stop keeps the last picture; a step ends the pause
// and the ticks go on from the step's picture; start re-arms the ticks, so the next tick wraps
// again with its pause.
TEST_F(Playback, StopStepAndStartDuringTheWrapPause)
{
    view->OnPlayStart();
    view->OnTimer();
    view->OnTimer();
    view->OnTimer();
    ASSERT_TRUE(view->isPausing());
    view->OnPlayStop();
    EXPECT_FALSE(view->isPausing());
    EXPECT_FALSE(ticking());
    EXPECT_EQ(shown(), f2);

    view->OnPlayStart();
    view->OnTimer();
    ASSERT_TRUE(view->isPausing());
    view->OnNextPicture();
    EXPECT_FALSE(view->isPausing());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(shown(), f0);
    view->OnTimer();
    EXPECT_EQ(shown(), f1);

    view->OnTimer();
    view->OnTimer();
    ASSERT_TRUE(view->isPausing());
    view->OnPlayStart();
    EXPECT_FALSE(view->isPausing());
    EXPECT_TRUE(ticking());
    EXPECT_EQ(shown(), f2);
    view->OnTimer();
    EXPECT_TRUE(view->isPausing());
    view->OnPlayStop();
}

TEST_F(Playback, AFailedRenderOnATickShowsTheMessageThenStops)
{
    view->m_pictures.InsertBefore(PictureList::next(view->m_pictures.GetHeadPosition()), unrenderable("bad"));
    view->OnPlayStart();
    bool tickingDuringMessage = false;
    desktop.onMessage = [&](const QString&) {
        tickingDuringMessage = ticking() && view->m_playing;
        view->OnTimer(); // a tick arriving while the message is open waits
    };
    view->OnTimer();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("渲染图像失败！")});
    EXPECT_TRUE(tickingDuringMessage);
    EXPECT_FALSE(view->m_playing);
    EXPECT_FALSE(ticking());
    EXPECT_EQ(PictureList::GetAt(view->m_curPos)->m_name, QStringLiteral("bad"));
}

TEST_F(Playback, AFailedRenderOnAStepLeavesPlaybackRunning)
{
    view->m_pictures.AddTail(unrenderable("bad"));
    view->OnPlayStart();
    view->OnPrevPicture();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("渲染图像失败！")});
    EXPECT_TRUE(view->m_playing);
    EXPECT_TRUE(ticking());
    view->OnPlayStop();
}

TEST_F(Playback, TicksDoNothingWithoutACurrentPicture)
{
    view->OnPlayStart();
    view->m_curPos = nullptr; // pictures present, none current yet (an import still under way)
    view->OnTimer();
    EXPECT_EQ(view->m_curPos, nullptr);
    EXPECT_FALSE(view->isPausing());
    EXPECT_TRUE(desktop.messages.isEmpty());
    view->OnPlayStop();
}

TEST_F(Playback, SpeedDialogPausesPlaybackAndResumesWithTheChosenInterval)
{
    view->OnPlayStart();
    ModalScript script;
    QString opened;
    bool tickingWhileOpen = true;
    script.on<CSpeedDlg>([&](CSpeedDlg* dialog) {
        opened = dialog->m_intervalEdit->text();
        tickingWhileOpen = ticking() || view->isPausing();
        dialog->m_intervalEdit->setText(QStringLiteral("1200"));
        clickButton(dialog, "ok");
    });
    script.run([&] { view->OnSetSpeed(); });
    EXPECT_EQ(opened, QStringLiteral("300"));
    EXPECT_FALSE(tickingWhileOpen);
    EXPECT_TRUE(view->m_playing);
    EXPECT_EQ(view->m_interval, 1200);
    EXPECT_TRUE(ticking());
    EXPECT_EQ(interval(), 1200);

    ModalScript cancel;
    cancel.on<CSpeedDlg>([&](CSpeedDlg* dialog) {
        dialog->m_intervalEdit->setText(QStringLiteral("5000"));
        clickButton(dialog, "cancel");
    });
    cancel.run([&] { view->OnSetSpeed(); });
    EXPECT_EQ(view->m_interval, 1200);
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
    EXPECT_EQ(view->m_interval, 100);
    EXPECT_FALSE(ticking());
    EXPECT_FALSE(view->m_playing);
}

TEST(PlaybackCommands, SequenceCommandsNeedTwoPicturesAndSpeedIsAlwaysThere)
{
    FakeDesktop desktop;
    ViewHarness harness;
    CSkyrakeView* view = harness.view;
    const CommandRouter route{&view->commands()};
    const std::pair<int, bool> cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& [count, enabled] : cases) {
        while (view->m_pictures.GetCount() < count)
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
