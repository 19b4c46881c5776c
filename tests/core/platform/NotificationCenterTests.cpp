#include "TestEnvironment.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>

using namespace norla;
using namespace norla::test;

TEST(NotificationCenterTest, PostsFromAnyThreadReachTheirObserversOnTheMainThreadInRegistrationOrder)
{
    TestEnvironment environment;
    auto& center = NotificationCenter::defaultCenter();
    std::vector<std::string> seen;
    auto first = center.addObserver("officeTest", [&](const Notification& note) {
        EXPECT_TRUE(environment.main().isMainThread());
        auto* text = std::any_cast<std::string>(&note.object);
        seen.push_back(note.name + ":" + (text ? *text : "?") + ":" + note.userInfo.toJSON());
    });
    auto second = center.addObserver("officeTest", [&](const Notification&) { seen.emplace_back("second"); });
    std::thread([&] {
        center.post("officeTest", std::string("payload"), Value::Object { { "frontOnly", true } });
    }).join();
    center.post("officeOther", std::string("ignored"));
    EXPECT_TRUE(seen.empty()) << "delivery waits for the main thread";
    environment.main().runUntilIdle();
    EXPECT_EQ(seen, (std::vector<std::string> { "officeTest:payload:{\"frontOnly\":true}", "second" }));

    // An observer removed before its delivery runs is not called, even for a post already queued.
    seen.clear();
    center.post("officeTest");
    center.removeObserver(first);
    environment.main().runUntilIdle();
    EXPECT_EQ(seen, std::vector<std::string> { "second" });
    center.removeObserver(second);
}
