// GIF files written through giflib, read back with Qt's reader: an animation loops forever at its
// delay, indexed frames keep their colour table and indices, other frames come close with one
// table for all.
#include "pictures/GifAnimation.h"

#include "../support/Fixtures.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<QImage> decodeAll(const QByteArray& bytes, int* loops = nullptr, int* delay = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    std::vector<QImage> frames;
    for (QImage frame; reader.read(&frame);) {
        frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
        if (delay)
            *delay = reader.nextImageDelay();
    }
    if (loops)
        *loops = reader.loopCount();
    return frames;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

TEST(GifAnimation, IndexedFramesKeepTheirTableAndLoopForeverAtTheDelay)
{
    QImage first(5, 3, QImage::Format_Indexed8);
    first.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(255, 0, 0)});
    first.fill(1);
    first.setPixel(4, 2, 2);
    QImage second = first;
    second.fill(0);
    second.setPixel(0, 0, 2);
    const std::vector<QImage> frames{first, second, first};
    int loops = 0;
    int delay = 0;
    const std::vector<QImage> back = decodeAll(encodeGif(frames, 300), &loops, &delay);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(loops, -1); // Qt's word for forever
    EXPECT_EQ(delay, 300);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(back[i], frames[i].convertToFormat(QImage::Format_RGB32)) << i;

    // A single picture is a plain GIF, neither animated nor looping.
    ASSERT_EQ(decodeAll(encodeGif(std::span(&first, 1), 300), &loops).size(), 1u);
    EXPECT_EQ(loops, 0);
    // Frames of different sizes are refused.
    EXPECT_TRUE(encodeGif(std::vector<QImage>{first, first.copy(0, 0, 4, 3)}, 100).isEmpty());
}

TEST(GifAnimation, ManyColouredFramesShareOneCloseTable)
{
    // Crops of a real C3 JPEG, thousands of colours: one table for both, within a few levels.
    const QImage frame = QImage(fixture(lasco512Jpg)).convertToFormat(QImage::Format_RGB32);
    const std::vector<QImage> frames{frame.copy(300, 200, 64, 64), frame.copy(150, 330, 64, 64)};
    const std::vector<QImage> back = decodeAll(encodeGif(frames, 500));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_LE(largestDifference(back[0], frames[0]), 8);
    EXPECT_LE(largestDifference(back[1], frames[1]), 8);

    // Up to 256 colours in all frames are kept exactly.
    QImage few(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            few.setPixel(x, y, qRgb(x * 4, y / 16 * 60, 200)); // 256 colours
    const std::vector<QImage> fewBack = decodeAll(encodeGif(std::vector<QImage>{few, few.mirrored()}, 500));
    ASSERT_EQ(fewBack.size(), 2u);
    EXPECT_EQ(fewBack[0], few);
    EXPECT_EQ(fewBack[1], few.mirrored());
}

} // namespace
