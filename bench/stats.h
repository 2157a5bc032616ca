// Order statistics of a list of measurements, as the benchmarks quote them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// The middle value, or the mean of the two middle values of an even count.
inline double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// The smallest value that at least the given fraction of all values do not
// exceed (the nearest-rank percentile): the 90th of 60 values is the 54th.
inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}
