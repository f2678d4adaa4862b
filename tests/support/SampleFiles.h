#pragma once

#include "Fixtures.h"
#include "sample/SequenceMaker.h"

#include <QDir>
#include <QImage>
#include <QStringList>

// A generated sequence on the real C3 frame written as lossless PNG files under their LASCO names
// into `dir`; by default eight 512-pixel frames with the bright sample comet. Returns the paths in
// sequence order.
inline QStringList writeSampleSequence(
    const QString& dir, SampleOptions options = [] {
        SampleOptions small;
        small.size = 512;
        return small;
    }())
{
    QStringList paths;
    for (const SampleFrame& frame : makeSequence(QImage(fixture(lasco1024Jpg)), options)) {
        paths << QDir(dir).filePath(frame.name + QStringLiteral(".png"));
        if (!frame.picture.save(paths.last()))
            return {};
    }
    return paths;
}
