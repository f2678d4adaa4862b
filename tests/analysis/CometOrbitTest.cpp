// Known comets: the Minor Planet Center's one-line elements read, and two-body motion checked
// against ERFA's Mars, whose orbit taken as a comet's must keep to the planet for weeks.
#include "analysis/sky/CometOrbit.h"

#include <erfa.h>

#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(CometOrbit, OneLineElementsAreReadByColumn)
{
    // Columns as the format gives them; the numbers are C/2011 W3 (Lovejoy)'s, rounded.
    const QString line = QStringLiteral(
        "    CK11W030  2011 12 16.0142  0.005549  0.999929   53.5479  326.3788  134.3596  "
        "20111216  13.5  4.0  C/2011 W3 (Lovejoy)                                     MPC 77777");
    const std::optional<CometElements> comet = cometFromLine(line);
    ASSERT_TRUE(comet);
    EXPECT_EQ(comet->designation, QStringLiteral("C/2011 W3 (Lovejoy)"));
    EXPECT_EQ(comet->perihelion, QDateTime(QDate(2011, 12, 16), QTime(0, 20, 26, 880), Qt::UTC));
    EXPECT_DOUBLE_EQ(comet->q, 0.005549);
    EXPECT_DOUBLE_EQ(comet->e, 0.999929);
    EXPECT_DOUBLE_EQ(comet->argumentOfPerihelion, 53.5479);
    EXPECT_DOUBLE_EQ(comet->ascendingNode, 326.3788);
    EXPECT_DOUBLE_EQ(comet->inclination, 134.3596);

    QStringList rejected;
    const std::vector<CometElements> comets =
        cometsFromText(line + QStringLiteral("\r\n# a comment\n\nnot elements at all\n") + line, &rejected);
    EXPECT_EQ(comets.size(), 2u);
    EXPECT_EQ(rejected, QStringList{QStringLiteral("not elements at all")});
    // The perihelion passes through q, on the near-parabolic orbit too.
    double t1 = 0, t2 = 0;
    eraDtf2d("TT", 2011, 12, 16, 0, 20, 26.88, &t1, &t2);
    const auto at = cometPlace(*comet, t1, t2);
    EXPECT_NEAR(std::hypot(at[0], at[1], at[2]), comet->q, 1e-9);
}

TEST(CometOrbit, TwoBodyMotionKeepsToMarsForAMonth)
{
    // Mars's state on 2013-05-13 as ERFA gives it, turned into elements on the ecliptic of J2000.
    const double mu = 0.01720209895 * 0.01720209895;
    const double eps = 84381.406 / 3600.0 * M_PI / 180;
    double t1 = 0, t2 = 0;
    eraDtf2d("TT", 2013, 5, 13, 0, 0, 0, &t1, &t2);
    double pv[2][3];
    eraPlan94(t1, t2, 4, pv);
    const auto ecliptic = [&](const double* a) {
        return std::array<double, 3>{a[0], a[1] * std::cos(eps) + a[2] * std::sin(eps),
                                     -a[1] * std::sin(eps) + a[2] * std::cos(eps)};
    };
    const auto r = ecliptic(pv[0]), v = ecliptic(pv[1]);
    const auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                     a[0] * b[1] - a[1] * b[0]};
    };
    const double rn = std::hypot(r[0], r[1], r[2]), v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const auto h = cross(r, v);
    const auto vh = cross(v, h);
    const std::array<double, 3> ev{vh[0] / mu - r[0] / rn, vh[1] / mu - r[1] / rn, vh[2] / mu - r[2] / rn};
    const double e = std::hypot(ev[0], ev[1], ev[2]);
    const double a = 1 / (2 / rn - v2 / mu);
    const double node = std::atan2(h[0], -h[1]);
    const double incl = std::acos(h[2] / std::hypot(h[0], h[1], h[2]));
    const std::array<double, 3> n{std::cos(node), std::sin(node), 0};
    double peri = std::acos((n[0] * ev[0] + n[1] * ev[1]) / e);
    if (ev[2] < 0)
        peri = 2 * M_PI - peri;
    const double rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    const double nu = std::atan2(rv * std::sqrt(a * (1 - e * e) / mu), a * (1 - e * e) - rn);
    const double E = 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(nu / 2));
    const double sinceDays = (E - e * std::sin(E)) / std::sqrt(mu / (a * a * a));
    CometElements mars;
    mars.q = a * (1 - e);
    mars.e = e;
    mars.inclination = incl * 180 / M_PI;
    mars.ascendingNode = node * 180 / M_PI;
    mars.argumentOfPerihelion = peri * 180 / M_PI;
    mars.perihelion =
        QDateTime(QDate(2013, 5, 13), QTime(0, 0), Qt::UTC).addMSecs(qint64(-sinceDays * 86400000.0));

    for (const double days : {0.0, -30.0, 30.0}) {
        SCOPED_TRACE(days);
        const auto comet = cometPlace(mars, t1, t2 + days);
        eraPlan94(t1, t2 + days, 4, pv);
        const double off = std::hypot(comet[0] - pv[0][0], comet[1] - pv[0][1], comet[2] - pv[0][2]);
        // A month's perturbations move Mars by some 1e-5 au; a wrong rotation or time by far more.
        EXPECT_LT(off, days == 0 ? 1e-8 : 1e-4);
    }
}

} // namespace
