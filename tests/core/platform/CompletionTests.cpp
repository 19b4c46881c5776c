#include "platform/BridgeReply.h"
#include "platform/CompletionHandler.h"
#include "platform/Result.h"

#include <gtest/gtest.h>

using namespace norla;

namespace {

std::vector<std::string> violations;
void recordViolation(std::string_view reason) { violations.emplace_back(reason); }

class CompletionHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        violations.clear();
        setCompletionViolationHandler(recordViolation);
    }
    void TearDown() override { setCompletionViolationHandler(nullptr); }
};

enum class SampleError { broken = 2 };
std::string_view errorDomain(SampleError) { return "SampleError"; }
std::string errorDescription(SampleError) { return "壊れています"; }

} // namespace

TEST_F(CompletionHandlerTest, CalledOnceIsQuiet)
{
    int value = 0;
    CompletionHandler<void(int)> handler([&](int v) { value = v; });
    auto moved = std::move(handler);
    moved(5);
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(violations.empty());
}

TEST_F(CompletionHandlerTest, SecondCallIsReportedAndNotForwarded)
{
    int calls = 0;
    CompletionHandler<void()> handler([&] { ++calls; });
    handler();
    handler();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(violations.size(), 1u);
}

TEST_F(CompletionHandlerTest, DroppedUncalledIsReported)
{
    {
        CompletionHandler<void()> handler([] {});
    }
    EXPECT_EQ(violations.size(), 1u);
    {
        CompletionHandler<void()> empty;
    }
    EXPECT_EQ(violations.size(), 1u);
}

TEST(BridgeReply, AnswersOnceAndRejectsWhenDropped)
{
    std::vector<BridgeAnswer> answers;
    {
        BridgeReply reply([&](BridgeAnswer answer) { answers.push_back(std::move(answer)); });
        reply.resolve("done");
        reply.reject("ignored");
    }
    {
        BridgeReply dropped([&](BridgeAnswer answer) { answers.push_back(std::move(answer)); });
    }
    {
        BridgeReply first([&](BridgeAnswer answer) { answers.push_back(std::move(answer)); });
        BridgeReply second([&](BridgeAnswer answer) { answers.push_back(std::move(answer)); });
        second = std::move(first); // the overwritten reply is answered, not lost
        second.resolve();
    }
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[0], BridgeAnswer::value("done"));
    EXPECT_EQ(answers[1], BridgeAnswer::failure(BridgeReply::droppedMessage));
    EXPECT_EQ(answers[2], BridgeAnswer::failure(BridgeReply::droppedMessage));
    EXPECT_EQ(answers[3], BridgeAnswer::value());
}

TEST(Result, CarriesValueOrDescribedError)
{
    Result<int> good = 4;
    EXPECT_TRUE(good.ok());
    EXPECT_EQ(good.value(), 4);
    EXPECT_THROW((void)good.error(), std::logic_error);

    Result<int> bad = Error::from(SampleError::broken);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error().is(SampleError::broken));
    EXPECT_EQ(bad.error().description(), "壊れています");
    EXPECT_THROW((void)bad.value(), std::logic_error);
    try {
        (void)std::move(bad).valueOrThrow();
        FAIL();
    } catch (const ErrorException& e) {
        EXPECT_STREQ(e.what(), "壊れています");
    }
    Result<void> failed = Error::platform("No such file or directory", 2);
    EXPECT_FALSE(failed.error().is(SampleError::broken));
    EXPECT_EQ(failed.error().description(), "No such file or directory");
}
