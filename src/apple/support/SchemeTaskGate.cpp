#include "support/SchemeTaskGate.h"

namespace norla {

bool SchemeTaskGate::take(Step step)
{
    switch (step) {
    case Step::response:
        if (m_state != State::awaitingResponse)
            return false;
        m_state = State::responded;
        return true;
    case Step::data:
        return m_state == State::responded;
    case Step::finish:
        if (m_state != State::responded)
            return false;
        m_state = State::ended;
        return true;
    case Step::failure:
        if (m_state == State::ended)
            return false;
        m_state = State::ended;
        return true;
    }
    return false;
}

} // namespace norla
