#include "platform/BridgeReply.h"
#include "platform/CompletionHandler.h"
#include "platform/Result.h"

#include <gtest/gtest.h>

using namespace norla;

namespace {

std::vector<std::string> violations;

enum class SampleError { broken = 2 };
std::string_view errorDomain(SampleError) { return "SampleError"; }
std::string errorDescription(SampleError) { return "壊れています"; }

} // namespace

TEST(CompletionHandlerTest, ASecondCallOrADropUncalledIsReportedAndAnEmptyHandlerChecksNothing)
{
    setCompletionViolationHandler([](std::string_view reason) { violations.emplace_back(reason); });
    int calls = 0;
    {
        CompletionHandler<void(int)> handler([&](int value) { calls += value; });
        auto moved = std::move(handler);
        moved(5);
        EXPECT_TRUE(violations.empty()) << "called once, through a move";
        moved(5);
        CompletionHandler<void()> empty;
        CompletionHandler<void()> dropped([] {});
    }
    setCompletionViolationHandler(nullptr);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(violations.size(), 2u);
}

TEST(BridgeReplyTest, AnswersOnceAndRejectsWhenDroppedOrOverwritten)
{
    std::vector<BridgeAnswer> answers;
    auto record = [&](BridgeAnswer answer) { answers.push_back(std::move(answer)); };
    {
        BridgeReply reply(record);
        reply.resolve("done");
        reply.reject("ignored");
        BridgeReply dropped(record);
        BridgeReply first(record);
        BridgeReply second(record);
        second = std::move(first);
        second.resolve();
    }
    auto dropped = BridgeAnswer::failure(BridgeReply::droppedMessage);
    EXPECT_EQ(answers, (std::vector { BridgeAnswer::value("done"), dropped, BridgeAnswer::value(), dropped }));
}

TEST(ResultTest, CarriesAValueOrADescribedErrorAndRefusesTheOther)
{
    Result<int> good = 4;
    EXPECT_EQ(good.value(), 4);
    EXPECT_THROW((void)good.error(), std::logic_error);

    Result<int> bad = Error::from(SampleError::broken);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error().is(SampleError::broken));
    EXPECT_THROW((void)bad.value(), std::logic_error);
    try {
        (void)std::move(bad).valueOrThrow();
        ADD_FAILURE() << "no exception";
    } catch (const ErrorException& e) {
        EXPECT_STREQ(e.what(), "壊れています");
    }
    Result<void> failed = Error::platform("No such file or directory", 2);
    EXPECT_FALSE(failed.error().is(SampleError::broken));
    EXPECT_EQ(failed.error().description(), "No such file or directory");
}
