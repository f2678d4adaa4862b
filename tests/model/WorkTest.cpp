#include "model/SkyrakeWork.h"

#include "Fixtures.h"
#include "WriteFits.h"
#include "model/OpenFrames.h"
#include "sample/SequenceMaker.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

namespace {

const std::vector<SampleFrame>& sample()
{
    static const std::vector<SampleFrame> frames = [] {
        SampleOptions options;
        options.size = 512;
        options.frames = 9;
        return makeSequence(QImage(fixture(lasco1024Jpg)), options);
    }();
    return frames;
}

std::unique_ptr<CPictureItem> itemOf(const SampleFrame& frame)
{
    auto picture = std::make_unique<Picture>(frame.picture.convertToFormat(QImage::Format_RGB32), 1, 1);
    return std::make_unique<CPictureItem>(std::move(picture), frame.name + ".gif", frame.name + ".gif");
}

// The first `count` sample frames as a work, the head current.
void fill(SkyrakeWork& work, int count)
{
    for (int i = 0; i < count; ++i)
        work.appendPicture(itemOf(sample()[size_t(i)]));
    work.setCurrentPosition(work.pictures().GetHeadPosition());
}

StretchSettings stretched(StretchCurve curve)
{
    StretchSettings settings;
    settings.curve = curve;
    settings.invert = true;
    return settings;
}

TEST(Work, FramesAsAnArchiveServesThemMadeOneSequence)
{
    // Given out of time order: a 2008 frame, the same frame again under another file number, a
    // 1997 frame and a stray 512 picture.
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    // Gzipped, as the archives serve them.
    const QByteArray later = fixtureBytes(QStringLiteral("comets/22282736.fts.gz"));
    QFile stray(fixture(lasco512Jpg));
    ASSERT_TRUE(stray.open(QIODevice::ReadOnly));
    const QStringList paths = {
        write(QStringLiteral("22282736.fts.gz"), later), write(QStringLiteral("25000001.fts.gz"), later),
        write(QStringLiteral("22023494.fts.gz"), fixtureBytes(QStringLiteral("comets/22023494.fts.gz"))),
        write(QStringLiteral("stray.jpg"), stray.readAll())};
    SkyrakeWork work;
    const QStringList notes = appendArranged(work, paths, 96, 96);
    EXPECT_EQ(work.frameNames(), (QStringList{"22023494.fts.gz", "22282736.fts.gz"}));
    EXPECT_EQ(notes, (QStringList{"stray.jpg: 512x512, not the 1024x1024 of the other frames",
                                  "25000001.fts.gz: the same DATE-OBS as 22282736.fts.gz"}));
}

} // namespace

// Each rule of the work, and the one announcement each change makes.
TEST(Work, RulesAndTheirAnnouncements)
{
    struct Case
    {
        const char* rule;
        std::function<void(SkyrakeWork&)> change;
        std::function<bool(const SkyrakeWork&)> holds;
        std::vector<void (WorkChanges::*)()> announced;
    };
    const Candidate found{
        {QPointF(10, 10), QPointF(12, 10), QPointF(14, 10), QPointF(16, 10)}, 4, 20, 1, 90, 0};
    const std::vector<Case> cases = {
        {"a frame read its time and camera once, at load",
         [](SkyrakeWork&) {},
         [](const SkyrakeWork& w) {
             return PictureList::GetAt(w.positionAt(1))->m_facts.time == sample()[1].time &&
                    PictureList::GetAt(w.positionAt(1))->m_facts.camera == Camera::C3;
         },
         {}},
        {"deleting the current frame makes the head current",
         [](SkyrakeWork& w) {
             w.setCurrentPosition(w.positionAt(2));
             w.removePicture(2);
         },
         [](const SkyrakeWork& w) { return w.currentIndex() == 0 && w.pictures().GetCount() == 3; },
         {&WorkChanges::currentChanged, &WorkChanges::currentChanged, &WorkChanges::sequenceChanged}},
        {"a measured frame deleted takes its measurement along",
         [](SkyrakeWork& w) {
             w.setMeasurement(1, QPointF(5, 5), QPointF(5.2, 5.1), true);
             w.setMeasurement(3, QPointF(9, 9), QPointF(9, 9), false);
             w.removePicture(1);
         },
         [](const SkyrakeWork& w) { return w.measurements().size() == 1 && !w.measurementAt(0); },
         {&WorkChanges::marksChanged, &WorkChanges::marksChanged, &WorkChanges::marksChanged,
          &WorkChanges::sequenceChanged}},
        {"a new frame clears the candidates, found for the frames before",
         [&](SkyrakeWork& w) {
             w.setFound({found});
             w.appendPicture(itemOf(sample()[4]));
         },
         [](const SkyrakeWork& w) { return w.candidates().empty(); },
         {&WorkChanges::candidatesChanged, &WorkChanges::candidatesChanged, &WorkChanges::sequenceChanged}},
        {"a dismissed candidate stays out of later searches over the same frames",
         [&](SkyrakeWork& w) {
             w.setFound({found});
             w.dismissCandidate(0);
             w.setFound({found});
         },
         [](const SkyrakeWork& w) {
             return w.candidates().empty() && w.dismissedCandidates().dismissals().size() == 1;
         },
         {&WorkChanges::candidatesChanged, &WorkChanges::candidatesChanged, &WorkChanges::candidatesChanged}},
        {"a search over frames since changed leaves the candidates alone",
         [&](SkyrakeWork& w) {
             const quint64 before = w.generation();
             w.removePicture(3);
             w.takeFound(before, {found});
         },
         [](const SkyrakeWork& w) { return w.candidates().empty(); },
         {&WorkChanges::sequenceChanged}},
        {"a new stretch",
         [](SkyrakeWork& w) { w.setStretchSettings(stretched(StretchCurve::Sqrt)); },
         [](const SkyrakeWork& w) { return w.stretchSettings().invert; },
         {&WorkChanges::stretchChanged}},
    };
    for (const Case& c : cases) {
        SkyrakeWork work;
        fill(work, 4);
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        const std::vector<void (WorkChanges::*)()> kinds = {
            &WorkChanges::sequenceChanged,   &WorkChanges::currentChanged, &WorkChanges::marksChanged,
            &WorkChanges::candidatesChanged, &WorkChanges::stretchChanged, &WorkChanges::reportChanged};
        for (const auto kind : kinds)
            spies.push_back(std::make_unique<QSignalSpy>(&work.changes(), kind));
        c.change(work);
        EXPECT_TRUE(c.holds(work)) << c.rule;
        for (size_t k = 0; k < kinds.size(); ++k)
            EXPECT_EQ(spies[k]->count(), std::count(c.announced.begin(), c.announced.end(), kinds[k]))
                << c.rule << ": announcement " << k;
    }
}

// A search reads its own share of the frames: deleting one, adding one and a new stretch while
// it runs neither disturb it nor let its result in.
TEST(Work, TheSequenceMayChangeWhileASearchRuns)
{
    SkyrakeWork work;
    fill(work, 8);
    const SearchSnapshot snapshot = work.searchSnapshot();
    QFuture<std::vector<Candidate>> search = startSearch(snapshot);
    work.removePicture(0);
    work.appendPicture(itemOf(sample()[8]));
    work.setStretchSettings(stretched(StretchCurve::Asinh));
    work.clearPictures();
    const std::optional<std::vector<Candidate>> result = searchResult(search);
    ASSERT_TRUE(result);
    const std::vector<Candidate>& found = *result;
    ASSERT_FALSE(found.empty()) << "the sample comet was not found";
    EXPECT_FALSE(work.takeFound(snapshot.generation, found));
    EXPECT_TRUE(work.candidates().empty());
    // The frames it read were the frames it was given, to the last pixel.
    const std::vector<Candidate> again = runSearch(snapshot);
    ASSERT_EQ(again.size(), found.size());
    EXPECT_EQ(again.front().positions, found.front().positions);
}

TEST(Work, FramesTheEarthEclipsesAreLeftOutOfTheSearchByName)
{
    QTemporaryDir dir;
    const QStringList paths =
        writeEquinoxFrames(dir.path(), {"0240", "0250", "0300", "0420", "0310", "0320"});
    ASSERT_EQ(paths.size(), 6);
    SkyrakeWork work;
    ASSERT_EQ(appendFrames(work, paths, 96, 96).size(), 6u);
    const SearchSnapshot snapshot = work.searchSnapshot();
    EXPECT_EQ(snapshot.leftOut, QStringList{"20250923_0420_ccor1_256by256.fts: eclipsed by the Earth"});
    EXPECT_EQ(snapshot.searched, (std::vector<size_t>{0, 1, 2, 4, 5}));
    EXPECT_EQ(snapshot.frames.size(), 5u);
}
