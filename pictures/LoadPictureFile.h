#pragma once

#include "pictures/LoadFailure.h"
#include "platform/Picture.h"

#include <QString>

#include <memory>
#include <optional>

struct LoadedPicture
{
    std::unique_ptr<Picture> picture;
    QString name; // the path's final component
};

// A loaded picture, or why there is none. Read like an optional: test it, then use `->` or `*`.
class LoadResult
{
public:
    LoadResult(LoadedPicture loaded) : m_loaded(std::move(loaded)) {}
    LoadResult(LoadFailure failure) : m_failure(failure) {}

    explicit operator bool() const { return m_loaded.has_value(); }
    LoadedPicture& operator*() { return *m_loaded; }
    LoadedPicture* operator->() { return &*m_loaded; }
    const LoadedPicture* operator->() const { return &*m_loaded; }
    // Why nothing was loaded; only meaningful then.
    LoadFailure failure() const { return m_failure; }

private:
    std::optional<LoadedPicture> m_loaded;
    LoadFailure m_failure = LoadFailure::NotAPicture;
};

// Files larger than this are refused before they are read.
inline constexpr qint64 maxPictureFileBytes = 128ll * 1024 * 1024;
// Pictures whose decoded pixels would take more than this are refused.
inline constexpr qint64 maxPictureBytes = 256ll * 1024 * 1024;

// Reads the whole file in one read and decodes it: JPEG, GIF and PNG through Qt, FITS through
// cfitsio. Fails, giving the reason and printing nothing, for a missing, unreadable or empty
// file, a directory, content that is not a picture, a picture too large to hold and a cut-off
// picture. The HIMETRIC size is chosen for the display's resolution (`dpiX`, `dpiY`) so that
// the view shows the picture at exactly its pixel size.
LoadResult LoadPictureFile(const QString& path, int dpiX, int dpiY);
// The same for the display's resolution.
LoadResult LoadPictureFile(const QString& path);

// Decodes a picture held in memory (the file's bytes); the checks are those above. When there
// is no picture and `why` is given, it is set to the reason.
std::unique_ptr<Picture> decodePicture(const QByteArray& bytes, int dpiX, int dpiY,
                                       LoadFailure* why = nullptr);

// The final component of a path: everything after the last '/'.
QString fileNameOf(const QString& path);
