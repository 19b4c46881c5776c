#include "TestEnvironment.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>

using namespace norla;
using namespace norla::test;

TEST(NotificationCenter, DeliversOnTheMainThreadWithObjectAndUserInfo)
{
    TestEnvironment environment;
    auto& center = NotificationCenter::defaultCenter();
    std::vector<std::string> seen;
    auto token = center.addObserver("officeTest", [&](const Notification& note) {
        EXPECT_TRUE(environment.main().isMainThread());
        auto* text = std::any_cast<std::string>(&note.object);
        seen.push_back(note.name + ":" + (text ? *text : "?") + ":" + note.userInfo.toJSON());
    });
    std::thread poster([&] {
        center.post("officeTest", std::string("payload"), Value::Object { { "frontOnly", true } });
    });
    poster.join();
    center.post("officeOther", std::string("ignored"));
    EXPECT_TRUE(seen.empty()) << "delivery waits for the main thread";
    environment.main().runUntilIdle();
    EXPECT_EQ(seen, (std::vector<std::string> { "officeTest:payload:{\"frontOnly\":true}" }));
    center.removeObserver(token);
}

TEST(NotificationCenter, ObserversRunInRegistrationOrder)
{
    TestEnvironment environment;
    auto& center = NotificationCenter::defaultCenter();
    std::string order;
    auto first = center.addObserver("officeTest", [&](const Notification&) { order += "1"; });
    auto second = center.addObserver("officeTest", [&](const Notification&) { order += "2"; });
    center.post("officeTest");
    environment.main().runUntilIdle();
    EXPECT_EQ(order, "12");
    center.removeObserver(first);
    center.removeObserver(second);
}

TEST(NotificationCenter, RemovedObserverIsNotCalledEvenForPostsAlreadyQueued)
{
    TestEnvironment environment;
    auto& center = NotificationCenter::defaultCenter();
    int calls = 0;
    auto token = center.addObserver("officeTest", [&](const Notification&) { ++calls; });
    center.post("officeTest");
    center.removeObserver(token);
    center.post("officeTest");
    environment.main().runUntilIdle();
    EXPECT_EQ(calls, 0);
}
