#include "auth/AuthenticationCallback.h"
#include "platform/GUriParser.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(AuthenticationCallbackTest, EndsOnlyOnTheHttpsAddressWhateverItsQueryAndFragment)
    {
        const GUriParser parser;
        struct Case {
            const char* host;
            const char* path;
            const char* address;
            bool matches;
        } cases[] = {
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp/auth/native/callback", true },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp/auth/native/callback?code=a#d",
                true },
            { "office.norla.jp", "/auth/native/callback", "HTTPS://Office.Norla.JP:443/auth/native/callback", true },
            { "office.norla.jp", "/auth/native/callback", "https://someone@office.norla.jp/auth/native/callback",
                true },
            { "office.norla.jp", "/auth/native/callback", "http://office.norla.jp/auth/native/callback", false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp:8443/auth/native/callback", false },
            { "office.norla.jp", "/auth/native/callback",
                "https://evil.example/auth/native/callback?next=https://office.norla.jp/auth/native/callback", false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp.evil.example/auth/native/callback",
                false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp@evil.example/auth/native/callback",
                false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp/auth/native/callback/", false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp/auth/native/callbacks", false },
            { "office.norla.jp", "/auth/native/callback", "https://office.norla.jp/AUTH/native/callback", false },
            { "office.norla.jp", "/auth/native/callback", "norla-rec://office.norla.jp/auth/native/callback", false },
            { "Callback.Example", "/", "https://callback.example", true },
            { "Callback.Example", "/", "https://callback.example/?code=1", true },
            { "Callback.Example", "/", "https://callback.example/x", false },
        };
        for (const auto& row : cases) {
            auto url = parser.parse(row.address);
            ASSERT_TRUE(url) << row.address;
            EXPECT_EQ(AuthenticationCallback(row.host, row.path).matches(*url), row.matches) << row.address;
        }
    }

} // namespace
} // namespace norla
