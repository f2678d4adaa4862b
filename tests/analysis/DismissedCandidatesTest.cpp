// Dismissed candidates stay dismissed in a later search over the same frames: the same names in
// the same order, and the track within 3 pixels of the dismissed one in every frame.
#include "analysis/DismissedCandidates.h"
#include "analysis/search/MoverSearch.h"

#include <gtest/gtest.h>

namespace {

Candidate track(std::vector<QPointF> positions)
{
    Candidate candidate;
    candidate.positions = std::move(positions);
    return candidate;
}

TEST(DismissedCandidates, ACandidateNearADismissedOneInEveryFrameOfTheSameFramesIsNotShown)
{
    const QStringList frames{"a.gif", "b.gif", "c.gif"};
    DismissedCandidates dismissed;
    dismissed.dismiss(frames, track({{100, 100}, {110, 105}, {120, 110}}));
    struct Case
    {
        const char* what;
        QStringList frames;
        std::vector<QPointF> positions;
        bool dismissed;
    } cases[] = {
        {"the same track", frames, {{100, 100}, {110, 105}, {120, 110}}, true},
        {"3 px off in one frame", frames, {{100, 100}, {110, 108}, {120, 110}}, true},
        {"within 3 px in every frame", frames, {{102, 102}, {108, 103}, {121.5, 112.5}}, true},
        {"3.1 px off in one frame", frames, {{100, 100}, {110, 105}, {123.1, 110}}, false},
        {"another track", frames, {{300, 200}, {310, 205}, {320, 210}}, false},
        {"frames in another order", {"b.gif", "a.gif", "c.gif"}, {{100, 100}, {110, 105}, {120, 110}}, false},
        {"another frame", {"a.gif", "b.gif", "d.gif"}, {{100, 100}, {110, 105}, {120, 110}}, false},
        {"fewer frames", {"a.gif", "b.gif"}, {{100, 100}, {110, 105}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dismissed.isDismissed(c.frames, track(c.positions)), c.dismissed) << c.what;

    // What a search shows keeps the others in their order; dismissing again adds nothing.
    const std::vector<Candidate> shown = dismissed.shown(frames, {track({{300, 200}, {310, 205}, {320, 210}}),
                                                                  track({{101, 101}, {111, 106}, {121, 111}}),
                                                                  track({{10, 10}, {20, 10}, {30, 10}})});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].positions[0], QPointF(300, 200));
    EXPECT_EQ(shown[1].positions[0], QPointF(10, 10));
    dismissed.dismiss(frames, track({{101, 101}, {111, 106}, {121, 111}}));
    EXPECT_EQ(dismissed.dismissals().size(), 1u);
}

} // namespace
