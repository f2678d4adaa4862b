#include "pictures/FitsFile.h"
#include "pictures/FrameInfo.h"
#include "pictures/Gzip.h"

#include "../support/FitsWriter.h"
#include "../support/Fixtures.h"

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>

namespace {

constexpr qint64 noLimit = qint64(1) << 30;

QByteArray fileBytes(const QString& relative)
{
    QFile file(fixture(relative));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << relative.toStdString();
    return file.readAll();
}

std::optional<FitsImage> decodeFixture(const QString& name)
{
    return decodeFits(fileBytes("fits/" + name), noLimit);
}

// The value at FITS column `c` and row `r`, 0-based, row 0 at the bottom.
float fitsValue(const FitsImage& image, int c, int r)
{
    return image.at(c, image.height - 1 - r);
}

} // namespace

TEST(FitsFile, ReadsThePhysicalValuesOfEveryPixelType)
{
    const double nan = std::nan("");
    const struct
    {
        const char* file;
        std::function<double(int c, int r)> value; // NaN where the pixel holds no data
    } cases[] = {
        {"u8_bscale.fits", [](int c, int r) { return 10 + 0.5 * (c + 3 * r); }},
        {"i16_bzero32768.fits", [](int c, int r) { return 100 + 2000 * r + c; }},
        {"i32.fits", [](int c, int r) { return -100000 + 10007 * r + 3 * c; }},
        {"i64.fits", [](int c, int r) { return std::ldexp(c - 2 * r, 33); }},
        {"f64.fits", // +-1e300, beyond a float's range, at the top right
         [](int c, int r) {
             return r == 31 && c >= 30 ? (c == 31 ? 1 : -1) * FLT_MAX : 1e-3 * (c + 100 * r) - 0.5;
         }},
        {"f32_nan.fits",
         [&](int c, int r) { return r == 9 && (c == 7 || c == 8) ? nan : 0.25 * c - 1.5 * r; }},
        {"i16_blank.fits",
         [&](int c, int r) { return (c == r && c % 31 == 0) || (c == 10 && r == 20) ? nan : 100 * r - c; }},
        {"cube_2planes.fits", [](int c, int r) { return 1000 + c + 32 * r; }}, // the first plane
    };
    for (const auto& t : cases) {
        const auto image = decodeFixture(t.file);
        ASSERT_TRUE(image) << t.file;
        ASSERT_EQ(image->width, 32);
        ASSERT_EQ(image->height, 32);
        ASSERT_EQ(image->values.size(), 32u * 32u);
        for (int r = 0; r < 32; ++r) {
            for (int c = 0; c < 32; ++c) {
                const double expected = t.value(c, r);
                if (std::isnan(expected))
                    ASSERT_TRUE(std::isnan(fitsValue(*image, c, r))) << t.file << " " << c << "," << r;
                else
                    ASSERT_FLOAT_EQ(fitsValue(*image, c, r), float(expected))
                        << t.file << " " << c << "," << r;
            }
        }
    }
}

TEST(FitsFile, ShowsFitsRowOneAtTheBottomAsTheJpegDoes)
{
    const auto marker = decodeFixture("flip_marker.fits");
    ASSERT_TRUE(marker);
    ASSERT_EQ(QSize(marker->width, marker->height), QSize(64, 48));
    // FITS column 5, row 3 (1-based) is shown at x 4, y 48 - 3; nothing else is lit.
    EXPECT_EQ(marker->at(4, 45), 1000.0f);
    EXPECT_EQ(std::accumulate(marker->values.begin(), marker->values.end(), 0.0), 1000.0);

    const auto lasco = decodeFixture("lasco_c3_20130513_1654_64.fits");
    ASSERT_TRUE(lasco);
    const QImage shown = fitsToGrey(*lasco, 400, 400 + 40 * 255); // DN = 400 + 40 x grey
    const QImage jpeg = QImage(fixture("real/lasco_c3_20130513_1654_512_grey.jpg"))
                            .convertToFormat(QImage::Format_Grayscale8)
                            .scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    long long upright = 0;
    long long mirrored = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            upright += std::abs(qGray(shown.pixel(x, y)) - jpeg.constScanLine(y)[x]);
            mirrored += std::abs(qGray(shown.pixel(x, 63 - y)) - jpeg.constScanLine(y)[x]);
        }
    }
    EXPECT_LT(upright / (64 * 64), 3);
    EXPECT_GT(mirrored / (64 * 64), 10);
}

TEST(FitsFile, ReadsTheKeywordsFromTheImagesHeaderThenThePrimary)
{
    const auto lasco = decodeFixture("lasco_c3_20130513_1654_64.fits");
    const auto iso = decodeFixture("iso_dateobs.fits");
    const auto extension = decodeFixture("image_in_extension.fits");
    ASSERT_TRUE(lasco && iso && extension);
    const struct
    {
        const FitsImage& image;
        QString key, value;
    } cases[] = {
        {*lasco, "DATE-OBS", "2013/05/13"},
        {*lasco, "TIME-OBS", "16:54:05.443"},
        {*lasco, "DETECTOR", "C3"},
        {*lasco, "INSTRUME", "LASCO"},
        {*lasco, "EXPTIME", "17.6"},
        {*lasco, "COMMENT", ""},
        {*iso, "DATE-OBS", "2013-05-13T17:06:05.123"},
        {*iso, "ORIGIN", "NRL's archive"},
        {*extension, "DATE-OBS", "2013/05/13"},
        {*extension, "TIME-OBS", "17:18:05.000"},
        {*extension, "DETECTOR", "C2"},
    };
    for (const auto& t : cases)
        EXPECT_EQ(t.image.keywords.value(t.key), t.value) << t.key.toStdString();
    // The extension's own image, 48 x 40.
    ASSERT_EQ(QSize(extension->width, extension->height), QSize(48, 40));
    EXPECT_EQ(fitsValue(*extension, 47, 39), 47.0f + 39000.0f);
}

TEST(FitsFile, RefusesSilentlyWhatItCannotShowWhole)
{
    const QByteArray sound = fileBytes("fits/i16_bzero32768.fits");
    const auto withCard = [&](const QByteArray& card) {
        return QByteArray(sound).replace(sound.indexOf(card.left(9)), 80, card.leftJustified(80, ' '));
    };
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"cut in the data", fileBytes("fits/cut_in_data.fits")},
        {"NAXIS2 as text", fileBytes("fits/malformed_naxis2.fits")},
        {"BITPIX 12", withCard("BITPIX  =                   12")},
        {"one axis", withCard("NAXIS   =                    1")},
        {"no columns", withCard("NAXIS1  =                    0")},
        {"rows beyond the data", withCard("NAXIS2  =                   64")},
        {"no END card", QByteArray(sound).replace(sound.indexOf("END     "), 3, "   ")},
        {"'=' before column 9", // cfitsio would overrun its buffers
         QByteArray(sound).replace(sound.indexOf("EXTEND  ="), 80,
                                   ("BZERO= '" + QByteArray(70, 'x') + "'").leftJustified(80, ' '))},
        {"SIMPLE = F", QByteArray(sound).replace(29, 1, "F")},
        {"a JPEG", fileBytes(lasco512Jpg)},
        {"the first block only", sound.left(2880)},
        {"empty", QByteArray()},
    };
    for (const auto& t : cases) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(decodeFits(t.bytes, noLimit)) << t.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << t.what;
    }
    EXPECT_TRUE(decodeFits(sound, 32 * 32));
    EXPECT_FALSE(decodeFits(sound, 32 * 32 - 1));
}

TEST(FitsFile, RefusesEveryCutThroughTheDataButNotAMissingPadding)
{
    const QByteArray whole = fileBytes("fits/lasco_c3_20130513_1654_64.fits");
    const qsizetype dataEnd = whole.size() - (3 * 2880 - 64 * 64 * 2); // 16-bit data in three blocks
    for (qsizetype cut = 0; cut < dataEnd; cut += (cut < 3000 || cut > dataEnd - 100 ? 1 : 37)) {
        LoadFailure why = LoadFailure::Damaged;
        ASSERT_FALSE(decodeFits(whole.left(cut), noLimit, &why)) << "cut at " << cut;
        if (isFits(whole.left(cut))) {
            ASSERT_EQ(why, LoadFailure::CutOff) << "cut at " << cut;
        }
    }
    const auto unpadded = decodeFits(whole.left(dataEnd), noLimit);
    ASSERT_TRUE(unpadded);
    EXPECT_EQ(unpadded->values, decodeFits(whole + "trailing bytes", noLimit).value().values);
}

TEST(FitsFile, ReadsARiceCompressedImageFromHduOneWithItsOwnShape)
{
    // As PUNCH writes its frames: float data Rice-compressed in HDU 1, the uncertainty in HDU 2.
    FitsContent content;
    content.width = 120;
    content.height = 90;
    for (int i = 0; i < content.width * content.height; ++i)
        content.values.push_back(1e-12f * float(i % content.width + 1000 * (i / content.width)));
    content.values[3] = std::numeric_limits<float>::quiet_NaN();
    content.cards = {{"CTYPE1", "'HPLN-ARC'"}, {"DATE-OBS", "'2025-06-01T12:04:00.000'"}};
    content.riceCompressed = true;
    const QByteArray bytes = fitsBytes(content);
    ASSERT_FALSE(bytes.isEmpty());
    const std::optional<FitsImage> image = decodeFits(bytes, noLimit);
    ASSERT_TRUE(image);
    ASSERT_EQ(QSize(image->width, image->height), QSize(120, 90));
    double worst = 0;
    for (int r = 0; r < content.height; ++r) {
        for (int c = 0; c < content.width; ++c) {
            if (r == 0 && c == 3)
                continue;
            worst = std::max(worst, std::abs(double(fitsValue(*image, c, r)) -
                                             double(content.values[size_t(r * content.width + c)])));
        }
    }
    EXPECT_LT(worst, 1e-12 * 89119 / 1000); // Rice keeps floats to a fraction of their noise
    EXPECT_TRUE(std::isnan(fitsValue(*image, 3, 0)));
    EXPECT_EQ(image->keywords.value("NAXIS1"), "120");
    EXPECT_EQ(image->keywords.value("BITPIX"), "-32");
    EXPECT_EQ(image->keywords.value("CTYPE1"), "HPLN-ARC");
    // Its tiles cut off, or larger than allowed, it is refused like any other image.
    LoadFailure why = LoadFailure::Damaged;
    EXPECT_FALSE(decodeFits(bytes.left(2 * 2880 + 1000), noLimit, &why));
    EXPECT_EQ(why, LoadFailure::CutOff);
    EXPECT_FALSE(decodeFits(bytes, 120 * 90 - 1, &why));
    EXPECT_EQ(why, LoadFailure::PictureTooLarge);
}

TEST(FitsFile, TheFirstBlocksAloneGiveARealHeadersTimeAsCfitsioReadsIt)
{
    // What a Range request for a LASCO level-0.5 frame's first four blocks brings.
    for (const char* name : {"comets/22023494.fts.gz", "comets/22242692.fts.gz", "fits/iso_dateobs.fits"}) {
        SCOPED_TRACE(name);
        QByteArray bytes = fileBytes(QLatin1String(name));
        if (QByteArray(name).endsWith(".gz"))
            bytes = gunzip(bytes, noLimit).value_or(QByteArray());
        const std::optional<FitsImage> whole = decodeFits(bytes, noLimit);
        ASSERT_TRUE(whole);
        const QHash<QString, QString> head = fitsHeadKeywords(bytes.left(4 * 2880));
        for (const char* key : {"DATE-OBS", "TIME-OBS", "DETECTOR", "NAXIS1", "ORIGIN"})
            EXPECT_EQ(head.value(key), whole->keywords.value(key)) << key;
        const auto keyword = [](const QHash<QString, QString>& keywords) {
            return [&keywords](const char* key) { return keywords.value(QLatin1String(key)); };
        };
        EXPECT_TRUE(frameInfoFromHeader(keyword(head)).time.isValid());
        EXPECT_EQ(frameInfoFromHeader(keyword(head)).time,
                  frameInfoFromHeader(keyword(whole->keywords)).time);
    }
    EXPECT_TRUE(fitsHeadKeywords("<!DOCTYPE html><html>").isEmpty());
    // Cards as other writers leave them: no comment, a quote in a string, a character FITS does
    // not allow, and nothing after the END card.
    const QByteArray head = QByteArray("SIMPLE  =                    T").leftJustified(80) +
                            QByteArray("EXPTIME =                 17.6").leftJustified(80) +
                            QByteArray("ORIGIN  = 'NRL''s archive' / where").leftJustified(80) +
                            QByteArray("FILTER  = 'Clear\x01'").leftJustified(80) +
                            QByteArray("END").leftJustified(80) +
                            QByteArray("DATE-OBS= '2013-05-13'").leftJustified(80);
    const QHash<QString, QString> cards = fitsHeadKeywords(head);
    EXPECT_EQ(cards.value("EXPTIME"), "17.6");
    EXPECT_EQ(cards.value("ORIGIN"), "NRL's archive");
    EXPECT_FALSE(cards.contains("FILTER"));
    EXPECT_FALSE(cards.contains("DATE-OBS"));
}

TEST(FitsFile, DecodesOnSeveralThreadsAtOnce)
{
    const QByteArray bytes = fileBytes("fits/lasco_c3_20130513_1654_64.fits");
    const std::vector<float> expected = decodeFits(bytes, noLimit).value().values;
    std::atomic<int> same = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                same += decodeFits(bytes, noLimit).value_or(FitsImage{}).values == expected;
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(same, 200);
}

TEST(FitsFile, GreyMapsLowToBlackHighToWhiteAndNanToBlack)
{
    const FitsImage image{4, 1, {0.0f, 50.0f, 100.0f, std::nanf("")}, {}, {}};
    const QImage grey = fitsToGrey(image, 0, 100);
    const QImage step = fitsToGrey(image, 50, 50);
    ASSERT_EQ(grey.format(), QImage::Format_RGB32);
    const QRgb expected[] = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(grey.pixel(x, 0), expected[x]) << x;
    EXPECT_EQ(step.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(step.pixel(2, 0), qRgb(255, 255, 255));
    // A range wider than the largest float.
    const FitsImage extremes{3, 1, {-FLT_MAX, 0.0f, FLT_MAX}, {}, {}};
    EXPECT_EQ(fitsToGrey(extremes, -FLT_MAX, FLT_MAX).pixel(1, 0), qRgb(128, 128, 128));
}
