#pragma once

#include "pictures/FrameGeometry.h"

#include <QHash>
#include <QString>

#include <initializer_list>
#include <utility>

// FITS header keywords as the decoder gives them, keyword -> value as text.
inline QHash<QString, QString> header(std::initializer_list<std::pair<const char*, const char*>> cards)
{
    QHash<QString, QString> keywords;
    for (const auto& [key, value] : cards)
        keywords.insert(QLatin1String(key), QLatin1String(value));
    return keywords;
}

// A frame's geometry as a test gives it, without a header or a picture to find it from.
inline FrameGeometry knownGeometry(GeometrySource source, Camera camera, QPointF sun, double arcsecPerPixel,
                                   double roll = 0)
{
    FrameGeometry geometry;
    geometry.source = source;
    geometry.camera = camera;
    geometry.sun = sun;
    geometry.arcsecPerPixel = arcsecPerPixel;
    geometry.roll = roll;
    return geometry;
}

// The 2013-05-13 16:54 C3 picture (sky/20130513_1654_c3_1024.jpg, see sky/README.md): the sun at
// (505.3, 533.0), 56" a pixel, solar north down. It was made from a north-up picture turned half
// round, so no FITS header shown as the program shows FITS frames describes it.
inline FrameGeometry c3Of20130513()
{
    return knownGeometry(GeometrySource::Header, Camera::C3, QPointF(505.3, 533.0), 56, 180);
}
