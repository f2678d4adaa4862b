#pragma once

#include "analysis/FrameRender.h"
#include "viewer/Placement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class CSkyrakeView;
class SkyrakeWork;

// A session: the hunter's work on one sequence, kept in a file and opened again. Versioned JSON:
// the frames' paths in sequence order (the first is the reference), the current frame, the
// placement, the channel, grid and mark switches, the display stretch, the position report's
// text, each frame's measurement and the candidates dismissed.

// What the window shows of the work, kept in the session beside it.
struct SessionView
{
    Placement placement;
    Channels channels;
    bool grid = true;
    bool marks = true;
};

// The work's session, with what the window shows, as the file holds it.
QByteArray sessionOf(const SkyrakeWork& work, const SessionView& shown);
// The same for the window's work and what it shows.
QByteArray sessionOf(const CSkyrakeView& view);

// Whether the bytes are a session of a version this program reads.
bool isSession(const QByteArray& bytes);
// Whether the file holds one (a picture never does).
bool isSessionFile(const QString& path);

struct RestoredSession
{
    SessionView shown;   // what the window is to show
    QStringList missing; // frames found nowhere, or no longer pictures
};

// Replaces the work's sequence and state with the session's, pictures sized for `dpiX`, `dpiY`.
// Frames are found by their paths, or beside the session file (`sessionPath`) under their own
// names; the rest are restored. Nothing, with nothing changed, when the bytes are no session.
std::optional<RestoredSession> restoreSession(SkyrakeWork& work, const QByteArray& bytes,
                                              const QString& sessionPath, int dpiX, int dpiY);
// The same for the window, which then shows the session as it was; the frames missing are named
// in one message. False, with nothing changed, when the bytes are no session.
bool restoreSession(CSkyrakeView& view, const QByteArray& bytes, const QString& sessionPath);
