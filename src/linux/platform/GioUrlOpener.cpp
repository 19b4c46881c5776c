#include "platform/GioUrlOpener.h"

#include "foundation/GUniquePtr.h"
#include "platform/SystemLog.h"

#include <gio/gio.h>

#include <memory>

namespace norla {

namespace {

    using Completion = CompletionHandler<void(bool)>;

    void didLaunch(GObject*, GAsyncResult* result, gpointer data)
    {
        std::unique_ptr<Completion> completion(static_cast<Completion*>(data));
        GErrorPtr error;
        bool opened = g_app_info_launch_default_for_uri_finish(result, GErrorOut(error));
        if (!opened)
            logLine(std::string("GioUrlOpener: ") + (error ? error->message : "not opened"));
        (*completion)(opened);
    }

} // namespace

void GioUrlOpener::open(const Url& url, CompletionHandler<void(bool opened)> completion)
{
    // The callback runs on the main context of the calling (main) thread and owns the completion.
    auto owned = std::make_unique<Completion>(std::move(completion));
    g_app_info_launch_default_for_uri_async(url.absoluteString.c_str(), nullptr, nullptr, &didLaunch, owned.release());
}

} // namespace norla
