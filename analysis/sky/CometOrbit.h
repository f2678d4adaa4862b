#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// Known comets: orbital elements in the one-line format the Minor Planet Center publishes for
// comets (CometEls.txt), and their heliocentric places by two-body motion.

struct CometElements
{
    QString designation;             // "C/2011 W3 (Lovejoy)"
    QDateTime perihelion;            // T, TT
    double q = 0;                    // perihelion distance, au
    double e = 0;                    // eccentricity: below 1 elliptic, 1 parabolic, above 1 hyperbolic
    double argumentOfPerihelion = 0; // degrees, ecliptic and equinox J2000.0
    double ascendingNode = 0;        // degrees
    double inclination = 0;          // degrees
};

// One line of the format: perihelion year, month and day in columns 15-29, q 31-39, e 42-49,
// ω 52-59, Ω 62-69, i 72-79, designation and name 103-158. Nothing for a line that is not one.
std::optional<CometElements> cometFromLine(const QString& line);

// Every comet of a text of such lines; `rejected` (may be null) gets the lines that are none,
// blank lines and comments apart.
std::vector<CometElements> cometsFromText(const QString& text, QStringList* rejected = nullptr);

// The comet's heliocentric place at a Julian date (TT, two parts) in the ICRS's axes, au: Kepler's
// problem solved with the universal variable, so near-parabolic sungrazers come out as well as
// elliptic and hyperbolic orbits.
std::array<double, 3> cometPlace(const CometElements& comet, double date1, double date2);
