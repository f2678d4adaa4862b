#pragma once

#include "pictures/FrameGeometry.h"
#include "pictures/FrameInfo.h"
#include "platform/Picture.h"

#include <QPointF>
#include <QString>

#include <memory>
#include <optional>

// A position confirmed on a frame: where the observer clicked and the object's centre found there.
struct FrameMark
{
    QPointF clicked;  // picture pixels
    QPointF position; // the object's centre, or the click where none stood out
    bool refined = false;
};

// One loaded picture: the decoded picture and the name under which it is shown, ordered and
// reported, with what is known of the frame.
class CPictureItem
{
public:
    CPictureItem(std::unique_ptr<Picture> picture, QString name, QString pathName);

    // Shared and never changed: a worker reading the picture (a search) keeps it after the
    // sequence lets it go, and reads it while the window shows it otherwise.
    std::shared_ptr<const Picture> m_pPicture;
    // The picture through the display stretch; null where the stretch shows it as decoded.
    std::shared_ptr<const Picture> m_shown;
    // The file name: the path's final component. Identity for order and duplicates.
    QString m_name;
    // The full path as the file dialog returned it.
    QString m_pathName;
    // When and with which camera the frame was taken, from its name and header, read once.
    FrameInfo m_facts;
    // The frame's measured position, if it has one.
    std::optional<FrameMark> m_mark;
    // Where the frame looks in the sky, measured the first time it is asked for.
    mutable std::optional<FrameGeometry> m_geometry;

    // What the window shows of the frame: the stretched picture, or the decoded one.
    const Picture& shown() const { return m_shown ? *m_shown : *m_pPicture; }
    // The decoded picture's bytes and the stretched one's, for memory accounting.
    qsizetype byteCount() const;
};

// Releases the item's picture, then destroys the item.
void DiscardItem(std::unique_ptr<CPictureItem> item);

// Byte order of the names in UTF-8, as unsigned bytes: case-sensitive (B.gif < a.gif), numbers
// compared digit by digit (10.gif < 9.gif). Negative, zero or positive like strcmp.
int compareNames(const QString& a, const QString& b);
