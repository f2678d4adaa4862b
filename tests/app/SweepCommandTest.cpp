// skyrake --sweep on the command line: the tracks as CSV with their cutouts, and a second run
// that finds every window done.
#include "../support/SampleFiles.h"
#include "Programs.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SweepCommand, WritesTheTracksWithTheirCutoutsAndResumes)
{
    QTemporaryDir frames, out;
    SampleOptions options;
    options.size = 512;
    options.frames = 12;
    ASSERT_EQ(writeSampleSequence(frames.path(), options).size(), 12);
    const QStringList sweep{QStringLiteral("--sweep"),   frames.path(),
                            QStringLiteral("--db"),      out.filePath(QStringLiteral("s.sqlite")),
                            QStringLiteral("--csv"),     out.filePath(QStringLiteral("t.csv")),
                            QStringLiteral("--cutouts"), out.filePath(QStringLiteral("cutouts"))};
    QString errors;
    runSkyrake(sweep, &errors);
    EXPECT_TRUE(errors.contains(QStringLiteral("2 windows searched, 0 found done already, 1 tracks")))
        << errors.toStdString();
    QFile csv(out.filePath(QStringLiteral("t.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QStringList fields = lines[1].split(QLatin1Char(','));
    ASSERT_EQ(fields.size(), 9);
    EXPECT_EQ(fields[4], QStringLiteral("12"));
    EXPECT_EQ(QImageReader(fields[8]).imageCount(), 12); // a cutout a frame

    runSkyrake(sweep, &errors);
    EXPECT_TRUE(errors.contains(QStringLiteral("0 windows searched, 2 found done already, 1 tracks")))
        << errors.toStdString();
}

} // namespace
