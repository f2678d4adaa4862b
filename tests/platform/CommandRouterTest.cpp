#include "platform/CommandMap.h"

#include <gtest/gtest.h>

#include <string>

namespace {
constexpr int idZoomIn = 32771;
constexpr int idAbout = 57664;
constexpr int idNothing = 40000;
} // namespace

TEST(CommandRouter, FirstMapThatHandlesAnIdRunsIt)
{
    std::string ran;
    CommandMap view, frame;
    view.on(idZoomIn, [&] { ran += "view "; });
    frame.on(idZoomIn, [&] { ran += "frame "; });
    frame.on(idAbout, [&] { ran += "about "; });
    const CommandRouter router{&view, &frame};

    EXPECT_TRUE(router.execute(idZoomIn));
    EXPECT_TRUE(router.execute(idAbout));
    EXPECT_EQ(ran, "view about ");
}

TEST(CommandRouter, FirstUpdateHandlerAlongTheRouteDecides)
{
    CommandMap view, frame;
    view.on(idZoomIn, [] {});
    frame.onUpdate(idZoomIn, [](CmdUI& ui) { ui.Enable(false); });
    view.onUpdate(idZoomIn, [](CmdUI& ui) { ui.SetCheck(); });
    const CommandRouter router{&view, &frame};

    const CmdUI state = router.state(idZoomIn);
    EXPECT_TRUE(state.enabled());
    EXPECT_TRUE(state.checked());
}

TEST(CommandRouter, CommandWithoutHandlerIsDisabled)
{
    CommandMap view;
    const CommandRouter router{&view};
    EXPECT_FALSE(router.state(idNothing).enabled());
    EXPECT_FALSE(router.execute(idNothing));
}

TEST(CommandRouter, DisabledCommandIsNeverCarriedOut)
{
    int runs = 0;
    bool enabled = false;
    CommandMap view;
    view.on(idZoomIn, [&] { ++runs; });
    view.onUpdate(idZoomIn, [&](CmdUI& ui) { ui.Enable(enabled); });
    const CommandRouter router{&view};

    EXPECT_FALSE(router.execute(idZoomIn));
    EXPECT_EQ(runs, 0);
    enabled = true; // the rule is asked again when the command arrives
    EXPECT_TRUE(router.execute(idZoomIn));
    EXPECT_EQ(runs, 1);
}
