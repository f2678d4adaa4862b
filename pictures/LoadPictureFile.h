#pragma once

#include "platform/Picture.h"

#include <QString>

#include <memory>
#include <optional>

struct LoadedPicture
{
    std::unique_ptr<Picture> picture;
    QString name; // the path's final component
};

// Files larger than this are refused before they are read.
inline constexpr qint64 maxPictureFileBytes = 128ll * 1024 * 1024;
// Pictures whose decoded pixels would take more than this are refused.
inline constexpr qint64 maxPictureBytes = 256ll * 1024 * 1024;

// Reads the whole file in one read and decodes it: JPEG, GIF and PNG through Qt, FITS through
// cfitsio. Fails silently (nothing returned) for a
// missing, unreadable or empty file, a directory, content that is not a picture, a picture too
// large to hold and a cut-off picture. The HIMETRIC size is chosen for the display's
// resolution (`dpiX`, `dpiY`) so that the view shows the picture at exactly its pixel size.
std::optional<LoadedPicture> LoadPictureFile(const QString& path, int dpiX, int dpiY);
// The same for the display's resolution.
std::optional<LoadedPicture> LoadPictureFile(const QString& path);

// Decodes a picture held in memory (the file's bytes); the checks are those above.
std::unique_ptr<Picture> decodePicture(const QByteArray& bytes, int dpiX, int dpiY);

// The final component of a path: everything after the last '/'.
QString fileNameOf(const QString& path);
