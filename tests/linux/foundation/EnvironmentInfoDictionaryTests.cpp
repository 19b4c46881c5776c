#include "foundation/EnvironmentInfoDictionary.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace norla {
namespace {

    TEST(EnvironmentInfoDictionaryTests, AnEnvironmentVariableIsAStringValueEvenWhenEmpty)
    {
        EnvironmentInfoDictionary info;
        setenv("NorlaAppURL", "http://127.0.0.1:8123", 1);
        EXPECT_EQ(info.value("NorlaAppURL"), Value("http://127.0.0.1:8123"));
        // The empty string is a value here; the application URL rule treats it as none.
        setenv("NorlaAppURL", "", 1);
        EXPECT_EQ(info.value("NorlaAppURL"), Value(""));
        unsetenv("NorlaAppURL");
        EXPECT_EQ(info.value("NorlaAppURL"), std::nullopt);
        EXPECT_EQ(info.value("A=B"), std::nullopt);
        EXPECT_EQ(info.value(""), std::nullopt);
    }

} // namespace
} // namespace norla
