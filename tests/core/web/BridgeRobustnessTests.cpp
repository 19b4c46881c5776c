#include "WebHostFixture.h"

#include "web/BridgeDispatcher.h"

#include <random>

namespace norla::test {
namespace {

    // Thousands of random and malformed messages: every one is answered exactly once, nothing crashes.
    class BridgeRobustnessTest : public WebHostTest {
    protected:
        BridgeRobustnessTest()
            : window(openWindow())
        {
        }

        size_t below(size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(random); }
        std::string pick(std::initializer_list<const char*> choices)
        {
            return *(choices.begin() + below(choices.size()));
        }
        std::string randomText(size_t maxLength)
        {
            static constexpr std::string_view alphabet = "abcXYZ019 /\\\"'%:@#?.\n\t\xe3\x81\x82\xff";
            std::string text(below(maxLength + 1), ' ');
            for (auto& c : text)
                c = alphabet[below(alphabet.size())];
            return text;
        }

        // Any JSON value; objects use the members the commands read.
        Value randomValue(int depth)
        {
            switch (below(depth > 0 ? 7 : 5)) {
            case 0:
                return Value();
            case 1:
                return Value(random() % 2 == 0);
            case 2:
                return Value(std::uniform_real_distribution<double>(-1e308, 1e308)(random));
            case 3:
                return Value(randomText(40));
            case 4:
                return Value(pick({ "https://example.com/", "mailto:a@b.c", "javascript:1", "/auth/", "" }));
            case 5: {
                Value::Array array(below(4));
                for (auto& element : array)
                    element = randomValue(depth - 1);
                return Value(std::move(array));
            }
            default: {
                Value::Object object;
                for (auto i = below(5); i > 0; --i)
                    object[pick(
                        { "url", "path", "counts", "title", "body", "tag", "sound", "callbackHost", "callbackPath" })]
                        = randomValue(depth - 1);
                return Value(std::move(object));
            }
            }
        }

        // Mostly an object with a command, often a real one; sometimes no command or no object at all.
        ScriptMessage randomMessage()
        {
            auto body = randomValue(4);
            if (random() % 10 != 0) {
                if (!body.isObject())
                    body = Value(Value::Object { { "path", randomValue(3) }, { "url", std::string(1 << 12, 'a') } });
                if (random() % 5 != 0)
                    (*body.asObject())["cmd"] = random() % 3 == 0
                        ? randomValue(2)
                        : Value(pick({ "badges", "notify", "notificationPermission", "requestNotificationPermission",
                            "start", "pause", "resume", "stop", "pending", "discard", "openExternal", "startOAuth" }));
            }
            return {
                pick({ "norlaShell", "norlaRecorder", "norlaRecorder", "norlaShell", "other", "" }), std::move(body),
                { random() % 4 != 0,
                    { "https", pick({ "office.norla.jp", "office.norla.jp", "evil.com", "", "OFFICE.norla.jp" }), 0 } }
            };
        }

        // Answers whatever the fakes are holding, successfully or not, as their platforms eventually would.
        void completeEverything()
        {
            for (auto& completion : std::exchange(recorder->startCompletions, {}))
                completion(random() % 2 ? Result<void>() : Result<void>(Error("RecorderError", 1, "失敗")));
            for (auto& completion : std::exchange(recorder->stopCompletions, {}))
                completion(random() % 2 ? Result<std::string>(std::string("/r/x/meeting.m4a"))
                                        : Result<std::string>(Error::platform("boom")));
            for (auto& completion : std::exchange(recorder->pendingCompletions, {}))
                completion(std::optional<std::string>());
            for (auto& completion : std::exchange(oauth->completions, {}))
                completion("ok");
            opener->completeAll();
        }

        std::mt19937 random { 20261205 };
        Window window;
    };

    TEST_F(BridgeRobustnessTest, EveryMessageIsAnsweredExactlyOnce)
    {
        constexpr size_t messageCount = 4000;
        std::vector<int> answers(messageCount, 0);
        std::vector<BridgeAnswer> lastAnswers(messageCount);
        recorder->pauseResult = Error("RecorderError", 3, "録音していません");

        for (size_t index = 0; index < messageCount; ++index) {
            window.coordinator->didReceiveScriptMessage(randomMessage(), BridgeReply([&, index](BridgeAnswer answer) {
                ++answers[index];
                lastAnswers[index] = std::move(answer);
            }));
            if (index % 50 == 49) {
                env.main().runUntilIdle();
                completeEverything();
                env.main().runUntilIdle();
            }
        }
        env.main().runUntilIdle();
        completeEverything();
        env.main().runUntilIdle();

        size_t refused = 0;
        for (size_t index = 0; index < messageCount; ++index) {
            ASSERT_EQ(answers[index], 1) << "message " << index;
            const auto& answer = lastAnswers[index];
            EXPECT_FALSE(answer.result && answer.error) << "message " << index;
            EXPECT_NE(answer.error, BridgeReply::droppedMessage) << "message " << index;
            refused += answer.error == "不正な呼び出しです";
        }
        EXPECT_GT(refused, messageCount / 10);
        EXPECT_LT(refused, messageCount);
    }

} // namespace
} // namespace norla::test
