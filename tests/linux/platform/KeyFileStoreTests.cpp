#include "ScopedEnvironmentVariable.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "platform/KeyFileStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

namespace norla {
namespace {

    class KeyFileStoreTest : public ::testing::Test {
    protected:
        std::filesystem::path storePath() const { return m_dir.path() / "norla-office" / "user-defaults.ini"; }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_dir { "norla-kv" };
    };

    TEST_F(KeyFileStoreTest, ValuesAndRemovalsSurviveANewStoreWithTextKeyFilesWouldMangle)
    {
        const std::string awkward = " 先頭と末尾に空白 \n改行;セミコロン\\バックスラッシュ#";
        {
            KeyFileStore store(storePath());
            store.remove("never-set");
            EXPECT_FALSE(std::filesystem::exists(storePath())) << "nothing is written for nothing changed";
            store.setString("apns.deviceToken.hex", "00ff10");
            store.setString("apns.registeredToken.hex", "00ff10");
            store.setString("apns.registeredToken.hex", "abcdef");
            store.remove("apns.deviceToken.hex");
            store.setString("note", awkward);
            store.setString("empty", "");
            // Keys a key file cannot hold are refused.
            store.setString("a=b", "x");
            store.setString("[group]", "x");
            EXPECT_TRUE(m_environment.log().contains("KeyFileStore: refused key a=b"));
        }
        KeyFileStore reopened(storePath());
        EXPECT_EQ(reopened.string("apns.deviceToken.hex"), std::nullopt);
        EXPECT_EQ(reopened.string("apns.registeredToken.hex"), "abcdef");
        EXPECT_EQ(reopened.string("note"), awkward);
        EXPECT_EQ(reopened.string("empty"), "");
        EXPECT_EQ(reopened.string("a=b"), std::nullopt);
        EXPECT_EQ(reopened.string("[group]"), std::nullopt);
    }

    TEST_F(KeyFileStoreTest, ConcurrentWritersLoseNothingAndReplaceAnUnreadableFile)
    {
        std::filesystem::create_directories(storePath().parent_path());
        std::ofstream(storePath()) << "this is [not a key file\n";
        KeyFileStore store(storePath());
        std::vector<std::thread> writers;
        writers.reserve(4);
        for (int thread = 0; thread < 4; ++thread) {
            writers.emplace_back([&store, thread] {
                for (int i = 0; i < 10; ++i)
                    store.setString("k" + std::to_string(thread * 10 + i), std::to_string(i));
            });
        }
        for (auto& writer : writers)
            writer.join();
        KeyFileStore reopened(storePath());
        for (int key = 0; key < 40; ++key)
            EXPECT_EQ(reopened.string("k" + std::to_string(key)), std::to_string(key % 10));
    }

    TEST_F(KeyFileStoreTest, DefaultPathFollowsAnAbsoluteXdgConfigHomeOnly)
    {
        test::ScopedEnvironmentVariable config("XDG_CONFIG_HOME", (m_dir.path() / "cfg").c_str());
        EXPECT_EQ(KeyFileStore::defaultPath(), m_dir.path() / "cfg" / "norla-office" / "user-defaults.ini");
        test::ScopedEnvironmentVariable relative("XDG_CONFIG_HOME", "relative/dir");
        EXPECT_EQ(KeyFileStore::defaultPath().parent_path().parent_path().filename(), ".config");
    }

} // namespace
} // namespace norla
