#pragma once

#include "platform/UniqueFunction.h"

#include <string_view>
#include <utility>

namespace norla {

// Called when a completion handler is called twice or destroyed uncalled. The default prints the
// reason and aborts; tests install their own to observe violations.
using CompletionViolationHandler = void (*)(std::string_view reason);
void setCompletionViolationHandler(CompletionViolationHandler handler);
void reportCompletionViolation(std::string_view reason);

template <class Signature> class CompletionHandler;

// A callback that must be called exactly once, like the completion handlers of the platform APIs
// it mirrors. An empty handler (default-constructed or moved from) checks nothing.
template <class... Args> class CompletionHandler<void(Args...)> {
public:
    CompletionHandler() = default;
    template <class F>
    requires(!std::is_same_v<std::decay_t<F>, CompletionHandler>)
        CompletionHandler(F&& function) // NOLINT(google-explicit-constructor): built from lambdas
        : m_function(std::forward<F>(function))
    {
    }
    CompletionHandler(CompletionHandler&& other) noexcept
        : m_function(std::exchange(other.m_function, nullptr))
    {
    }
    CompletionHandler& operator=(CompletionHandler&& other) noexcept
    {
        if (this != &other) {
            checkUncalled();
            m_function = std::exchange(other.m_function, nullptr);
        }
        return *this;
    }
    CompletionHandler(const CompletionHandler&) = delete;
    CompletionHandler& operator=(const CompletionHandler&) = delete;
    ~CompletionHandler() { checkUncalled(); }

    explicit operator bool() const { return static_cast<bool>(m_function); }

    void operator()(Args... args)
    {
        if (!m_function) {
            reportCompletionViolation("completion handler called twice or after being moved from");
            return;
        }
        auto function = std::exchange(m_function, nullptr);
        function(std::forward<Args>(args)...);
    }

private:
    void checkUncalled()
    {
        if (m_function)
            reportCompletionViolation("completion handler destroyed without being called");
    }
    UniqueFunction<void(Args...)> m_function;
};

} // namespace norla
