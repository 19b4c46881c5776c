#pragma once

#include <glib-object.h>

#include <functional>
#include <memory>
#include <utility>

namespace norla {

// A connection to a GObject signal that is disconnected when this handle goes away. It watches the
// instance weakly: an instance finalized first simply leaves nothing to disconnect.
class SignalConnection {
public:
    SignalConnection() = default;
    SignalConnection(gpointer instance, gulong handlerId);
    SignalConnection(SignalConnection&& other) noexcept;
    SignalConnection& operator=(SignalConnection&& other) noexcept;
    SignalConnection(const SignalConnection&) = delete;
    SignalConnection& operator=(const SignalConnection&) = delete;
    ~SignalConnection();

    bool isConnected() const;
    void disconnect();

private:
    std::unique_ptr<GWeakRef> m_instance; // heap-held: a GWeakRef must not move once initialised
    gulong m_handlerId = 0;
};

namespace detail {
    template <class Signature> struct SignalTrampoline;
    template <class R, class... Args> struct SignalTrampoline<R(Args...)> {
        using Function = std::function<R(Args...)>;
        static R call(Args... args, gpointer data) { return (*static_cast<Function*>(data))(args...); }
        static void destroy(gpointer data, GClosure*) { std::unique_ptr<Function>(static_cast<Function*>(data)); }
    };
} // namespace detail

// Connects a C++ callable to a signal. `Signature` is the signal's C signature without the trailing
// user-data pointer, e.g. `gboolean(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType)`.
template <class Signature, class F>
[[nodiscard]] SignalConnection connectSignal(gpointer instance, const char* detailedSignal, F&& function)
{
    using Trampoline = detail::SignalTrampoline<Signature>;
    auto owned = std::make_unique<typename Trampoline::Function>(std::forward<F>(function));
    // The closure owns the callable from here on and frees it through `destroy`; an unknown signal
    // makes no closure, so the callable stays ours.
    gulong id = g_signal_connect_data(instance, detailedSignal, G_CALLBACK(&Trampoline::call), owned.get(),
        &Trampoline::destroy, static_cast<GConnectFlags>(0));
    if (!id)
        return {};
    (void)owned.release();
    return SignalConnection(instance, id);
}

} // namespace norla
