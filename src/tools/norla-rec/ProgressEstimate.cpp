#include "ProgressEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace norla {

ProgressEstimate ProgressEstimate::after(double fraction, Seconds elapsed)
{
    if (!(fraction > 0))
        fraction = 0;
    fraction = std::min(fraction, 1.0);
    ProgressEstimate estimate;
    estimate.percent = static_cast<int>(std::floor(fraction * 100));
    if (fraction >= 1) {
        estimate.timeLeft = std::chrono::seconds(0);
    } else if (fraction >= settlingFraction && elapsed >= settlingTime) {
        // Round up: "0:00 left" only once the work is done.
        auto left = elapsed.count() * (1 - fraction) / fraction;
        estimate.timeLeft = std::chrono::seconds(static_cast<long long>(std::ceil(left)));
    }
    return estimate;
}

std::string ProgressEstimate::line(std::string_view label) const
{
    char left[32] = "--:--";
    if (timeLeft) {
        auto total = timeLeft->count();
        auto hours = total / 3600;
        auto minutes = total / 60 % 60;
        auto seconds = total % 60;
        if (hours > 0)
            std::snprintf(left, sizeof left, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                static_cast<long long>(minutes), static_cast<long long>(seconds));
        else
            std::snprintf(
                left, sizeof left, "%lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(seconds));
    }
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%%", percent);
    return std::string(label) + ' ' + percentText + "  " + left + " left";
}

} // namespace norla
