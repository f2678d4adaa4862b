#include "pictures/Completeness.h"
#include "pictures/LoadPictureFile.h"

#include "../support/Fixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <vector>

namespace {

struct Expectation
{
    QString file;
    QSize size;   // what Qt's reader makes of the first frame; invalid when it refuses the file
    bool damaged; // Qt decodes it, but from a damaged file
};

// MANIFEST.tsv: file, bytes, then Qt's own result, "decodes WxH [...]" or "rejected".
std::vector<Expectation> manifest()
{
    std::vector<Expectation> out;
    QFile file(fixture("MANIFEST.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    static const QRegularExpression decodes(QStringLiteral("^decodes (\\d+)x(\\d+)"));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = line.split('\t');
        if (fields.size() < 3)
            continue;
        Expectation e{fields[0], QSize(), fields[2].contains("damaged")};
        if (const auto m = decodes.match(fields[2]); m.hasMatch())
            e.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        out.push_back(e);
    }
    return out;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Every test picture is either decoded at the size Qt's own reader gives its first frame, or
// refused; none crashes or hangs the loader. Sound files must not be refused.
TEST(FixtureSweep, EveryFileDecodesAtItsSizeOrIsRefused)
{
    const std::vector<Expectation> files = manifest();
    ASSERT_GT(files.size(), 200u);
    int decoded = 0;
    int refused = 0;
    for (const Expectation& e : files) {
        const auto loaded = LoadPictureFile(fixture(e.file), 96, 96);
        if (!loaded) {
            ++refused;
            // A sound file Qt reads is refused only when its pixels would be too large to hold.
            if (e.size.isValid() && !e.damaged) {
                EXPECT_GT(qint64(e.size.width()) * e.size.height() * 4, maxPictureBytes)
                    << e.file.toStdString();
            }
            continue;
        }
        ++decoded;
        EXPECT_TRUE(e.size.isValid()) << e.file.toStdString() << " decodes, though Qt refuses it";
        EXPECT_EQ(QSize(loaded->picture->pixelWidth(), loaded->picture->pixelHeight()), e.size)
            << e.file.toStdString();
        EXPECT_EQ(loaded->name, e.file.section('/', -1));
    }
    EXPECT_GT(decoded, 150);
    EXPECT_GT(refused, 26);
}

// A download that stopped early leaves the front of a file. Qt decodes such a file as a whole
// picture with a grey or black part; the loader must refuse every one of them, as cut off once
// the signature is whole.
TEST(Completeness, EveryCutOfTheRealFramesIsRefused)
{
    const auto refusedAsCut = [](const QByteArray& bytes) {
        LoadFailure why = LoadFailure::Damaged;
        return !decodePicture(bytes, 96, 96, &why) && (bytes.size() < 6 || why == LoadFailure::CutOff);
    };
    for (const QString& name : {lasco1024Jpg, lasco1024Gif, lasco512Jpg, lasco512Gif,
                                QStringLiteral("real/hubble_deep_field_1000x872.jpg")}) {
        const QByteArray whole = read(fixture(name));
        ASSERT_FALSE(whole.isEmpty()) << name.toStdString();
        EXPECT_TRUE(isCompletePicture(whole)) << name.toStdString();
        EXPECT_TRUE(decodePicture(whole, 96, 96)) << name.toStdString();
        // Every cut through the headers and the colour table, then cuts all through the data.
        for (qsizetype cut = 1; cut < 1500; ++cut)
            ASSERT_TRUE(refusedAsCut(whole.left(cut))) << name.toStdString() << " cut at " << cut;
        for (qsizetype cut = 1500; cut < whole.size(); cut += 997)
            ASSERT_TRUE(refusedAsCut(whole.left(cut))) << name.toStdString() << " cut at " << cut;
        // The last bytes are the ones a structural check is most likely to take for granted. A GIF
        // without its final trailer byte still holds its whole frame (see below).
        const qsizetype lastCut = whole.size() - (name.endsWith(".gif") ? 1 : 0);
        for (qsizetype cut = whole.size() - 8; cut < lastCut; ++cut)
            ASSERT_TRUE(refusedAsCut(whole.left(cut))) << name.toStdString() << " cut at " << cut;
    }
}

TEST(Completeness, TrailingBytesAfterAWholePictureDoNoHarm)
{
    const QByteArray jpg = read(fixture(lasco512Jpg));
    const QByteArray gif = read(fixture(lasco512Gif));
    EXPECT_TRUE(decodePicture(jpg + QByteArray(100, '\0'), 96, 96));
    EXPECT_TRUE(decodePicture(gif + QByteArray("junk"), 96, 96));
    // A GIF whose trailer was lost still holds its whole frame.
    ASSERT_EQ(gif.back(), ';');
    EXPECT_TRUE(decodePicture(gif.chopped(1), 96, 96));
}
