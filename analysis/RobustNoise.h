#pragma once

// Robust level and noise of a sample: the median and the median absolute deviation scaled to one
// sigma of Gaussian noise, untouched by the few stars, hits and comets among the sky's pixels.
// One place for every part of the program that measures the noise of what it sees.

#include <algorithm>
#include <cmath>
#include <vector>

// The scale that turns a median absolute deviation into one sigma of Gaussian noise.
inline constexpr double madToSigma = 1.482602218505602;

// The median of `values` (the upper middle of an even count), which are reordered; 0 when empty.
template <class T> T medianOf(std::vector<T>& values)
{
    if (values.empty())
        return T(0);
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

template <class T> struct Spread
{
    T level = 0; // the median
    T sigma = 0; // the scaled median absolute deviation about it
};

// The median of `values` and one sigma of their noise from their median absolute deviation;
// `values` are left as their absolute deviations.
template <class T> Spread<T> robustSpread(std::vector<T>& values)
{
    Spread<T> out;
    out.level = medianOf(values);
    for (T& v : values)
        v = std::abs(v - out.level);
    out.sigma = T(madToSigma) * medianOf(values);
    return out;
}

// One sigma of noise that is far from Gaussian, as JPEG's is (whole blocks of chroma flat, others
// holding all the noise): the root mean square about the median, clipped at five sigmas, started
// from the scaled median absolute deviation, which alone is about half of it there. `values` are
// reordered.
float clippedSigma(std::vector<float>& values);
