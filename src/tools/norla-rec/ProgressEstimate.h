#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace norla {

// What a progress line says about work under way: the part done in whole percent and, once the pace can
// be told, the time left at that pace.
struct ProgressEstimate {
    using Seconds = std::chrono::duration<double>;

    // Nothing is promised before this much time has passed or this much of the work is done: the first
    // moments (opening files, the encoder's start) say little about the pace.
    static constexpr Seconds settlingTime { 0.5 };
    static constexpr double settlingFraction = 0.01;

    int percent = 0;
    std::optional<std::chrono::seconds> timeLeft;

    // `fraction` of the work (0 to 1; anything else is clamped) was done in `elapsed`.
    static ProgressEstimate after(double fraction, Seconds elapsed);

    // "mixdown  42%  1:05 left"; "--:--" while the time left is not known.
    std::string line(std::string_view label) const;
};

} // namespace norla
