#include "web/ScriptMessageBridge.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    Value sender(const char* protocol, const char* host, const char* port)
    {
        return Value(Value::Object { { "protocol", protocol }, { "host", host }, { "port", port } });
    }

    TEST(ScriptMessageBridgeTest, OnlyTheWrapperTokenMarksTheMainFrameAndItsOriginIsTheSendingDocumentsOwn)
    {
        Value::Object command { { "cmd", "notify" }, { "title", "件名" } };
        Value wrapped(Value::Object { { "__norlaFrameToken", "secret" },
            { "__norlaSender", sender("http:", "127.0.0.1", "8765") }, { "body", command } });

        auto fromTop = ScriptMessageBridge::decode("norlaShell", wrapped, "secret");
        EXPECT_TRUE(fromTop.frameInfo.isMainFrame);
        EXPECT_EQ(fromTop.body, Value(command));
        EXPECT_EQ(fromTop.name, "norlaShell");
        EXPECT_EQ(fromTop.frameInfo.securityOrigin.protocol, "http");
        EXPECT_EQ(fromTop.frameInfo.securityOrigin.host, "127.0.0.1");
        EXPECT_EQ(fromTop.frameInfo.securityOrigin.port, 8765);

        // A frame posting straight to the handler, with no token, a wrong one, or one of another type.
        for (const Value& posted :
            { Value(command), Value(Value::Object { { "__norlaFrameToken", "guess" }, { "body", command } }),
                Value(Value::Object { { "__norlaFrameToken", 1 }, { "body", command } }), Value("secret") }) {
            auto fromFrame = ScriptMessageBridge::decode("norlaShell", posted, "secret");
            EXPECT_FALSE(fromFrame.frameInfo.isMainFrame) << posted.toJSON();
            EXPECT_EQ(fromFrame.frameInfo.securityOrigin.host, "");
        }

        // The page may post something that is not an object; it arrives as posted, for the guard to refuse.
        auto odd = ScriptMessageBridge::decode(
            "norlaShell", Value(Value::Object { { "__norlaFrameToken", "secret" } }), "secret");
        EXPECT_TRUE(odd.frameInfo.isMainFrame);
        EXPECT_TRUE(odd.body.isNull());
        EXPECT_EQ(odd.frameInfo.securityOrigin.host, "") << "no sender, no host";
    }

    TEST(ScriptMessageBridgeTest, TheSendersOriginIsReadAsTheDocumentWroteItOrNotAtAll)
    {
        auto originOf = [](const Value& from) {
            Value posted(Value::Object { { "__norlaFrameToken", "t" }, { "__norlaSender", from }, { "body", 1 } });
            return ScriptMessageBridge::decode("norlaShell", posted, "t").frameInfo.securityOrigin;
        };
        auto defaultPort = originOf(sender("https:", "office.norla.jp", ""));
        EXPECT_EQ(defaultPort.host, "office.norla.jp");
        EXPECT_EQ(defaultPort.port, 0);
        EXPECT_EQ(originOf(sender("http:", "[::1]", "80")).host, "::1");
        EXPECT_EQ(originOf(sender("http:", "a.jp", "x1")).port, 0);
        EXPECT_EQ(originOf(Value(Value::Object { { "host", "office.norla.jp" } })).host, "");
        EXPECT_EQ(originOf(Value("office.norla.jp")).host, "");
    }

} // namespace
} // namespace norla
