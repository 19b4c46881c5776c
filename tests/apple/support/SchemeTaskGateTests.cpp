#include "support/SchemeTaskGate.h"

#include <gtest/gtest.h>

namespace norla {

using Step = SchemeTaskGate::Step;

TEST(SchemeTaskGate, ResponseDataFinishInOrderAndNothingAfterTheEnd)
{
    SchemeTaskGate gate;
    EXPECT_FALSE(gate.take(Step::data));
    EXPECT_FALSE(gate.take(Step::finish));
    EXPECT_TRUE(gate.take(Step::response));
    EXPECT_FALSE(gate.take(Step::response));
    EXPECT_TRUE(gate.take(Step::data));
    EXPECT_TRUE(gate.take(Step::data));
    EXPECT_TRUE(gate.take(Step::finish));
    EXPECT_TRUE(gate.hasEnded());
    EXPECT_FALSE(gate.take(Step::data));
    EXPECT_FALSE(gate.take(Step::failure));
}

TEST(SchemeTaskGate, AFailureEndsTheTaskAtAnyPointAndAStoppedTaskTakesNothing)
{
    SchemeTaskGate failedEarly;
    EXPECT_TRUE(failedEarly.take(Step::failure));
    EXPECT_FALSE(failedEarly.take(Step::response));

    SchemeTaskGate stopped;
    EXPECT_TRUE(stopped.take(Step::response));
    stopped.stop();
    EXPECT_FALSE(stopped.take(Step::data));
    EXPECT_FALSE(stopped.take(Step::finish));
    EXPECT_FALSE(stopped.take(Step::failure));
}

} // namespace norla
