// A run of frames as the archives serve them, made a sequence: time order, each time once, one
// size, no eclipsed frames; what is left out is named.
#include "analysis/FrameSet.h"

#include <gtest/gtest.h>

namespace {

FrameFacts frame(const char* name, const char* time, int size = 1024, bool eclipsed = false)
{
    FrameFacts f;
    f.name = QLatin1String(name);
    f.info.time = QDateTime::fromString(QLatin1String(time), Qt::ISODateWithMs);
    f.info.time.setTimeSpec(Qt::UTC);
    f.info.camera = Camera::C2;
    f.size = QSize(size, size);
    f.eclipsed = eclipsed;
    return f;
}

TEST(FrameSet, TheArchivesWaysMadeOneSequence)
{
    const struct
    {
        const char* what;
        std::vector<FrameFacts> frames;
        std::vector<int> kept;
        QStringList left;
    } cases[] = {
        // cmt0003's last four frames carry lower numbers than the first.
        {"file numbers out of time order",
         {frame("22023494.fts", "1997-10-19T18:27:57.507"), frame("22022327.fts", "1997-10-20T01:08:34.975"),
          frame("22023495.fts", "1997-10-19T18:55:54.891")},
         {0, 2, 1},
         {}},
        {"one DATE-OBS under two numbers",
         {frame("22023496.fts", "1997-10-19T19:41:34.465"), frame("22023494.fts", "1997-10-19T18:27:57.507"),
          frame("25000001.fts", "1997-10-19T18:27:57.507")},
         {1, 0},
         {"25000001.fts: the same DATE-OBS as 22023494.fts"}},
        {"a stray 512 frame in a 1024 day",
         {frame("a.fts", "2008-06-22T11:06:04"), frame("b.fts", "2008-06-22T11:26:04", 512),
          frame("c.fts", "2008-06-22T11:50:04")},
         {0, 2},
         {"b.fts: 512x512, not the 1024x1024 of the other frames"}},
        {"as many of each size: the larger kept",
         {frame("a.fts", "2008-06-22T11:06:04", 512), frame("b.fts", "2008-06-22T11:26:04")},
         {1},
         {"a.fts: 512x512, not the 1024x1024 of the other frames"}},
        {"a frame the Earth eclipses",
         {frame("a.fits", "2025-09-23T04:45:00"), frame("b.fits", "2025-09-23T05:00:00", 1024, true)},
         {0},
         {"b.fits: eclipsed by the Earth"}},
        {"untimed frames after the timed ones, as given",
         {frame("z.fts", ""), frame("y.fts", ""), frame("x.fts", "2008-06-22T11:06:04")},
         {2, 0, 1},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FrameSet set = arrangeFrames(c.frames);
        EXPECT_EQ(set.kept, c.kept);
        EXPECT_EQ(set.left, c.left);
    }
    // The same time seen by two cameras is two frames.
    std::vector<FrameFacts> both = {frame("c2.fts", "2008-06-22T11:06:04"),
                                    frame("c3.fts", "2008-06-22T11:06:04")};
    both[1].info.camera = Camera::C3;
    EXPECT_EQ(arrangeFrames(both).kept, (std::vector<int>{0, 1}));
}

} // namespace
