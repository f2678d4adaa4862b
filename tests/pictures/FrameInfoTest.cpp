// Frame time and camera from LASCO archive names and FITS headers, and their texts.
#include "pictures/FrameInfo.h"

#include <gtest/gtest.h>

#include <QHash>

namespace {

struct Case
{
    const char* source; // a file name, or "DATE-OBS|TIME-OBS|DETECTOR[|INSTRUME|PROJECT]"
    const char* text;   // frameTimeText
    Camera camera;
};

TEST(FrameInfo, ArchiveNamesGiveTheMinuteAndCameraAndNothingElseDoes)
{
    const Case cases[] = {
        {"20130513_1654_c3_1024.jpg", "2013-05-13 16:54 UT", Camera::C3},
        {"/data/soho/19960101_0000_C2_512.GIF", "1996-01-01 00:00 UT", Camera::C2},
        {"20240229_2359_c2_256.fits", "2024-02-29 23:59 UT", Camera::C2},
        {"20130513_1654_C3_1024.JPEG", "2013-05-13 16:54 UT", Camera::C3},
        {"20131313_1654_c3_1024.jpg", "", Camera::Unknown},          // month 13
        {"20230229_1654_c3_1024.jpg", "", Camera::Unknown},          // not a leap year
        {"20130513_2400_c3_1024.jpg", "", Camera::Unknown},          // hour 24
        {"20130513_c3_1024.jpg", "", Camera::Unknown},               // no time
        {"2013051a_1654_c3_1024.jpg", "", Camera::Unknown},          // not a digit
        {"20130513_1654_c4_1024.jpg", "", Camera::Unknown},          // no such camera
        {"20130513_1654_c3_2048.jpg", "", Camera::Unknown},          // no such size
        {"20130513_1654_c3_1024.bmp", "", Camera::Unknown},          // other extension
        {"20130513_1654_c3_1024.jpg.txt", "", Camera::Unknown},      // other extension
        {"lasco_c3_20130513_1654_1024.jpg", "", Camera::Unknown},    // another order
        {"20140611_0000_c2.gif", "2014-06-11 00:00 UT", Camera::C2}, // older browse name, no size
        {"/frames/20140611_0037_C3.JPG", "2014-06-11 00:37 UT", Camera::C3},
        {"20140611_2359_c2.fts", "2014-06-11 23:59 UT", Camera::C2},
        {"20140631_0000_c2.gif", "", Camera::Unknown},  // no 31 June
        {"20140611_1260_c2.gif", "", Camera::Unknown},  // minute 60
        {"20140611_0000_c4.gif", "", Camera::Unknown},  // no such camera
        {"20140611_0000_c2.bmp", "", Camera::Unknown},  // other extension
        {"20140611_0000_c2_.gif", "", Camera::Unknown}, // empty size
        {"20140611_000_c2.gif", "", Camera::Unknown},   // three-digit time
        {"20140611_0000.gif", "", Camera::Unknown},     // no camera
        {"20251001_1224_ccor1_1024by960.jpg", "2025-10-01 12:24 UT", Camera::Ccor1},
        {"20251001_1224_ccor1.jpg", "", Camera::Unknown},      // CCOR-1 names give the size
        {"20251001_1224_ccor1_1024.jpg", "", Camera::Unknown}, // as both sides
        {"20251001_1224_c3_1024by960.jpg", "", Camera::Unknown},
        {"20251001_1224_ccor1_by960.jpg", "", Camera::Unknown},
        {"20251120_2345_ccor2_1024by960.jpg", "2025-11-20 23:45 UT", Camera::Ccor2},
        {"20251120_2345_ccor2_1024.jpg", "", Camera::Unknown},
    };
    for (const Case& c : cases) {
        const FrameInfo info = frameInfoFromName(QString::fromUtf8(c.source));
        EXPECT_EQ(frameTimeText(info), QString::fromUtf8(c.text)) << c.source;
        EXPECT_EQ(info.camera, c.camera) << c.source;
        EXPECT_FALSE(info.hasSeconds) << c.source;
        EXPECT_TRUE(!info.time.isValid() || info.time.timeSpec() == Qt::UTC) << c.source;
    }
}

FrameInfo fromHeader(const char* cards)
{
    const QStringList values = QString::fromUtf8(cards).split(u'|');
    const QHash<QString, QString> header{{"DATE-OBS", values.value(0)},
                                         {"TIME-OBS", values.value(1)},
                                         {"DETECTOR", values.value(2)},
                                         {"INSTRUME", values.value(3)},
                                         {"PROJECT", values.value(4)}};
    return frameInfoFromHeader([&](const char* key) { return header.value(QString::fromLatin1(key)); });
}

TEST(FrameInfo, HeaderTimesInLascoAndIsoForms)
{
    const Case cases[] = {
        {"2013/05/13|16:54:05.593|C3", "2013-05-13 16:54:05 UT", Camera::C3},
        {"2013-05-13T16:54:05.593||c2", "2013-05-13 16:54:05 UT", Camera::C2},
        {"2013-05-13T16:54:05.5Z||", "2013-05-13 16:54:05 UT", Camera::Unknown},
        {"2013-05-13T16:54|01:02:03|", "2013-05-13 16:54 UT", Camera::Unknown},   // DATE-OBS's time wins
        {"2013-05-13|23:59:59.9999|", "2013-05-13 23:59:59 UT", Camera::Unknown}, // truncated, same day
        {"2013-05-13|16:54|", "2013-05-13 16:54 UT", Camera::Unknown},
        {" 2013/05/13 | 16:54:05 |C3 ", "2013-05-13 16:54:05 UT", Camera::C3},
        {"2013-05-13||C3", "", Camera::C3}, // a date without a time
        {"2013/05/13|24:00:00|", "", Camera::Unknown},
        {"2013-13-01T00:00:00||", "", Camera::Unknown},
        {"2013-05-13 16:54:05||", "", Camera::Unknown},
        {"garbage|16:54:05|LASCO", "", Camera::Unknown},
        {"||", "", Camera::Unknown},
        {"2013/05/13|16:54:05|C3|LASCO", "2013-05-13 16:54:05 UT", Camera::C3},
        {"2025-06-01T12:04:15|||CCOR-1", "2025-06-01 12:04:15 UT", Camera::Ccor1},
        {"2025-06-01T12:04:00.000||||PUNCH", "2025-06-01 12:04:00 UT", Camera::Punch},
    };
    for (const Case& c : cases) {
        const FrameInfo info = fromHeader(c.source);
        EXPECT_EQ(frameTimeText(info), QString::fromUtf8(c.text)) << c.source;
        EXPECT_EQ(info.camera, c.camera) << c.source;
    }
    const QDateTime time = fromHeader("2013/05/13|16:54:05.593|").time;
    EXPECT_EQ(time, QDateTime(QDate(2013, 5, 13), QTime(16, 54, 5, 593), Qt::UTC));
}

TEST(FrameInfo, HeaderWinsOverNameFieldByFieldAndCamerasHaveNames)
{
    const FrameInfo name = frameInfoFromName("20130513_1654_c3_1024.fts");
    const FrameInfo header = fromHeader("2013/05/13|16:54:05.593|C2");
    const FrameInfo timeOnly = fromHeader("2013/05/13|16:54:05.593|");
    const FrameInfo cameraOnly = fromHeader("||C2");

    EXPECT_EQ(frameTimeText(mergeFrameInfo(header, name)), "2013-05-13 16:54:05 UT");
    EXPECT_EQ(mergeFrameInfo(header, name).camera, Camera::C2);
    EXPECT_EQ(mergeFrameInfo(timeOnly, name).camera, Camera::C3);
    EXPECT_EQ(frameTimeText(mergeFrameInfo(cameraOnly, name)), "2013-05-13 16:54 UT");
    EXPECT_EQ(mergeFrameInfo(cameraOnly, name).camera, Camera::C2);
    EXPECT_EQ(frameTimeText(mergeFrameInfo({}, {})), "");
    EXPECT_EQ(cameraName(Camera::C2), "C2");
    EXPECT_EQ(cameraName(Camera::C3), "C3");
    EXPECT_EQ(cameraName(Camera::Ccor2), "CCOR-2");
    EXPECT_EQ(cameraName(Camera::Punch), "PUNCH");
    EXPECT_EQ(cameraName(Camera::Unknown), "");
}

} // namespace
