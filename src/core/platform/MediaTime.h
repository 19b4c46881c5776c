#pragma once

#include <cstdint>

namespace norla {

// A media time as a rational number of seconds (the role of CMTime): value / timescale.
struct MediaTime {
    std::int64_t value = 0;
    std::int32_t timescale = 1;

    static constexpr MediaTime zero() { return {}; }
    double seconds() const { return timescale > 0 ? static_cast<double>(value) / timescale : 0; }

    // Sums keep the finer timescale, so sample-exact durations stay exact.
    MediaTime operator+(const MediaTime& other) const
    {
        if (timescale == other.timescale)
            return { value + other.value, timescale };
        auto scale = timescale > other.timescale ? timescale : other.timescale;
        return { rescaled(scale) + other.rescaled(scale), scale };
    }
    bool operator==(const MediaTime& other) const { return compare(other) == 0; }
    bool operator<(const MediaTime& other) const { return compare(other) < 0; }
    bool operator>(const MediaTime& other) const { return compare(other) > 0; }

private:
    std::int64_t rescaled(std::int32_t scale) const { return timescale > 0 ? value * scale / timescale : 0; }
    int compare(const MediaTime& other) const
    {
        // Recordings are hours long at audio rates: both products stay far inside 64 bits.
        auto left = value * other.timescale;
        auto right = other.value * timescale;
        return left < right ? -1 : (left > right ? 1 : 0);
    }
};

struct MediaTimeRange {
    MediaTime start;
    MediaTime duration;
};

} // namespace norla
