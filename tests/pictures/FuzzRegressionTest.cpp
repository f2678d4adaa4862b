// Inputs the fuzzer found troublesome, kept so they stay harmless.
#include "pictures/LoadPictureFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {
QByteArray regression(const QString& name)
{
    QFile file(QStringLiteral(SKYRAKE_FIXTURES "/../fuzz/regressions/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// A 95-byte GIF whose first frame declares 17993 x 14649 pixels on a 0 x 1544 screen: the reader
// would allocate a gigabyte for it. It is refused before decoding.
TEST(FuzzRegression, GifFrameFarBeyondItsScreenIsRefusedUnread)
{
    const QByteArray bytes = regression(QStringLiteral("gif-frame-beyond-screen.gif"));
    ASSERT_EQ(bytes.size(), 95);
    EXPECT_EQ(decodePicture(bytes, 96, 96), nullptr);
}

// A 32-byte GIF whose screen is 24749 x 0 with one 1 x 514 frame: Qt decodes it into a
// 24749 x 514 picture, 50 MB made up from nothing. A screen without area is refused.
TEST(FuzzRegression, GifWithZeroHeightScreenIsRefused)
{
    const QByteArray bytes = regression(QStringLiteral("gif-zero-height-screen.gif"));
    ASSERT_EQ(bytes.size(), 32);
    EXPECT_EQ(decodePicture(bytes, 96, 96), nullptr);
}

TEST(FuzzRegression, EveryKeptInputLoadsOrIsRefused)
{
    const QDir dir(QStringLiteral(SKYRAKE_FIXTURES "/../fuzz/regressions"));
    const QStringList names = dir.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        const auto picture = decodePicture(regression(name), 96, 96);
        if (picture) {
            EXPECT_GT(picture->pixelWidth(), 0) << name.toStdString();
            EXPECT_GT(picture->pixelHeight(), 0) << name.toStdString();
        }
    }
}
