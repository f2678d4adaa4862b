#pragma once

#include <QDateTime>
#include <QImage>
#include <QPointF>
#include <QString>

#include <vector>

// Synthetic LASCO C3 sequences on a real C3 frame: comets (a small head and a faint tail pointing
// away from the Sun) moving at a constant rate, stars drifting together, fresh noise in every
// frame and cosmic-ray hits that appear in one frame only. The sky is always made 1024 pixels a
// side, in grey levels of the C3 colour table; smaller frames bin it. Positions in the options are
// 1024-frame pixels, 0-based, pixel i centred at i + 0.5.

inline constexpr quint32 defaultSampleSeed = 20130513;
// The classic sample comet's rate: 9 pixels left and 7 down per 12 minutes, in pixels per hour.
inline constexpr double defaultSampleSpeed = 57.00877125495690;

struct SampleTrack
{
    QPointF start;    // the head's centre in the first frame, 1024-frame pixels
    QPointF velocity; // 1024-frame pixels per hour
};

struct SampleOptions
{
    quint32 seed = defaultSampleSeed;
    int frames = 8;
    int size = 1024; // a side: 1024, or 512 or 256 (the 1024-pixel sky binned)
    // Comets on tracks drawn from the seed, each at `speed` in a random direction and inside the
    // field of view in every frame (off the occulter and the black corners). With the default
    // seed the first one takes the classic sample comet's track instead (from (745.5, 262.5)
    // toward the occulter).
    int comets = 1;
    double peak = 92;                  // the head's Gaussian peak, in noise sigmas (92 x 2.5 = 230 levels)
    double speed = defaultSampleSpeed; // 1024-frame pixels per hour
    double noise = 2.5;                // one sigma, grey levels
    int cosmicRays = 4;                // per frame
    int stars = 60;
    QPointF starDrift{4.0, 0.0}; // the star field's motion, 1024-frame pixels per hour
    // Frame f's time in minutes after the start; frames beyond the list at 12 f minutes.
    std::vector<int> minutes;
    bool tail = true;
    // Comets on these tracks instead of drawn ones (`comets` and `speed` are then not used).
    std::vector<SampleTrack> tracks;
};

struct SampleFrame
{
    QString name;   // LASCO archive style without the extension: "20130513_1654_c3_1024"
    QDateTime time; // UTC
    // Grey levels as 8-bit indices into the C3 colour table (Format_Indexed8).
    QImage picture;
    // True head centres and star centres, picture pixels (0-based, pixel i centred at i + 0.5).
    std::vector<QPointF> comets;
    std::vector<QPointF> stars;
};

// The sequence on `background`, a 1024 x 1024 C3 frame; empty when the background is of another
// size or the options make no sense (fewer than one frame, a size that does not divide 1024).
std::vector<SampleFrame> makeSequence(const QImage& background, const SampleOptions& options);
