#pragma once

#include <QByteArray>
#include <QSize>

// Whether a picture file's bytes hold a whole picture. Qt's readers return a cut-off JPEG or GIF
// as a full-size picture with a grey or black part, so a file that a download left short has to
// be recognised by its structure before it is decoded.
//
// JPEG: the marker segments and the entropy-coded data must run on to the end-of-image marker.
// GIF: the first image's data sub-blocks must end with their terminator (a trailer is not
// required; real files without one exist).
// PNG: the image-end chunk must be present.
// Content of any other kind is not a picture the program reads.
bool isCompletePicture(const QByteArray& data);

enum class Completeness
{
    Whole,
    CutOff, // the bytes end before the picture does, as when a download stops early
    Broken, // not whole, but not for want of bytes either (a GIF that ends before any image)
};
// The same check, telling a picture cut short from one broken otherwise; content that is no
// JPEG, GIF or PNG is broken.
Completeness pictureCompleteness(const QByteArray& data);

// The size of a GIF's first image as its descriptor declares it (it may exceed the logical
// screen); an invalid size when there is none.
QSize gifFirstFrameSize(const QByteArray& data);
// The logical screen size a GIF declares; an invalid size when the data is no GIF.
QSize gifScreenSize(const QByteArray& data);

// The format the bytes hold, by their signature: "jpeg", "gif", "png", or empty for anything else.
QByteArray pictureFormat(const QByteArray& data);
