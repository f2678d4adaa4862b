#include "pictures/LoadPictureFile.h"

#include "pictures/FrameOrientation.h"

#include "../support/Fixtures.h"
#include "platform/Himetric.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

// Writes `bytes` to `name` in `dir`; returns the path.
// `bytes` as one gzip member, as gzip writes a file.
QByteArray gzipped(const QByteArray& bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

} // namespace

TEST(LoadPictureFile, DecodesTheRealFramesAtTheirPixelSize)
{
    for (const QString& name : {lasco512Jpg, lasco512Gif, lasco1024Jpg, lasco1024Gif}) {
        const auto loaded = LoadPictureFile(fixture(name), 96, 96);
        ASSERT_TRUE(loaded) << name.toStdString();
        const Picture& picture = *loaded->picture;
        const int side = name.contains("1024") ? 1024 : 512;
        EXPECT_EQ(picture.pixelWidth(), side);
        EXPECT_EQ(picture.pixelHeight(), side);
        EXPECT_EQ(picture.pixels().format(), QImage::Format_RGB32);
        // The view's displayed-size rule gives back the pixel size at zoom 1.
        EXPECT_EQ(displayedSize(96, picture.himetricWidth(), 1.0), side);
        EXPECT_EQ(displayedSize(96, picture.himetricHeight(), 1.0), side);
        EXPECT_EQ(loaded->name, name.section('/', -1));
    }
    const auto at120 = LoadPictureFile(fixture(lasco512Jpg), 120, 120);
    ASSERT_TRUE(at120);
    EXPECT_EQ(displayedSize(120, at120->picture->himetricWidth(), 1.0), 512);
}

TEST(LoadPictureFile, GifAndJpegOfOneFrameLookAlike)
{
    // The GIF is lossless against the coloured frame, the JPEG close to it: a decoder that put
    // the palette or the rows in the wrong place would differ by far more.
    const auto gif = LoadPictureFile(fixture(lasco512Gif), 96, 96);
    const auto jpg = LoadPictureFile(fixture(lasco512Jpg), 96, 96);
    ASSERT_TRUE(gif && jpg);
    long long difference = 0;
    for (int y = 0; y < 512; y += 7) {
        for (int x = 0; x < 512; x += 7) {
            const QRgb a = gif->picture->pixels().pixel(x, y);
            const QRgb b = jpg->picture->pixels().pixel(x, y);
            difference +=
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    }
    EXPECT_LT(difference / (74 * 74 * 3), 8);
}

TEST(LoadPictureFile, ContentDecidesNotTheName)
{
    const auto jpegNamedGif = LoadPictureFile(fixture("crafted/jpeg_named.gif"), 96, 96);
    ASSERT_TRUE(jpegNamedGif);
    EXPECT_EQ(jpegNamedGif->name, "jpeg_named.gif");

    QTemporaryDir dir;
    const QString text = writeFile(dir, "notes.jpg", "Comet hunting notes, not a picture.\n");
    EXPECT_FALSE(LoadPictureFile(text, 96, 96));
    EXPECT_FALSE(LoadPictureFile(fixture("crafted/html_404_named.jpg"), 96, 96));
}

TEST(LoadPictureFile, TellsWhyThereIsNoPicture)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("frames.gif");
    QFile huge(dir.filePath("huge.jpg")); // sparse: nothing is written
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(maxPictureFileBytes + 1));
    const QByteArray png = fixtureBytes("sequences/20140611_0000_c2.png");
    const QByteArray fits = fixtureBytes("fits/lasco_c3_20130513_1654_64.fits");
    const struct
    {
        QString path;
        LoadFailure why;
    } cases[] = {
        {dir.filePath("missing.gif"), LoadFailure::Missing},
        {QString(), LoadFailure::Missing},
        {dir.filePath("frames.gif"), LoadFailure::Directory},
        {"/dev/null", LoadFailure::NotAFile},
        {fixture("crafted/empty.gif"), LoadFailure::Empty},
        {fixture("crafted/empty.jpg"), LoadFailure::Empty},
        {huge.fileName(), LoadFailure::FileTooLarge},
        {fixture("suite/gpb_issue205.jpg"), LoadFailure::PictureTooLarge}, // 64250x64250 declared
        {fixture("crafted/html_404_named.jpg"), LoadFailure::HtmlPage},
        {writeFile(dir, "page.gif", " \r\n<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">"),
         LoadFailure::HtmlPage},
        {writeFile(dir, "notes.jpg", "Comet hunting notes.\n"), LoadFailure::NotAPicture},
        {fixture("crafted/lasco_c3_1024_cut_half.jpg"), LoadFailure::CutOff},
        {fixture("crafted/lasco_c3_1024_cut_2000B.jpg"), LoadFailure::CutOff},
        {fixture("crafted/lasco_c3_512_cut_half.gif"), LoadFailure::CutOff},
        {fixture("crafted/lasco_c3_512_cut_800B.gif"), LoadFailure::CutOff},
        {writeFile(dir, "cut.png", png.left(png.size() / 2)), LoadFailure::CutOff},
        {fixture("fits/cut_in_data.fits"), LoadFailure::CutOff},
        {writeFile(dir, "cut_header.fits", fits.left(2000)), LoadFailure::CutOff},
        {fixture("suite/gts_max-size.gif"), LoadFailure::Damaged}, // a trailer and no image
        {fixture("fits/malformed_naxis2.fits"), LoadFailure::Damaged},
        {writeFile(dir, "cut.fts.gz", gzipped(fits).chopped(100)), LoadFailure::CutOff},
        {writeFile(dir, "twice.fts.gz", gzipped(gzipped(fits))), LoadFailure::NotAPicture},
        {writeFile(dir, "notes.fts.gz", gzipped("Comet hunting notes.\n")), LoadFailure::NotAPicture},
        // 130 members of a megabyte of zeros each: 130 kB that would unpack past any frame.
        {writeFile(dir, "bomb.fts.gz", gzipped(QByteArray(1 << 20, '\0')).repeated(130)),
         LoadFailure::PictureTooLarge},
    };
    for (const auto& c : cases) {
        const LoadResult loaded = LoadPictureFile(c.path, 96, 96);
        ASSERT_FALSE(loaded) << c.path.toStdString();
        EXPECT_EQ(loaded.failure(), c.why) << c.path.toStdString();
    }
}

TEST(LoadPictureFile, ReadsAGzippedFrameAsTheFileItHolds)
{
    QTemporaryDir dir;
    const QByteArray fits = fixtureBytes("fits/lasco_c3_20130513_1654_64.fits");
    // Two members, as a file gzipped in two parts and joined is still one file to gunzip.
    const qsizetype half = fits.size() / 2;
    for (const QByteArray& packed : {gzipped(fits), gzipped(fits.left(half)) + gzipped(fits.mid(half))}) {
        const LoadResult plain = LoadPictureFile(writeFile(dir, "frame.fts", fits), 96, 96);
        const LoadResult unpacked = LoadPictureFile(writeFile(dir, "frame.fts.gz", packed), 96, 96);
        ASSERT_TRUE(plain && unpacked);
        EXPECT_EQ(unpacked->name, QStringLiteral("frame.fts.gz"));
        EXPECT_EQ(unpacked->picture->values(), plain->picture->values());
        EXPECT_EQ(unpacked->picture->keywords(), plain->picture->keywords());
    }
}

TEST(LoadPictureFile, FailsSilentlyForAnUnreadableFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    QTemporaryDir dir;
    const QString path = writeFile(dir, "locked.jpg", fixtureBytes(lasco512Jpg));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    EXPECT_EQ(LoadPictureFile(path, 96, 96).failure(), LoadFailure::Unreadable);
}

TEST(LoadPictureFile, DoesNotWaitOnAPipe)
{
    // Opening a FIFO for reading blocks until a writer comes: a loader that opened it would hang.
    QTemporaryDir dir;
    const QString path = dir.filePath("stream.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_FALSE(LoadPictureFile(path, 96, 96));
}

TEST(LoadPictureFile, NameIsEverythingAfterTheLastSlash)
{
    // On Linux '\' and ':' are ordinary characters of a file name and stay in it.
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("图片 2013");
    const QByteArray bytes = fixtureBytes(lasco512Gif);
    const struct
    {
        QString file, name;
    } cases[] = {
        {"图片 2013/c3 16:54.gif", "c3 16:54.gif"},
        {"图片 2013/lasco\\c3.gif", "lasco\\c3.gif"},
        {"图片 2013/彗星.gif", "彗星.gif"},
    };
    for (const auto& c : cases) {
        const QString path = writeFile(dir, c.file, bytes);
        const auto loaded = LoadPictureFile(path, 96, 96);
        ASSERT_TRUE(loaded) << c.file.toStdString();
        EXPECT_EQ(loaded->name, c.name);
    }
    EXPECT_EQ(fileNameOf("a.gif"), "a.gif");
    EXPECT_EQ(fileNameOf("/pictures/"), "");
    EXPECT_EQ(fileNameOf("C:\\pictures\\a.gif"), "C:\\pictures\\a.gif");
}

TEST(LoadPictureFile, ReadsTheFileAsItIsNowEachTime)
{
    // The file is read whole at load and not kept open: replacing it afterwards changes nothing
    // of the loaded picture, and loading again sees the new content.
    QTemporaryDir dir;
    const QString path = writeFile(dir, "frame.gif", fixtureBytes(lasco512Gif));
    const auto first = LoadPictureFile(path, 96, 96);
    ASSERT_TRUE(first);
    writeFile(dir, "frame.gif", fixtureBytes("real/eit_195_20040301_0000_128.gif"));
    EXPECT_EQ(first->picture->pixelWidth(), 512);
    const auto second = LoadPictureFile(path, 96, 96);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->picture->pixelWidth(), 128);
}

TEST(LoadPictureFile, FitsFramesShowNorthUpWithTheirValuesAndHeader)
{
    // The marked pixel (FITS column 5, row 3) shows at x 4, y 45 of the 64 x 48 frame; a frame
    // of a half-turned spacecraft (CROTA1 near 180) is turned back, as the archive's JPEGs are.
    const QByteArray marker = fixtureBytes("fits/flip_marker.fits");
    const qsizetype end = [&] {
        for (qsizetype card = 0; card < 2880; card += 80) {
            if (marker.mid(card, 8) == "END     ")
                return card;
        }
        return qsizetype(-1);
    }();
    ASSERT_GT(end, 0);
    ASSERT_LT(end + 80, 2880);
    QByteArray rolled = marker;
    rolled.replace(end, 80, QByteArray("CROTA1  =              -173.55").leftJustified(80, ' '));
    rolled.replace(end + 80, 80, QByteArray("END").leftJustified(80, ' '));
    QByteArray flipped = marker; // CCOR-1's way of saying the same
    flipped.replace(end, 80, QByteArray("YAWFLIP =                    2").leftJustified(80, ' '));
    flipped.replace(end + 80, 80, QByteArray("END").leftJustified(80, ' '));
    const struct
    {
        QByteArray bytes;
        QPoint lit;
    } cases[] = {{marker, {4, 45}}, {rolled, {59, 2}}, {flipped, {59, 2}}};
    for (const auto& c : cases) {
        const auto picture = decodePicture(c.bytes, 96, 96);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->pixels().pixel(c.lit), qRgb(255, 255, 255));
        // The one mapping of stored to shown pixels that the sky's geometry uses agrees.
        EXPECT_EQ(shownFromStored(fitsOrientation(picture->keywords(), QSize(64, 48)), {4, 2}), c.lit);
        EXPECT_EQ(picture->values()[size_t(c.lit.y() * 64 + c.lit.x())], 1000.0f);
        EXPECT_EQ(picture->pixelWidth(), 64);
        EXPECT_EQ(displayedSize(96, picture->himetricWidth(), 1.0), 64);
    }
    // A card with a character FITS does not allow, as some archives' headers hold: set aside
    // with its reason, the rest of the frame kept.
    QByteArray garbled = marker;
    garbled.replace(end, 80, QByteArray("ORIGIN  = 'NRL\x01lab'").leftJustified(80, ' '));
    garbled.replace(end + 80, 80, QByteArray("END").leftJustified(80, ' '));
    const auto kept = decodePicture(garbled, 96, 96);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->pixels().pixel(4, 45), qRgb(255, 255, 255));
    EXPECT_FALSE(kept->keywords().contains(QStringLiteral("ORIGIN")));
    EXPECT_TRUE(kept->keywords().contains(QStringLiteral("NAXIS1")));
    EXPECT_EQ(kept->setAside(), QStringList{QStringLiteral("ORIGIN: a non-printable character (0x01)")});

    const auto lasco = LoadPictureFile(fixture("fits/lasco_c3_20130513_1654_64.fits"), 96, 96);
    ASSERT_TRUE(lasco);
    EXPECT_EQ(lasco->picture->keywords().value(QStringLiteral("DETECTOR")), QStringLiteral("C3"));
}
