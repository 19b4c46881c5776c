#include "WebHostFixture.h"

#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

namespace norla::test {
namespace {

    class CoordinatorObserverTest : public WebHostTest {
    protected:
        // Two windows, A registered first; the tests choose which is key.
        CoordinatorObserverTest()
            : a(openWindow())
            , b(openWindow())
        {
            a.webView->loads.clear();
            b.webView->loads.clear();
        }

        void post(std::string_view name, std::any object = {}, Value userInfo = {})
        {
            NotificationCenter::defaultCenter().post(std::string(name), std::move(object), std::move(userInfo));
            env.main().runUntilIdle();
        }
        static Value frontOnly(Value value) { return Value(Value::Object { { "frontOnly", std::move(value) } }); }

        Window a;
        Window b;
    };

    TEST_F(CoordinatorObserverTest, TheKeyWindowElseTheFirstRegisteredInAWindowElseEveryWindowIsFrontmost)
    {
        struct Case {
            bool aInWindow, aKey, bInWindow, bKey;
            bool aFront, bFront;
        } cases[] = {
            { true, false, true, true, false, true },
            { true, false, true, false, true, false },
            { false, false, true, false, false, true },
            { false, true, true, false, false, true }, // a key window the view has left does not count
            { false, false, false, false, true, true },
        };
        for (const auto& row : cases) {
            a.webView->inWindow = row.aInWindow;
            a.webView->windowKey = row.aKey;
            b.webView->inWindow = row.bInWindow;
            b.webView->windowKey = row.bKey;
            EXPECT_EQ(a.coordinator->isFrontmost(), row.aFront) << &row - cases;
            EXPECT_EQ(b.coordinator->isFrontmost(), row.bFront) << &row - cases;
        }
    }

    TEST_F(CoordinatorObserverTest, TheFrontmostWindowAloneReloadsOpensAndRunsFrontOnlyScripts)
    {
        b.webView->windowKey = true;
        push->pendingOpenURL = url("https://office.norla.jp/chat/7");
        post(officeReload);
        // Only plain absolute paths are opened.
        for (const char* rejected : { "tasks", "//evil.com/x", "/a//b", "/a\\b", "\\evil.com", "/a\"b", "", "/a b" })
            post(officeOpenPath, std::string(rejected));
        post(officeOpenPath, 7);
        post(officeOpenPath, std::string("/meeting-notes?tab=mine#top"));
        post(officeOpenInternalURL, std::string("https://office.norla.jp/chat/7")); // a string is no URL
        EXPECT_TRUE(push->pendingOpenURL);
        post(officeOpenInternalURL, url("https://office.norla.jp/chat/7"));
        EXPECT_FALSE(push->pendingOpenURL) << "the address opened is no longer pending";
        // Only a true boolean keeps a script to the front; scripts that are not strings are ignored.
        post(officeEvaluate, std::string("front();"), frontOnly(true));
        post(officeEvaluate, std::string("all();"));
        post(officeEvaluate, std::string("false();"), frontOnly(false));
        post(officeEvaluate, std::string("text();"), frontOnly("true"));
        post(officeEvaluate, 42);
        post(officeEvaluate);

        EXPECT_EQ(a.webView->reloadCount, 0);
        EXPECT_TRUE(a.webView->loads.empty());
        EXPECT_EQ(a.webView->evaluatedScripts, (std::vector<std::string> { "all();", "false();", "text();" }));
        EXPECT_EQ(b.webView->reloadCount, 1);
        EXPECT_EQ(b.webView->loadedURLs(),
            (std::vector<std::string> {
                "https://office.norla.jp/meeting-notes?tab=mine#top", "https://office.norla.jp/chat/7" }));
        EXPECT_EQ(b.webView->loads[0].timeoutInterval, seconds(60));
        EXPECT_EQ(
            b.webView->evaluatedScripts, (std::vector<std::string> { "front();", "all();", "false();", "text();" }));

        // A path resolves against the frontmost window's own application URL.
        auto local = openWindow(url("http://127.0.0.1:3000/base/page"));
        b.webView->windowKey = false;
        local.webView->windowKey = true;
        post(officeOpenPath, std::string("/tasks"));
        EXPECT_EQ(local.webView->loadedURLs().back(), "http://127.0.0.1:3000/tasks");
    }

    TEST_F(CoordinatorObserverTest, PushRegistrationSyncsEachLiveWebViewInATask)
    {
        post(officeAPNsTokenReady);
        a.coordinator->didFinishNavigation(*a.webView);
        EXPECT_EQ(push->syncedWebViews.size(), 2u) << "a finished navigation syncs in a task";
        env.main().runUntilIdle();

        // A web view gone before the task ran, or before the token came, is not synced.
        a.coordinator->didFinishNavigation(*a.webView);
        a.webView.reset();
        env.main().runUntilIdle();
        post(officeAPNsTokenReady);
        std::vector<std::shared_ptr<WebView>> synced;
        for (const auto& webView : push->syncedWebViews)
            synced.push_back(webView.lock()); // A's read null now that its web view is gone
        EXPECT_EQ(synced, (std::vector<std::shared_ptr<WebView>> { nullptr, b.webView, nullptr, b.webView }));
    }

    TEST_F(CoordinatorObserverTest, AFreedCoordinatorIgnoresWhatWasQueuedNoLongerObservesAndLeavesTheRegistry)
    {
        a.webView->windowKey = true;
        NotificationCenter::defaultCenter().post(std::string(officeOpenInternalURL), url("https://office.norla.jp/x"));
        a.coordinator.reset();
        post(officeReload);
        post(officeEvaluate, std::string("x();"));
        EXPECT_EQ(a.webView->reloadCount, 0);
        EXPECT_TRUE(a.webView->loads.empty() && a.webView->evaluatedScripts.empty());
        EXPECT_EQ(b.webView->reloadCount, 1) << "with A gone, B is the only window left";
        EXPECT_EQ(b.webView->evaluatedScripts, std::vector<std::string> { "x();" });
    }

} // namespace
} // namespace norla::test
