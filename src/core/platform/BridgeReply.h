#pragma once

#include "platform/UniqueFunction.h"

#include <optional>
#include <string>

namespace norla {

// What the page's promise settles with: a result (a string or nothing) or an error message.
struct BridgeAnswer {
    std::optional<std::string> result;
    std::optional<std::string> error;

    static BridgeAnswer value(std::optional<std::string> result = std::nullopt) { return { std::move(result), {} }; }
    static BridgeAnswer failure(std::string message) { return { {}, std::move(message) }; }
    bool operator==(const BridgeAnswer&) const = default;
};

// The reply to one bridge message. It answers exactly once: a second answer is ignored, and a reply
// dropped unanswered rejects the page's promise with `droppedMessage`, so the page never waits forever.
class BridgeReply {
public:
    static constexpr const char* droppedMessage = "応答がありませんでした";
    using Sink = UniqueFunction<void(BridgeAnswer)>;

    BridgeReply() = default;
    explicit BridgeReply(Sink sink)
        : m_sink(std::move(sink))
    {
    }
    BridgeReply(BridgeReply&& other) noexcept = default;
    BridgeReply& operator=(BridgeReply&& other) noexcept
    {
        if (this != &other) {
            dropUnanswered();
            m_sink = std::move(other.m_sink);
        }
        return *this;
    }
    BridgeReply(const BridgeReply&) = delete;
    BridgeReply& operator=(const BridgeReply&) = delete;
    ~BridgeReply() { dropUnanswered(); }

    bool isPending() const { return static_cast<bool>(m_sink); }
    void answer(BridgeAnswer answer)
    {
        if (!m_sink)
            return;
        auto sink = std::move(m_sink);
        m_sink = nullptr;
        sink(std::move(answer));
    }
    void resolve(std::optional<std::string> result = std::nullopt) { answer(BridgeAnswer::value(std::move(result))); }
    void reject(std::string message) { answer(BridgeAnswer::failure(std::move(message))); }

private:
    void dropUnanswered()
    {
        if (m_sink)
            reject(droppedMessage);
    }
    Sink m_sink;
};

} // namespace norla
