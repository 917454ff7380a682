#include "text_conversions.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace levelsmith {

float EpsilonFromText(const char* text) {
    const double value = std::atof(text);
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    // Halfway between the largest float and the next power of two: from
    // there on, rounding to nearest gives infinity.
    constexpr double kOverflow = 0x1.ffffffp127;
    if (std::isfinite(value) && std::fabs(value) > kFloatMax) {
        const double magnitude =
            std::fabs(value) < kOverflow ? kFloatMax : std::numeric_limits<double>::infinity();
        return static_cast<float>(std::copysign(magnitude, value));
    }
    return static_cast<float>(value);
}

int SplitFromText(const char* text) {
    const double value = std::atof(text);
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return std::numeric_limits<int>::max();
    }
    if (value <= -2147483649.0) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

}  // namespace levelsmith
