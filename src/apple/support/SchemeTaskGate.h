#pragma once

namespace norla {

// The order WebKit demands of one custom-scheme task: a response, then data, then finish, or a failure
// at any point before the end; nothing after the end, and nothing after the task was stopped (WebKit
// raises an exception for any call after `stopURLSchemeTask:`). The adapter asks before each call.
class SchemeTaskGate {
public:
    enum class Step { response, data, finish, failure };

    // Whether `step` may reach the task now; a step that may is taken.
    bool take(Step step);
    // WebKit stopped the task: nothing reaches it any more.
    void stop() { m_state = State::ended; }
    bool hasEnded() const { return m_state == State::ended; }

private:
    enum class State { awaitingResponse, responded, ended };
    State m_state = State::awaitingResponse;
};

} // namespace norla
