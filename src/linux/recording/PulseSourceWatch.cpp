#include "recording/PulseSourceWatch.h"

#include "recording/PulseError.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>

namespace norla {

namespace {

    constexpr const char* applicationName = "NorlaOffice";
    constexpr std::string_view defaultSourceName = "@DEFAULT_SOURCE@";

    // Holds the main loop's lock for a scope.
    class MainloopLock {
    public:
        explicit MainloopLock(pa_threaded_mainloop* mainloop)
            : m_mainloop(mainloop)
        {
            pa_threaded_mainloop_lock(m_mainloop);
        }
        ~MainloopLock() { pa_threaded_mainloop_unlock(m_mainloop); }
        MainloopLock(const MainloopLock&) = delete;
        MainloopLock& operator=(const MainloopLock&) = delete;

    private:
        pa_threaded_mainloop* m_mainloop;
    };

    void signalMainloop(pa_threaded_mainloop* mainloop) { pa_threaded_mainloop_signal(mainloop, 0); }

} // namespace

void PulseSourceWatch::MainloopDeleter::operator()(pa_threaded_mainloop* mainloop) const
{
    pa_threaded_mainloop_free(mainloop);
}

void PulseSourceWatch::ContextDeleter::operator()(pa_context* context) const
{
    pa_context_disconnect(context);
    pa_context_unref(context);
}

PulseSourceWatch::PulseSourceWatch(PassKey<PulseSourceWatch>) { }

PulseSourceWatch::~PulseSourceWatch()
{
    if (m_running)
        pa_threaded_mainloop_stop(m_mainloop.get());
    {
        std::lock_guard guard(m_lock); // after the loop's last callback
    }
    m_context.reset();
    m_mainloop.reset();
}

Result<std::unique_ptr<PulseSourceWatch>> PulseSourceWatch::start(
    const std::string& server, const std::string& device, std::function<void()> onGone)
{
    auto watch = std::make_unique<PulseSourceWatch>(PassKey<PulseSourceWatch>());
    {
        std::lock_guard guard(watch->m_lock);
        watch->m_onGone = std::move(onGone);
    }
    if (auto connected = watch->connect(server); !connected)
        return connected.error();
    MainloopLock lock(watch->m_mainloop.get());
    if (auto found = watch->find(device); !found)
        return found.error();
    if (auto subscribed = watch->subscribe(); !subscribed)
        return subscribed.error();
    return watch;
}

PulseSourceWatch::Source PulseSourceWatch::source() const
{
    std::lock_guard guard(m_lock);
    return m_source;
}

Error PulseSourceWatch::contextError() const { return pulseError(pa_context_errno(m_context.get())); }

Result<void> PulseSourceWatch::connect(const std::string& server)
{
    m_mainloop.reset(pa_threaded_mainloop_new());
    if (!m_mainloop)
        return pulseError(PA_ERR_INTERNAL);
    m_context.reset(pa_context_new(pa_threaded_mainloop_get_api(m_mainloop.get()), applicationName));
    if (!m_context)
        return pulseError(PA_ERR_INTERNAL);
    pa_context_set_state_callback(
        m_context.get(),
        [](pa_context*, void* mainloop) { signalMainloop(static_cast<pa_threaded_mainloop*>(mainloop)); },
        m_mainloop.get());
    if (pa_context_connect(m_context.get(), server.empty() ? nullptr : server.c_str(), PA_CONTEXT_NOFLAGS, nullptr) < 0)
        return contextError();
    MainloopLock lock(m_mainloop.get());
    if (pa_threaded_mainloop_start(m_mainloop.get()) < 0)
        return pulseError(PA_ERR_INTERNAL);
    m_running = true;
    for (;;) {
        auto state = pa_context_get_state(m_context.get());
        if (state == PA_CONTEXT_READY)
            return {};
        if (!PA_CONTEXT_IS_GOOD(state))
            return contextError();
        pa_threaded_mainloop_wait(m_mainloop.get());
    }
}

bool PulseSourceWatch::wait(pa_operation* operation)
{
    if (!operation)
        return false;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(m_mainloop.get());
    pa_operation_unref(operation);
    return true;
}

Result<void> PulseSourceWatch::find(const std::string& device)
{
    std::string name = device;
    if (device == defaultSourceName) {
        auto* operation = pa_context_get_server_info(
            m_context.get(),
            [](pa_context*, const pa_server_info* info, void* self) {
                auto* watch = static_cast<PulseSourceWatch*>(self);
                if (info && info->default_source_name) {
                    std::lock_guard guard(watch->m_lock);
                    watch->m_source.name = info->default_source_name;
                }
                signalMainloop(watch->m_mainloop.get());
            },
            this);
        if (!wait(operation))
            return contextError();
        name = source().name;
        if (name.empty())
            return pulseError(PA_ERR_NOENTITY);
    }
    auto* operation = pa_context_get_source_info_by_name(
        m_context.get(), name.c_str(),
        [](pa_context*, const pa_source_info* info, int, void* self) {
            auto* watch = static_cast<PulseSourceWatch*>(self);
            if (info) {
                std::lock_guard guard(watch->m_lock);
                watch->m_source.index = info->index;
                watch->m_source.name = info->name;
                watch->m_source.isMonitor = info->monitor_of_sink != PA_INVALID_INDEX;
                watch->m_found = true;
            }
            signalMainloop(watch->m_mainloop.get());
        },
        this);
    if (!wait(operation))
        return contextError();
    if (std::lock_guard guard(m_lock); !m_found)
        return pulseError(PA_ERR_NOENTITY);
    return {};
}

Result<void> PulseSourceWatch::subscribe()
{
    pa_context_set_subscribe_callback(
        m_context.get(),
        [](pa_context*, pa_subscription_event_type_t type, std::uint32_t index, void* self) {
            auto* watch = static_cast<PulseSourceWatch*>(self);
            bool removed = (type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SOURCE
                && (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE;
            if (!removed || index != watch->source().index || watch->m_gone.exchange(true))
                return;
            std::function<void()> onGone;
            {
                std::lock_guard guard(watch->m_lock);
                onGone = watch->m_onGone;
            }
            if (onGone)
                onGone();
        },
        this);
    auto* operation = pa_context_subscribe(
        m_context.get(), PA_SUBSCRIPTION_MASK_SOURCE,
        [](pa_context*, int, void* self) { signalMainloop(static_cast<PulseSourceWatch*>(self)->m_mainloop.get()); },
        this);
    if (!wait(operation))
        return contextError();
    return {};
}

} // namespace norla
