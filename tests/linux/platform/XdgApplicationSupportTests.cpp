#include "platform/XdgApplicationSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace norla {
namespace {

    // Sets an environment variable for one test and puts the old value back.
    class ScopedEnvironment {
    public:
        ScopedEnvironment(const char* name, const char* value)
            : m_name(name)
        {
            if (const char* old = std::getenv(name))
                m_old = old;
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
        ScopedEnvironment(const ScopedEnvironment&) = delete;
        ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
        ~ScopedEnvironment()
        {
            if (m_old)
                ::setenv(m_name, m_old->c_str(), 1);
            else
                ::unsetenv(m_name);
        }

    private:
        const char* m_name;
        std::optional<std::string> m_old;
    };

    TEST(XdgApplicationSupport, UsesAnAbsoluteXdgDataHome)
    {
        ScopedEnvironment home("HOME", "/home/sachiko");
        ScopedEnvironment dataHome("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(XdgApplicationSupport().directory(), "/srv/data/norla-office");
    }

    TEST(XdgApplicationSupport, FallsBackToTheHomeDirectoryWhenXdgDataHomeIsUnsetEmptyOrRelative)
    {
        ScopedEnvironment home("HOME", "/home/sachiko");
        for (const char* value : { static_cast<const char*>(nullptr), "", "relative/data" }) {
            ScopedEnvironment dataHome("XDG_DATA_HOME", value);
            EXPECT_EQ(XdgApplicationSupport().directory(), "/home/sachiko/.local/share/norla-office")
                << (value ? value : "(unset)");
        }
    }

    TEST(XdgApplicationSupport, WithoutHomeAsksTheAccountDatabase)
    {
        ScopedEnvironment home("HOME", nullptr);
        ScopedEnvironment dataHome("XDG_DATA_HOME", nullptr);
        auto directory = XdgApplicationSupport().directory();
        EXPECT_TRUE(directory.is_absolute());
        EXPECT_EQ(directory.filename(), "norla-office");
        EXPECT_EQ(directory.parent_path().filename(), "share");
    }

} // namespace
} // namespace norla
