#include "auth/AuthenticationCallback.h"
#include "platform/GUriParser.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    const GUriParser parser;

    bool matches(const AuthenticationCallback& callback, const char* text)
    {
        auto url = parser.parse(text);
        EXPECT_TRUE(url) << text;
        return url && callback.matches(*url);
    }

    TEST(AuthenticationCallbackTest, EndsOnTheHttpsAddressWhateverItsQueryAndFragment)
    {
        AuthenticationCallback callback("office.norla.jp", "/auth/native/callback");
        EXPECT_TRUE(matches(callback, "https://office.norla.jp/auth/native/callback"));
        EXPECT_TRUE(matches(callback, "https://office.norla.jp/auth/native/callback?code=abc&state=x#done"));
        EXPECT_TRUE(matches(callback, "HTTPS://Office.Norla.JP:443/auth/native/callback?code=abc"));
        EXPECT_TRUE(matches(callback, "https://someone@office.norla.jp/auth/native/callback"));
    }

    TEST(AuthenticationCallbackTest, AnyOtherSchemeHostPortOrPathIsAnOrdinaryNavigation)
    {
        AuthenticationCallback callback("office.norla.jp", "/auth/native/callback");
        for (const char* text : {
                 "http://office.norla.jp/auth/native/callback",
                 "https://office.norla.jp:8443/auth/native/callback",
                 "https://evil.example/auth/native/callback?next=https://office.norla.jp/auth/native/callback",
                 "https://office.norla.jp.evil.example/auth/native/callback",
                 "https://office.norla.jp@evil.example/auth/native/callback",
                 "https://office.norla.jp/auth/native/callback/",
                 "https://office.norla.jp/auth/native/callbacks",
                 "https://office.norla.jp/AUTH/native/callback",
                 "https://office.norla.jp/auth/native",
                 "norla-rec://office.norla.jp/auth/native/callback",
             })
            EXPECT_FALSE(matches(callback, text)) << text;
    }

    TEST(AuthenticationCallbackTest, TheRootPathMatchesAnAddressWithoutOne)
    {
        AuthenticationCallback root("Callback.Example", "/");
        EXPECT_EQ(root.host(), "callback.example");
        EXPECT_TRUE(matches(root, "https://callback.example"));
        EXPECT_TRUE(matches(root, "https://callback.example/?code=1"));
        EXPECT_FALSE(matches(root, "https://callback.example/x"));
    }

} // namespace
} // namespace norla
