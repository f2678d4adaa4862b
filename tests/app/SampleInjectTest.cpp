// The sample maker's injection into real frames: the comet where its table says, nothing else
// changed, the frames themselves never overwritten, and the search finding it.
#include "Fixtures.h"
#include "Programs.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineF>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

int runSample(const QStringList& arguments)
{
    QProcess sample;
    sample.start(QStringLiteral(SKYRAKE_SAMPLE), arguments);
    return sample.waitForFinished(120000) ? sample.exitCode() : -1;
}

TEST(SampleInject, TheInjectedCometIsWhereItsTableSaysAndTheSearchFindsIt)
{
    // The crops of eight real C3 frames; the Sun lies above the crop's top edge.
    const QDir crops(fixture(QStringLiteral("sequences")));
    QStringList frames;
    for (const QString& name : crops.entryList({QStringLiteral("*_c3.png")}, QDir::Files, QDir::Name))
        frames << crops.filePath(name);
    ASSERT_EQ(frames.size(), 8);
    QTemporaryDir out;
    ASSERT_EQ(runSample(QStringList{QStringLiteral("--inject"), out.path(), QStringLiteral("--peak"),
                                    QStringLiteral("6"), QStringLiteral("--speed"), QStringLiteral("20"),
                                    QStringLiteral("--at"), QStringLiteral("150,120"),
                                    QStringLiteral("--sun"), QStringLiteral("513,-191")} +
                        frames),
              0);

    QFile table(QDir(out.path()).filePath(QStringLiteral("comet.txt")));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    QList<QPointF> truth;
    while (!table.atEnd()) {
        const QStringList fields = QString::fromUtf8(table.readLine()).trimmed().split('\t');
        if (fields.size() == 3 && !fields[0].startsWith('#'))
            truth << QPointF(fields[1].toDouble(), fields[2].toDouble());
    }
    ASSERT_EQ(truth.size(), 8);
    EXPECT_EQ(truth.front(), QPointF(150, 120));
    // An hour at 20 pixels an hour, heading for the Sun.
    const QPointF moved = truth.back() - truth.front();
    EXPECT_NEAR(std::hypot(moved.x(), moved.y()), 20, 0.5);
    EXPECT_GT(moved.x(), 0);
    EXPECT_LT(moved.y(), 0);

    // Written losslessly: only pixels about the head changed.
    for (int f : {0, 7}) {
        const QImage before(frames[f]);
        const QImage after(QDir(out.path()).filePath(QFileInfo(frames[f]).fileName()));
        ASSERT_EQ(after.size(), before.size());
        const QPoint head = (truth[f] - QPointF(1, 1)).toPoint();
        EXPECT_GT(qGray(after.pixel(head)), qGray(before.pixel(head)));
        EXPECT_EQ(after.pixel(40, 280), before.pixel(40, 280));
    }

    QStringList written;
    for (const QString& path : frames)
        written << QDir(out.path()).filePath(QFileInfo(path).fileName());
    const QStringList lines =
        runSkyrake(QStringList{QStringLiteral("--scan")} + written).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 8);
    for (int f = 0; f < 8; ++f) {
        const QStringList fields = lines[f].split('\t');
        ASSERT_EQ(fields.size(), 5) << lines[f].toStdString();
        EXPECT_EQ(fields[0], QStringLiteral("1"));
        EXPECT_LT(QLineF(QPointF(fields[2].toDouble(), fields[3].toDouble()), truth[f]).length(), 1.0)
            << lines[f].toStdString();
    }

    // Never into the frames' own folder, where they would be written over.
    const QDateTime touched = QFileInfo(frames.front()).lastModified();
    EXPECT_EQ(runSample(QStringList{QStringLiteral("--inject"), crops.path()} + frames), 1);
    EXPECT_EQ(QFileInfo(frames.front()).lastModified(), touched);
    EXPECT_FALSE(QFile::exists(crops.filePath(QStringLiteral("comet.txt"))));
}

} // namespace
