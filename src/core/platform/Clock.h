#pragma once

#include <chrono>

namespace norla {

using Duration = std::chrono::nanoseconds;

inline Duration seconds(double value)
{
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(value));
}
inline double toSeconds(Duration value) { return std::chrono::duration<double>(value).count(); }

// Monotonic time since an arbitrary origin (the host's uptime clock). Injected so that tests can move it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Duration now() const = 0;
};

class SteadyClock final : public Clock {
public:
    Duration now() const override
    {
        return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now().time_since_epoch());
    }
};

} // namespace norla
