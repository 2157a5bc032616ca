// What the benchmark tools share: their command lines (a word naming what to
// measure, then "--name value" pairs) and the order statistics they quote.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// Every option a tool knows, by its name ("--keys"), with its default value.
using Options = std::map<std::string, std::string>;

// Takes the pairs from argv[first] on; false for an unknown or lone name.
inline bool parseOptions(int argc, char** argv, int first, Options& options) {
    for (int i = first; i < argc; i += 2) {
        const auto known = options.find(argv[i]);
        if (known == options.end() || i + 1 >= argc) {
            return false;
        }
        known->second = argv[i + 1];
    }
    return true;
}

// False unless the text is a number from low to high.
inline bool numberIn(const std::string& text, double low, double high, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && value >= low && value <= high;
}

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
