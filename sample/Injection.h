#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRgb>

#include <random>
#include <vector>

// Comets injected into real frames, as a real comet would show in them: its light added as grey
// levels of the frame's own colour table (a pixel moves along the table, keeping its own noise),
// and the frame written again as its file was: a GIF losslessly, a JPEG at the quality it was
// saved with. Positions are picture pixels, 0-based, pixel i centred at i + 0.5.

// A frame's colour table as a curve of colours by grey level. A GIF's palette is its table; for
// a JPEG the table is learnt from the frame itself (the median colour of each brightness), so
// that any colour table whose components never fall as the level rises can be followed.
class ColourTable
{
public:
    explicit ColourTable(const QImage& frame);

    // The grey level of a colour: its palette index for a GIF, the sum of its components (0..765)
    // for a JPEG, both rising along the table.
    double levelOf(QRgb colour) const;
    // `colour` moved `by` grey levels along the table, its own departure from the table kept.
    QRgb brighten(QRgb colour, double by) const;
    // Indexed frames: the palette index `by` whole grey levels above `index`.
    int brighten(int index, int by) const;
    bool indexed() const { return m_indexed; }

private:
    bool m_indexed = false;
    std::vector<QRgb> m_curve;     // per grey level, the table's colour (not indexed)
    std::vector<int> m_levelOf;    // indexed: each palette entry's grey level
    std::vector<int> m_indexAt;    // indexed: the palette entry of each grey level
    QHash<QRgb, int> m_levelOfRgb; // indexed: the grey level of each palette colour
};

struct InjectedComet
{
    QPointF head;           // the head's centre, picture pixels
    QPointF sun;            // the Sun's centre, picture pixels: the tail points away from it
    double peak = 0;        // the head's peak, grey levels of the frame's table
    double headSigma = 1.3; // pixels, at 1024 pixels a side; the optics' blur of a point
};

// A frame file's pixels to inject into: a GIF's as palette indices (its colours, ordered by
// brightness), any other picture's as 32-bit RGB; a null image when the bytes are no picture.
QImage readFrame(const QByteArray& bytes);

// The frame with the comet's light added; indexed frames stay indexed.
QImage injectComet(const QImage& frame, const InjectedComet& comet);

// One sigma of a frame's noise in grey levels of its table, around `centre` (a square of
// 2 x `half` pixels a side): from the differences to the next frame of the sequence, robustly,
// so that stars, hits and the corona's slow change count little.
double localNoise(const QImage& frame, const QImage& next, const ColourTable& table, QPoint centre, int half);

// The quality (1..100) a JPEG file was saved with, from its luminance quantisation table as
// libjpeg scales its standard one; 0 when the bytes hold none.
int jpegQuality(const QByteArray& jpeg);

// `picture` written as `source` was: a GIF (lossless, the picture's palette) when it is indexed,
// a JPEG at `source`'s quality when that was a JPEG, otherwise a PNG (lossless).
QByteArray encodeLike(const QImage& picture, const QByteArray& source);

struct InjectedSequence
{
    std::vector<QByteArray> files; // each frame's file again, the comet in it
    std::vector<QPointF> heads;    // the head's true centre in each frame, picture pixels
    double noise = 0;              // one sigma of the frames' noise about the track, grey levels
};

// Where a comet is `hours` after the first frame: it leaves `start` at `velocity` (picture pixels
// per hour) and its speed grows by `growth` (0.03 for 3 %) every 12 minutes along its line, as a
// sungrazer's does while it falls toward the Sun.
QPointF cometAt(QPointF start, QPointF velocity, double growth, double hours);

// A comet moving from `start` in the first frame (see `cometAt`), injected into each frame of a
// sequence (its files' bytes and times in hours after the first) with its head's peak `sigmas`
// times the frames' noise about the track's middle.
InjectedSequence injectSequence(const std::vector<QByteArray>& files, const std::vector<double>& hours,
                                QPointF start, QPointF velocity, double sigmas, QPointF sun,
                                double growth = 0);

// Where and how fast comets are injected into one camera's frames of 1024 pixels a side (scaled
// for other sizes): speeds as real sungrazers move there, radii about the Sun between which the
// field shows the sky.
struct CometField
{
    double minSpeed = 5, maxSpeed = 40; // pixels per hour
    double inner = 110, outer = 450;    // pixels from the Sun's centre
    bool pylon = false;                 // C3's pylon, toward the upper right, is avoided
};

// C3: the occulter reaches about 75 px, the field about 500; C2: 180 and 500. Other cameras get
// C3's field. `size` is the frames' width.
CometField cometFieldFor(bool c2, int size);

// A track drawn at random within `field` for `span` hours: speed and direction drawn, kept
// between the radii about `sun` in every frame and clear of the pylon and the corners. False when
// a thousand draws found none.
bool drawTrack(std::mt19937& random, const CometField& field, int size, double span, QPointF sun,
               QPointF& start, QPointF& velocity);
