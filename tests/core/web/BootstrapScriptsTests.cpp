#include "app/BuildConfiguration.h"
#include "web/BootstrapScripts.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

// The scripts' behaviour in a page is tested in JavaScript (tests/js); these check what the core fills in.
namespace norla::test {
namespace {

    bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

    TEST(BootstrapScriptsTest, InsertTheOriginVerbatimIntoTheGuardAndLeaveNoTokenBehind)
    {
        const std::string origin = R"(https://Office.norla.jp:443"\)";
        for (const std::string& script : { recorderBootstrapScript(origin), shellBootstrapScript(origin) }) {
            EXPECT_TRUE(contains(script, "location.origin !== \"" + origin + "\")"));
            EXPECT_FALSE(std::regex_search(script, std::regex("@@\\w+@@")));
        }
    }

    TEST(BootstrapScriptsTest, AnOriginThatLooksLikeATokenIsNotFilledInAgain)
    {
        const std::string script = recorderBootstrapScript("@@NORLA_PLATFORM@@");
        EXPECT_TRUE(contains(script, R"("@@NORLA_PLATFORM@@")"));
        EXPECT_TRUE(contains(script, R"(platform: "mac")"));
    }

    TEST(BootstrapScriptsTest, TheRecorderScriptCarriesThePlatformTheRecordingSchemeAndTheSignInHosts)
    {
        const std::string script = recorderBootstrapScript("https://office.norla.jp");
        EXPECT_TRUE(contains(script, R"(platform: "mac")"));
        EXPECT_TRUE(contains(script, R"("norla-rec://file" + encodeURI(path))"));
        for (std::string_view host : { build::identityProviderAccountsHost, build::identityProviderDomainSuffix,
                 build::authenticationBackendSuffix })
            EXPECT_TRUE(contains(script, "\"" + std::string(host) + "\"")) << host;
        EXPECT_TRUE(contains(script, "messageHandlers.norlaRecorder"));
        EXPECT_TRUE(contains(shellBootstrapScript("https://office.norla.jp"), "messageHandlers.norlaShell"));
    }

} // namespace
} // namespace norla::test
