#include "TestEnvironment.h"
#include "foundation/KeyFileStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace norla {
namespace {

    class KeyFileStoreTests : public ::testing::Test {
    protected:
        void SetUp() override
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "norla-kv-XXXXXX").string();
            ASSERT_NE(mkdtemp(pattern.data()), nullptr);
            m_dir = pattern;
        }
        void TearDown() override { std::filesystem::remove_all(m_dir); }

        std::filesystem::path storePath() const { return m_dir / "config" / "norla-office" / "user-defaults.ini"; }

        test::TestEnvironment m_environment;
        std::filesystem::path m_dir;
    };

    TEST_F(KeyFileStoreTests, ValuesSurviveANewStoreOnTheSameFile)
    {
        {
            KeyFileStore store(storePath());
            EXPECT_EQ(store.string("apns.deviceToken.hex"), std::nullopt);
            store.setString("apns.deviceToken.hex", "00ff10");
            store.setString("apns.registeredToken.hex", "00ff10");
            store.setString("apns.registeredToken.hex", "abcdef");
            store.remove("apns.deviceToken.hex");
        }
        KeyFileStore reopened(storePath());
        EXPECT_EQ(reopened.string("apns.deviceToken.hex"), std::nullopt);
        EXPECT_EQ(reopened.string("apns.registeredToken.hex"), "abcdef");
    }

    TEST_F(KeyFileStoreTests, KeepsTextThatKeyFilesWouldOtherwiseMangle)
    {
        const std::string awkward = " 先頭と末尾に空白 \n改行;セミコロン\\バックスラッシュ#";
        KeyFileStore(storePath()).setString("note", awkward);
        EXPECT_EQ(KeyFileStore(storePath()).string("note"), awkward);
        KeyFileStore(storePath()).setString("empty", "");
        EXPECT_EQ(KeyFileStore(storePath()).string("empty"), "");
    }

    TEST_F(KeyFileStoreTests, RefusesKeysAKeyFileCannotHoldAndRemovingAbsentKeysIsHarmless)
    {
        KeyFileStore store(storePath());
        store.setString("a=b", "x");
        store.setString("[group]", "x");
        EXPECT_EQ(store.string("a=b"), std::nullopt);
        EXPECT_TRUE(m_environment.log().contains("KeyFileStore: refused key a=b"));
        store.remove("never-set");
        EXPECT_FALSE(std::filesystem::exists(storePath())); // nothing written for nothing changed
    }

    TEST_F(KeyFileStoreTests, AnUnreadableFileStartsEmptyAndIsReplacedOnTheNextWrite)
    {
        std::filesystem::create_directories(storePath().parent_path());
        std::ofstream(storePath()) << "this is [not a key file\n";
        KeyFileStore store(storePath());
        EXPECT_TRUE(m_environment.log().contains("KeyFileStore: "));
        store.setString("k", "v");
        EXPECT_EQ(KeyFileStore(storePath()).string("k"), "v");
    }

    TEST_F(KeyFileStoreTests, ConcurrentWritersLoseNothing)
    {
        KeyFileStore store(storePath());
        std::vector<std::thread> writers;
        writers.reserve(4);
        for (int thread = 0; thread < 4; ++thread) {
            writers.emplace_back([&store, thread] {
                for (int i = 0; i < 10; ++i)
                    store.setString("k" + std::to_string(thread) + "-" + std::to_string(i), std::to_string(i));
            });
        }
        for (auto& writer : writers)
            writer.join();
        KeyFileStore reopened(storePath());
        for (int thread = 0; thread < 4; ++thread) {
            for (int i = 0; i < 10; ++i)
                EXPECT_EQ(reopened.string("k" + std::to_string(thread) + "-" + std::to_string(i)), std::to_string(i));
        }
    }

    TEST_F(KeyFileStoreTests, DefaultPathFollowsAnAbsoluteXdgConfigHomeOnly)
    {
        const char* saved = std::getenv("XDG_CONFIG_HOME");
        std::string previous = saved ? saved : "";
        setenv("XDG_CONFIG_HOME", (m_dir / "cfg").c_str(), 1);
        EXPECT_EQ(KeyFileStore::defaultPath(), m_dir / "cfg" / "norla-office" / "user-defaults.ini");
        setenv("XDG_CONFIG_HOME", "relative/dir", 1);
        EXPECT_EQ(KeyFileStore::defaultPath().parent_path().parent_path().filename(), ".config");
        if (saved)
            setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

} // namespace
} // namespace norla
