#pragma once

#include <cmath>
#include <utility>

// The 95 % Wilson score interval of `hits` successes in `trials`: honest at the small counts
// the real-frame figures come from, where the normal approximation leaves [0, 1].
inline std::pair<double, double> wilson(int hits, int trials)
{
    if (trials <= 0)
        return {0.0, 1.0};
    constexpr double z = 1.959964;
    const double n = trials, p = hits / n;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z / (1 + z * z / n) * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n));
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}
