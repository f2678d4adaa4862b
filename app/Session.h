#pragma once

#include <QByteArray>
#include <QString>

class CSkyrakeView;

// A session: the hunter's work on one sequence, kept in a file and opened again. Versioned JSON:
// the frames' paths in sequence order (the first is the reference), the current frame, the
// placement, the channel, grid and mark switches, the display stretch, the position report's
// text, each frame's measurement and the candidates dismissed.

// The view's session as the file holds it.
QByteArray sessionOf(const CSkyrakeView& view);

// Whether the bytes are a session of a version this program reads.
bool isSession(const QByteArray& bytes);
// Whether the file holds one (a picture never does).
bool isSessionFile(const QString& path);

// Replaces the view's sequence and state with the session's. Frames are found by their paths,
// or beside the session file (`sessionPath`) under their own names; those found in neither
// place are named in one message and the rest restored. False, with nothing changed, when the
// bytes are no session.
bool restoreSession(CSkyrakeView& view, const QByteArray& bytes, const QString& sessionPath);
