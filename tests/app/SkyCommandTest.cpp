// skyrake --sky: each frame's geometry and the planets and known comets in its field, with no
// display, the known comets taken from the settings.
#include "Fixtures.h"
#include "Programs.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace
