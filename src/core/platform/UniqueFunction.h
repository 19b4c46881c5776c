#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace norla {

template <class Signature> class UniqueFunction;

// A move-only std::function: tasks and completions may own move-only state (a reply, a handler).
template <class R, class... Args> class UniqueFunction<R(Args...)> {
public:
    UniqueFunction() = default;
    UniqueFunction(std::nullptr_t) { }

    template <class F>
    requires(!std::is_same_v<std::decay_t<F>, UniqueFunction> && std::is_invocable_r_v<R, F&, Args...>)
        UniqueFunction(F&& f) // NOLINT(google-explicit-constructor): stands in for a lambda like std::function
        : m_callable(std::make_unique<Model<std::decay_t<F>>>(std::forward<F>(f)))
    {
    }

    UniqueFunction(UniqueFunction&&) noexcept = default;
    UniqueFunction& operator=(UniqueFunction&&) noexcept = default;
    UniqueFunction(const UniqueFunction&) = delete;
    UniqueFunction& operator=(const UniqueFunction&) = delete;
    ~UniqueFunction() = default;

    explicit operator bool() const { return m_callable != nullptr; }

    R operator()(Args... args) const { return m_callable->call(std::forward<Args>(args)...); }

private:
    struct Concept {
        virtual ~Concept() = default;
        virtual R call(Args... args) = 0;
    };
    template <class F> struct Model final : Concept {
        explicit Model(F f)
            : function(std::move(f))
        {
        }
        R call(Args... args) override { return function(std::forward<Args>(args)...); }
        F function;
    };
    std::unique_ptr<Concept> m_callable;
};

} // namespace norla
