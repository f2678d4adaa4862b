#pragma once

#include "pictures/FrameInfo.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// An archive sweep's plan: the frames found under some folders, grouped by camera and size into
// runs (a gap of more than an hour ends a run), each run cut into windows of eight frames that
// overlap by four. Pure: it reads names and picture sizes, never pixels.

struct SweepFrame
{
    QString path;
    QString name;
    QDateTime time; // UTC, from the name
    Camera camera = Camera::Unknown;
    int size = 0;     // pixels a side (the width)
    qint64 bytes = 0; // the file's length: a frame replaced under the same name makes new windows
};

struct SweepWindow
{
    int first = 0; // the index of its first frame in the plan's frames
    int count = 0;
    // A window's identity, the same in every plan of the same frames and different as soon as
    // one differs: "FIRST+COUNT#HASH", the hash over its camera, size and each frame's name and
    // length, so that a gap filled or a frame replaced makes a new window that is searched.
    QString key;
};

struct SweepPlan
{
    std::vector<SweepFrame> frames; // by camera, size and time
    std::vector<SweepWindow> windows;
};

inline constexpr int windowFrames = 8;
inline constexpr int windowStep = 4;
inline constexpr qint64 runGapSeconds = 3600;
// A window is searched when this many of its frames decode: the search asks for a mover in five.
inline constexpr int minGoodFrames = 5;

// Every frame under `folders` (recursively) whose name gives its time and camera (the archive's
// names), with its size from the name or, where the name has none, the picture's header.
std::vector<SweepFrame> findSweepFrames(const QStringList& folders);

// The plan for `frames`: runs, then windows of `windowFrames` frames every `windowStep` frames;
// a run's last window ends on its last frame, and a run shorter than a window (four frames at
// least) is one window.
SweepPlan planSweep(std::vector<SweepFrame> frames);

// The plan as text for a cluster's tasks: a line a window, "KEY<TAB>PATH<TAB>PATH...", in order.
QString planText(const SweepPlan& plan);
// The index of a plan's text, written beside it as "PLAN.index" so that a task finds its line at
// once: the text's length, then where each line begins, as little-endian 64-bit numbers.
QByteArray planIndex(const QByteArray& text);
// Window `k` of the plan file at `path` alone, as a plan of its own frames: what a cluster's task
// searches. Its line is found through the index beside the plan where that index is the plan's
// (else by reading the plan up to it), and only its frames are looked at, so a task costs the
// same at any archive's size. Nothing, with the reason in `why`, when the file has no such line
// or the frames on it are no longer those the plan was made of.
std::optional<SweepPlan> planWindowFromFile(const QString& path, int k, QString* why);
