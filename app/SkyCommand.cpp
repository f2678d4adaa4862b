// skyrake --sky: where each frame looks, and the planets in its field.
#include "app/CommandLine.h"

#include "analysis/Track.h"
#include "analysis/sky/Ephemeris.h"
#include "model/SkyrakeWork.h"
#include "pictures/LoadPictureFile.h"

#include <QSettings>
#include <QTextStream>

#include <cstdio>

namespace {

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

int runSky(const QStringList& frames)
{
    constexpr int dpi = 96;
    const std::vector<CometElements> comets =
        cometsFromText(QSettings().value(QStringLiteral("Sky/comets")).toString());
    QTextStream out(stdout);
    int read = 0;
    for (const QString& path : frames) {
        LoadResult loaded = LoadPictureFile(path, dpi, dpi);
        if (!loaded) {
            std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(path), loadFailureText(loaded.failure()));
            continue;
        }
        ++read;
        const CPictureItem item(std::move(loaded->picture), loaded->name, path);
        for (const QString& card : item.m_pPicture->setAside())
            std::fprintf(stderr, "skyrake: %s: header card set aside: %s\n", qPrintable(item.m_name),
                         qPrintable(card));
        const FrameGeometry& geometry = geometryOf(item);
        if (geometry.linearOnly)
            std::fprintf(stderr,
                         "skyrake: %s: the header's distortion tables are not applied: its linear WCS\n",
                         qPrintable(item.m_name));
        out << item.m_name << '\t';
        if (geometry.known()) {
            const QPointF sun = oneBased(geometry.sun);
            out << number(sun.x(), 1) << '\t' << number(sun.y(), 1) << '\t'
                << number(geometry.arcsecPerPixel, 2) << '\t'
                << (geometry.source == GeometrySource::Header ? "header" : "disc") << '\n';
        } else {
            out << "-\t-\t-\tnone\n";
        }
        for (const BodyInFrame& body : bodiesOn(item, comets)) {
            const QPointF at = oneBased(body.position);
            out << item.m_name << '\t' << body.name << '\t' << number(at.x(), 1) << '\t' << number(at.y(), 1)
                << '\n';
        }
    }
    out.flush();
    return read > 0 ? 0 : 1;
}
