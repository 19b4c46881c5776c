#pragma once

#include <chrono>
#include <functional>

namespace norla {

// Iterates the default GLib main context until `done` holds or `limit` has passed; whether `done` held.
// For programs that drive WebKit or GLib without running an application (tests, benchmarks): with
// `done` never true, it waits for `limit` while the main loop goes on.
bool iterateMainContextUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

} // namespace norla
