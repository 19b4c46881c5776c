#include "support/SchemeTaskGate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norla {

using Step = SchemeTaskGate::Step;

// Each row: the calls made in order, and which of them reach the task ('+') or are held back ('-');
// 'S' stops the task.
TEST(SchemeTaskGateTest, ResponseDataFinishInOrderAFailureAtAnyPointAndNothingAfterTheEndOrAStop)
{
    const std::pair<std::string, std::string> cases[]
        = { { "dfrrddfdx", "--+-+++--" }, { "xr", "+-" }, { "rdx", "+++" }, { "rSdfx", "+ ---" }, { "Sr", " -" } };
    for (auto& [calls, expected] : cases) {
        SCOPED_TRACE(calls);
        SchemeTaskGate gate;
        std::string taken;
        for (char call : calls) {
            if (call == 'S') {
                gate.stop();
                taken += ' ';
                continue;
            }
            auto step = call == 'r' ? Step::response
                : call == 'd'       ? Step::data
                : call == 'f'       ? Step::finish
                                    : Step::failure;
            taken += gate.take(step) ? '+' : '-';
        }
        EXPECT_EQ(taken, expected);
        EXPECT_EQ(gate.hasEnded(), calls.find_first_of("fxS") != std::string::npos);
    }
}

} // namespace norla
