// skyrake --sky: each frame's geometry and the planets and known comets in its field, with no
// display, the known comets taken from the settings.
#include "Fixtures.h"
#include "Programs.h"
#include "WriteFits.h"

#include "analysis/sky/Ephemeris.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>

namespace {

TEST(SkyCommand, PrintsEachFramesGeometryAndTheBodiesInItsField)
{
    QTemporaryDir dir, config;
    for (const auto& [from, to] : {std::pair{"sky/20130513_1654_c3_1024.jpg", "20130513_1654_c3_1024.jpg"},
                                   {"sky/20200925_0000_c3_1024.jpg", "20200925_0000_c3_1024.jpg"},
                                   {"real/hubble_deep_field_1000x872.jpg", "hubble.jpg"}})
        ASSERT_TRUE(QFile::copy(fixture(QLatin1String(from)), dir.filePath(QLatin1String(to))));
    // A sungrazer 5 hours past perihelion on the 2013 frame, in the program's own settings.
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QSettings(config.filePath(QStringLiteral("Local AppWizard-Generated Applications/skyrake.conf")),
              QSettings::IniFormat)
        .setValue(
            QStringLiteral("Sky/comets"),
            QStringLiteral("    CK13J010  2013 05 13.5000  0.005549  0.999929   53.5479  326.3788  134.3596  "
                           "20130513  13.5  4.0  C/2013 J1 (Test)"));
    QString errors;
    const QStringList lines =
        runSkyrake({QStringLiteral("--sky"), dir.filePath(QStringLiteral("20130513_1654_c3_1024.jpg")),
                    dir.filePath(QStringLiteral("20200925_0000_c3_1024.jpg")),
                    dir.filePath(QStringLiteral("hubble.jpg")), dir.filePath(QStringLiteral("gone.jpg"))},
                   &errors)
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    home.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", home);

    ASSERT_EQ(lines.size(), 6) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("20130513_1654_c3_1024.jpg\t504.")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t56.00\tdisc")));
    QStringList bodies;
    for (const QString& line : lines.mid(1, 3)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 4);
        EXPECT_EQ(fields[0], QStringLiteral("20130513_1654_c3_1024.jpg"));
        bodies << fields[1];
    }
    EXPECT_EQ(bodies, (QStringList{"Mercury", "Mars", "C/2013 J1 (Test)"}));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("20200925_0000_c3_1024.jpg\t506.")));
    EXPECT_EQ(lines[5], QStringLiteral("hubble.jpg\t-\t-\t-\tnone"));
    EXPECT_TRUE(errors.contains(QStringLiteral("gone.jpg"))) << errors.toStdString();
}

TEST(SkyCommand, ATurnedFitsFramesSunWhereThePictureShowsIt)
{
    // A real C2 frame stored turned half round (CROTA1 180), its nominal centre FITS pixel
    // (512.634, 505.293): shown turned back, at 1024 - 512.634 + 1 and 505.293, 1-based.
    EXPECT_EQ(runSkyrake({QStringLiteral("--sky"), fixture(QStringLiteral("comets/22282736.fts.gz"))}),
              QStringLiteral("22282736.fts.gz\t512.4\t505.3\t11.90\theader\n"));
}

TEST(SkyCommand, AScannedCometIsSeenByTheOtherCameraWhereItWouldBe)
{
    // C/2011 W3 (Lovejoy) ten hours before perihelion, in eight 512-pixel C3 frames from L1 and in
    // eight CCOR-1 frames from GOES-19 taken five minutes later each, both with header world
    // coordinates; each comet placed by its orbit as that observer sees it.
    const std::optional<CometElements> lovejoy = cometFromLine(
        QStringLiteral("    CK11W030  2011 12 16.0142  0.005549  0.999929   53.5479  326.3788  134.3596  "
                       "20111216  13.5  4.0  C/2011 W3 (Lovejoy)"));
    ASSERT_TRUE(lovejoy);
    QTemporaryDir c3, ccor1;
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 5);
    std::map<QString, QPointF> truth; // CCOR-1's frames
    QStringList scanned;
    const QDateTime start = lovejoy->perihelion.addSecs(-10 * 3600);
    for (int k = 0; k < 8; ++k) {
        for (const auto& [camera, arcsec, dir] :
             {std::tuple{Camera::C3, 112.0, &c3}, {Camera::Ccor1, 78.0, &ccor1}}) {
            const QDateTime time = start.addSecs(15 * 60 * k + (camera == Camera::Ccor1 ? 300 : 0));
            const QString name = time.toString(QStringLiteral("yyyyMMdd_HHmm")) +
                                 (camera == Camera::C3 ? QStringLiteral("_c3_512.fts")
                                                       : QStringLiteral("_ccor1_512by512.fts"));
            const std::vector<std::pair<QString, QString>> cards = {{"CTYPE1", "'HPLN-TAN'"},
                                                                    {"CTYPE2", "'HPLT-TAN'"},
                                                                    {"CUNIT1", "'arcsec'"},
                                                                    {"CUNIT2", "'arcsec'"},
                                                                    {"CRPIX1", "256.5"},
                                                                    {"CRPIX2", "256.5"},
                                                                    {"CDELT1", QString::number(arcsec)},
                                                                    {"CDELT2", QString::number(arcsec)},
                                                                    {"CRVAL1", "0.0"},
                                                                    {"CRVAL2", "0.0"}};
            QHash<QString, QString> keywords;
            for (const auto& [key, value] : cards)
                keywords.insert(key, QString(value).remove(QLatin1Char('\'')));
            const std::optional<FrameGeometry> geometry = headerGeometry(keywords, QSize(512, 512));
            ASSERT_TRUE(geometry);
            const QPointF at = picturePoint(*geometry, cometSky(*lovejoy, time, observerAt(camera, time)));
            if (camera == Camera::Ccor1)
                truth[name] = at;
            else
                scanned << dir->filePath(name);
            ASSERT_TRUE(writeFits(dir->filePath(name), 512, 512, cards, [&](int x, int row) {
                const double dx = x + 0.5 - at.x(), dy = 511 - row + 0.5 - at.y();
                return float(1000 + noise(random) + 60 * std::exp(-(dx * dx + dy * dy) / 4.5));
            }));
        }
    }
    QString errors;
    const QStringList lines = runSkyrake(QStringList{QStringLiteral("--scan")} + scanned +
                                             QStringList{"--confirm-in", ccor1.path()},
                                         &errors)
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(errors.contains(QLatin1String("candidate 1: seen by CCOR-1 too"))) << errors.toStdString();
    int onCcor1 = 0;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        if (fields[0] != QLatin1String("1") || !truth.count(fields[1]))
            continue;
        ++onCcor1;
        const QPointF at(fields[2].toDouble() - 1, fields[3].toDouble() - 1); // printed 1-based
        EXPECT_LT(std::hypot(at.x() - truth[fields[1]].x(), at.y() - truth[fields[1]].y()), 1.5)
            << line.toStdString();
    }
    EXPECT_EQ(onCcor1, 8);

    // A glint in one camera only: the other's frames without it.
    for (const auto& [name, at] : truth)
        ASSERT_TRUE(writeFits(ccor1.filePath(name), 512, 512,
                              {{"CTYPE1", "'HPLN-TAN'"},
                               {"CTYPE2", "'HPLT-TAN'"},
                               {"CUNIT1", "'arcsec'"},
                               {"CUNIT2", "'arcsec'"},
                               {"CRPIX1", "256.5"},
                               {"CRPIX2", "256.5"},
                               {"CDELT1", "78"},
                               {"CDELT2", "78"}},
                              [&](int, int) { return float(1000 + noise(random)); }));
    runSkyrake(QStringList{QStringLiteral("--scan")} + scanned + QStringList{"--confirm-in", ccor1.path()},
               &errors);
    EXPECT_TRUE(
        errors.contains(QLatin1String("candidate 1: not seen by CCOR-1 within 12 px of where it would be")))
        << errors.toStdString();
}

} // namespace
