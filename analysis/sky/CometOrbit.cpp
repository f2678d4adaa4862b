#include "analysis/sky/CometOrbit.h"

#include <erfa.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double degree = std::numbers::pi / 180;
constexpr double gauss = 0.01720209895;          // k: the square root of GM of the sun, au^1.5 a day
constexpr double obliquity = 84381.406 / 3600.0; // J2000.0, degrees (IAU 2006)

std::optional<double> field(const QString& line, int first, int last)
{
    bool ok = false;
    const double value = line.mid(first - 1, last - first + 1).trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The Stumpff functions C(z) and S(z).
double stumpffC(double z)
{
    if (z > 1e-8)
        return (1 - std::cos(std::sqrt(z))) / z;
    if (z < -1e-8)
        return (std::cosh(std::sqrt(-z)) - 1) / -z;
    return 0.5 - z / 24 + z * z / 720;
}

double stumpffS(double z)
{
    if (z > 1e-8) {
        const double s = std::sqrt(z);
        return (s - std::sin(s)) / (s * z);
    }
    if (z < -1e-8) {
        const double s = std::sqrt(-z);
        return (std::sinh(s) - s) / (s * -z);
    }
    return 1.0 / 6 - z / 120 + z * z / 5040;
}

} // namespace

std::optional<CometElements> cometFromLine(const QString& line)
{
    if (line.size() < 79)
        return std::nullopt;
    const auto year = field(line, 15, 18), month = field(line, 20, 21), day = field(line, 23, 29);
    const auto q = field(line, 31, 39), e = field(line, 42, 49);
    const auto peri = field(line, 52, 59), node = field(line, 62, 69), incl = field(line, 72, 79);
    if (!year || !month || !day || !q || !e || !peri || !node || !incl || *q <= 0 || *e < 0 || *month < 1 ||
        *month > 12 || *day < 1 || *day >= 32)
        return std::nullopt;
    CometElements comet;
    const QDate date(int(*year), int(*month), 1);
    if (!date.isValid())
        return std::nullopt;
    comet.perihelion =
        QDateTime(date, QTime(0, 0), Qt::UTC).addMSecs(qint64(std::llround((*day - 1) * 86400000.0)));
    comet.q = *q;
    comet.e = *e;
    comet.argumentOfPerihelion = *peri;
    comet.ascendingNode = *node;
    comet.inclination = *incl;
    comet.designation = line.mid(102, 56).trimmed();
    if (comet.designation.isEmpty())
        comet.designation = line.mid(0, 12).trimmed();
    return comet;
}

std::vector<CometElements> cometsFromText(const QString& text, QStringList* rejected)
{
    std::vector<CometElements> comets;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (std::optional<CometElements> comet = cometFromLine(QString(line).remove(QLatin1Char('\r'))))
            comets.push_back(*comet);
        else if (rejected)
            *rejected << trimmed;
    }
    return comets;
}

std::array<double, 3> cometPlace(const CometElements& comet, double date1, double date2)
{
    // Days since perihelion (the elements' time is TT, as the date's).
    const QDateTime& t = comet.perihelion;
    double p1 = 0, p2 = 0;
    eraDtf2d("TT", t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
             t.time().second() + t.time().msec() / 1000.0, &p1, &p2);
    const double dt = (date1 - p1) + (date2 - p2);

    // At perihelion r0 = q and the speed is all across; alpha = 1/a.
    const double mu = gauss * gauss;
    const double q = comet.q;
    const double alpha = (1 - comet.e) / q;
    const double v0 = std::sqrt(mu * (1 + comet.e) / q);
    const double sqrtMu = std::sqrt(mu);
    // sqrt(mu) dt = (1 - alpha q) x^3 S(alpha x^2) + q x, solved for x by Newton's method.
    double x = sqrtMu * dt / q;
    for (int i = 0; i < 60; ++i) {
        const double z = alpha * x * x;
        const double c = stumpffC(z), s = stumpffS(z);
        const double f = (1 - alpha * q) * x * x * x * s + q * x - sqrtMu * dt;
        const double slope = (1 - alpha * q) * x * x * c + q; // dt/dx times sqrt(mu): the radius
        const double step = f / slope;
        x -= step;
        if (std::abs(step) < 1e-13 * (1 + std::abs(x)))
            break;
    }
    const double z = alpha * x * x;
    const double f = 1 - x * x / q * stumpffC(z);
    const double g = dt - x * x * x / sqrtMu * stumpffS(z);
    const double px = f * q, py = g * v0; // in the orbit's plane, perihelion along +x

    // To the ecliptic of J2000.0, then to the equator.
    const double w = comet.argumentOfPerihelion * degree, n = comet.ascendingNode * degree,
                 i = comet.inclination * degree;
    const double xw = px * std::cos(w) - py * std::sin(w), yw = px * std::sin(w) + py * std::cos(w);
    const double xe = xw * std::cos(n) - yw * std::cos(i) * std::sin(n);
    const double ye = xw * std::sin(n) + yw * std::cos(i) * std::cos(n);
    const double ze = yw * std::sin(i);
    const double eps = obliquity * degree;
    return {xe, ye * std::cos(eps) - ze * std::sin(eps), ye * std::sin(eps) + ze * std::cos(eps)};
}
