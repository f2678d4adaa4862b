#include "analysis/RobustNoise.h"

float clippedSigma(std::vector<float>& values)
{
    float sigma = robustSpread(values).sigma; // leaves the absolute deviations
    for (int round = 0; round < 3 && sigma > 0; ++round) {
        double sum = 0;
        size_t count = 0;
        for (const float v : values) {
            if (v < 5 * sigma) {
                sum += double(v) * v;
                ++count;
            }
        }
        sigma = float(std::sqrt(sum / double(std::max<size_t>(count, 1))));
    }
    return sigma;
}
