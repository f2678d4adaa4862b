#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>

// When and with which camera a frame was taken, from its file name or its FITS header.

enum class Camera
{
    Unknown,
    C2,
    C3,
    Ccor1, // GOES-19's coronagraph
    Ccor2, // SWFO-L1's coronagraph, seen from L1
    Punch, // PUNCH's imagers (NFI and the mosaics), known from the header
};

struct FrameInfo
{
    QDateTime time;          // UTC; invalid when unknown. Milliseconds kept when the header gives them.
    bool hasSeconds = false; // the source gave seconds, so the text shows them
    Camera camera = Camera::Unknown;
};

// From the LASCO archive name YYYYMMDD_HHMM_<c2|c3>_<256|512|1024>.<jpg|jpeg|gif|png|fts|fits>,
// the older browse name without the size, YYYYMMDD_HHMM_<c2|c3>.<same extensions>, or the CCOR-1
// name YYYYMMDD_HHMM_ccor1_<W>by<H>.<same extensions> (camera and extension in any case): the time to the
// minute and the camera. Only the final component of a path counts. Any other name, or an impossible date or
// time (month 13, hour 24), gives nothing.
FrameInfo frameInfoFromName(const QString& fileName);

// The value of one FITS header keyword with quotes and trailing blanks removed (as cfitsio's
// fits_read_key with TSTRING gives it), or an empty string when the keyword is absent.
using HeaderKeyword = std::function<QString(const char* key)>;

// From a FITS header. Time: DATE-OBS in ISO form YYYY-MM-DDThh:mm[:ss[.fff]] on its own, or a date
// YYYY-MM-DD or YYYY/MM/DD (as LASCO writes it) with TIME-OBS hh:mm[:ss[.fff]]; a trailing Z is
// allowed; a time inside DATE-OBS wins over TIME-OBS; a date without any time leaves the time
// unknown. Camera: DETECTOR 'C2' or 'C3', DETECTOR or INSTRUME 'CCOR-1' or 'CCOR-2', or PROJECT or
// OBSRVTRY 'PUNCH', any case.
FrameInfo frameInfoFromHeader(const HeaderKeyword& keyword);

// Field by field: the header's time if known, else the name's; the same for the camera.
FrameInfo mergeFrameInfo(const FrameInfo& header, const FrameInfo& name);

// "YYYY-MM-DD HH:MM UT", or "YYYY-MM-DD HH:MM:SS UT" when the source gave seconds (truncated,
// not rounded); empty when the time is unknown.
QString frameTimeText(const FrameInfo& info);

// "C2", "C3", "CCOR-1", "CCOR-2", "PUNCH", or empty for an unknown camera.
QString cameraName(Camera camera);

// A frame's facts from both its sources: the file name and the header keywords its file carried
// (keyword -> value as text; empty for pictures without a header).
FrameInfo frameInfoOf(const QString& fileName, const QHash<QString, QString>& keywords);
