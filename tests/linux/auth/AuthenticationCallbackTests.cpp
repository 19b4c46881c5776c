#include "auth/AuthenticationCallback.h"
#include "platform/GUriParser.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(AuthenticationCallbackTest, EndsOnlyOnTheHttpsAddressWhateverItsQueryAndFragment)
    {
        const GUriParser parser;
        const struct {
            AuthenticationCallback callback;
            std::vector<const char*> matching;
            std::vector<const char*> other;
        } cases[] = {
            { { "office.norla.jp", "/auth/native/callback" },
                { "https://office.norla.jp/auth/native/callback",
                    "https://office.norla.jp/auth/native/callback?code=a#d",
                    "HTTPS://Office.Norla.JP:443/auth/native/callback",
                    "https://someone@office.norla.jp/auth/native/callback" },
                { "http://office.norla.jp/auth/native/callback", "https://office.norla.jp:8443/auth/native/callback",
                    "https://evil.example/auth/native/callback?next=https://office.norla.jp/auth/native/callback",
                    "https://office.norla.jp.evil.example/auth/native/callback",
                    "https://office.norla.jp@evil.example/auth/native/callback",
                    "https://office.norla.jp/auth/native/callback/", "https://office.norla.jp/auth/native/callbacks",
                    "https://office.norla.jp/AUTH/native/callback",
                    "norla-rec://office.norla.jp/auth/native/callback" } },
            { { "Callback.Example", "/" }, { "https://callback.example", "https://callback.example/?code=1" },
                { "https://callback.example/x" } },
        };
        for (const auto& [callback, matching, other] : cases) {
            for (bool matches : { true, false }) {
                for (const char* address : matches ? matching : other) {
                    auto url = parser.parse(address);
                    ASSERT_TRUE(url) << address;
                    EXPECT_EQ(callback.matches(*url), matches) << address;
                }
            }
        }
    }

} // namespace
} // namespace norla
