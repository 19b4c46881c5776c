#include "foundation/MainContextWait.h"

#include <glib.h>

namespace norla {

bool iterateMainContextUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    bool expired = false;
    guint guard = g_timeout_add(
        static_cast<guint>(limit.count()),
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &expired);
    bool held = false;
    while (!(held = done()) && !expired)
        g_main_context_iteration(nullptr, TRUE);
    if (!expired)
        g_source_remove(guard);
    return held;
}

} // namespace norla
