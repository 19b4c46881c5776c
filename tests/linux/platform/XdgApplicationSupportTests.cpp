#include "ScopedEnvironmentVariable.h"
#include "platform/XdgApplicationSupport.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::ScopedEnvironmentVariable;

    TEST(XdgApplicationSupportTest, AnAbsoluteXdgDataHomeOrElseTheHomeDirectory)
    {
        ScopedEnvironmentVariable home("HOME", "/home/sachiko");
        const struct {
            const char* dataHome;
            const char* expected;
        } cases[] = { { "/srv/data", "/srv/data/norla-office" }, { nullptr, "/home/sachiko/.local/share/norla-office" },
            { "", "/home/sachiko/.local/share/norla-office" },
            { "relative/data", "/home/sachiko/.local/share/norla-office" } };
        for (auto& [dataHome, expected] : cases) {
            SCOPED_TRACE(dataHome ? dataHome : "(unset)");
            ScopedEnvironmentVariable variable("XDG_DATA_HOME", dataHome);
            EXPECT_EQ(XdgApplicationSupport().directory(), expected);
        }
    }

    TEST(XdgApplicationSupportTest, WithoutHomeAsksTheAccountDatabase)
    {
        ScopedEnvironmentVariable home("HOME", nullptr);
        ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", nullptr);
        auto directory = XdgApplicationSupport().directory();
        EXPECT_TRUE(directory.is_absolute());
        EXPECT_EQ(directory.parent_path().filename(), "share");
    }

} // namespace
} // namespace norla
