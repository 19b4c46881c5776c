#include "web/ScriptMessageBridge.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    Url pageURL()
    {
        Url url;
        url.scheme = "http";
        url.host = "127.0.0.1";
        url.port = 8765;
        url.path = "/chat";
        url.absoluteString = "http://127.0.0.1:8765/chat";
        return url;
    }

    TEST(ScriptMessageBridgeTests, OnlyTheWrapperTokenMarksTheMainFrameAndItsOriginIsThePagesOwn)
    {
        Value::Object command { { "cmd", "notify" }, { "title", "件名" } };
        Value wrapped(Value::Object { { "__norlaFrameToken", "secret" }, { "body", command } });

        auto fromTop = ScriptMessageBridge::decode("norlaShell", wrapped, "secret", pageURL());
        EXPECT_TRUE(fromTop.frameInfo.isMainFrame);
        EXPECT_EQ(fromTop.body, Value(command));
        EXPECT_EQ(fromTop.name, "norlaShell");
        EXPECT_EQ(fromTop.frameInfo.securityOrigin.host, "127.0.0.1");
        EXPECT_EQ(fromTop.frameInfo.securityOrigin.port, 8765);

        // A frame posting straight to the handler, with no token, a wrong one, or one of another type.
        for (const Value& posted :
            { Value(command), Value(Value::Object { { "__norlaFrameToken", "guess" }, { "body", command } }),
                Value(Value::Object { { "__norlaFrameToken", 1 }, { "body", command } }), Value("secret") }) {
            auto fromFrame = ScriptMessageBridge::decode("norlaShell", posted, "secret", pageURL());
            EXPECT_FALSE(fromFrame.frameInfo.isMainFrame) << posted.toJSON();
            EXPECT_EQ(fromFrame.frameInfo.securityOrigin.host, "");
        }

        // The page may post something that is not an object; it arrives as posted, for the guard to refuse.
        auto odd = ScriptMessageBridge::decode(
            "norlaShell", Value(Value::Object { { "__norlaFrameToken", "secret" } }), "secret", std::nullopt);
        EXPECT_TRUE(odd.frameInfo.isMainFrame);
        EXPECT_TRUE(odd.body.isNull());
    }

    TEST(ScriptMessageBridgeTests, TheWrapperNamesItsHandlerAndCarriesTheToken)
    {
        auto script = ScriptMessageBridge::wrapperScript("norlaRecorder", "0123abcd");
        EXPECT_NE(script.find("handlers[\"norlaRecorder\"]"), std::string::npos);
        EXPECT_NE(script.find("__norlaFrameToken: \"0123abcd\""), std::string::npos);
        EXPECT_NE(script.find("configurable: false"), std::string::npos);
    }

} // namespace
} // namespace norla
