#pragma once

#include "platform/SharedApplication.h"

#include <memory>
#include <vector>

namespace norla::test {

class FakeWindow final : public Window {
public:
    bool isKeyWindow() const override { return key; }
    bool key = false;
};

class FakeSharedApplication final : public SharedApplication {
public:
    void requestNewScene() override { ++newSceneRequests; }
    std::vector<std::shared_ptr<Window>> windowSceneWindows() const override
    {
        return { windows.begin(), windows.end() };
    }
    std::shared_ptr<Window> makeWindow() override
    {
        auto window = std::make_shared<FakeWindow>();
        madeWindows.push_back(window);
        return window;
    }
    void registerForRemoteNotifications() override { ++remoteRegistrations; }

    std::vector<std::shared_ptr<FakeWindow>> windows;
    std::vector<std::shared_ptr<FakeWindow>> madeWindows;
    int newSceneRequests = 0;
    int remoteRegistrations = 0;
};

} // namespace norla::test
