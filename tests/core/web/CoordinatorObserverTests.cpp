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

    TEST_F(CoordinatorObserverTest, FrontOnlyScriptsRunInTheKeyWindowOthersInEveryWindow)
    {
        b.webView->windowKey = true;
        post(officeEvaluate, std::string("front();"), frontOnly(true));
        EXPECT_TRUE(a.webView->evaluatedScripts.empty());
        EXPECT_EQ(b.webView->evaluatedScripts, std::vector<std::string> { "front();" });

        post(officeEvaluate, std::string("all();"));
        post(officeEvaluate, std::string("false();"), frontOnly(false));
        post(officeEvaluate, std::string("text();"), frontOnly("true"));
        post(officeEvaluate, std::string("number();"), frontOnly(1));
        for (const auto* window : { &a, &b }) {
            auto& scripts = window->webView->evaluatedScripts;
            ASSERT_GE(scripts.size(), 4u);
            EXPECT_EQ(std::vector<std::string>(scripts.end() - 4, scripts.end()),
                (std::vector<std::string> { "all();", "false();", "text();", "number();" }));
        }

        // Scripts that are not strings are ignored.
        auto evaluated = b.webView->evaluatedScripts.size();
        post(officeEvaluate, 42);
        post(officeEvaluate);
        post(officeEvaluate, url("https://office.norla.jp/"));
        EXPECT_EQ(b.webView->evaluatedScripts.size(), evaluated);
    }

    TEST_F(CoordinatorObserverTest, ReloadOpenPathAndOpenURLActOnlyInTheKeyWindowAndClearThePendingURL)
    {
        b.webView->windowKey = true;
        push->pendingOpenURL = url("https://office.norla.jp/chat/7");
        post(officeReload);
        post(officeOpenPath, std::string("/tasks"));
        post(officeOpenInternalURL, std::string("https://office.norla.jp/chat/7")); // a string is no URL
        EXPECT_TRUE(push->pendingOpenURL);
        post(officeOpenInternalURL, url("https://office.norla.jp/chat/7"));
        EXPECT_FALSE(push->pendingOpenURL) << "the address opened is no longer pending";

        EXPECT_EQ(a.webView->reloadCount, 0);
        EXPECT_TRUE(a.webView->loads.empty());
        EXPECT_EQ(b.webView->reloadCount, 1);
        EXPECT_EQ(b.webView->loadedURLs(),
            (std::vector<std::string> { "https://office.norla.jp/tasks", "https://office.norla.jp/chat/7" }));
        EXPECT_EQ(b.webView->loads[0].timeoutInterval, seconds(60));
    }

    TEST_F(CoordinatorObserverTest, WithNoKeyWindowTheFirstRegisteredWindowInAWindowActs)
    {
        post(officeReload);
        EXPECT_EQ(a.webView->reloadCount, 1);
        EXPECT_EQ(b.webView->reloadCount, 0);

        a.webView->inWindow = false; // A's view left its window: B is the first one left
        post(officeReload);
        EXPECT_EQ(a.webView->reloadCount, 1);
        EXPECT_EQ(b.webView->reloadCount, 1);

        a.webView->windowKey = true; // a key window that the view is no longer in does not count
        post(officeReload);
        EXPECT_EQ(b.webView->reloadCount, 2);

        // When no view is in a window, every coordinator acts.
        b.webView->inWindow = false;
        post(officeReload);
        EXPECT_EQ(a.webView->reloadCount, 2);
        EXPECT_EQ(b.webView->reloadCount, 3);
    }

    TEST_F(CoordinatorObserverTest, OpenPathAcceptsOnlyPlainAbsolutePaths)
    {
        for (const char* rejected : { "tasks", "//evil.com/x", "/a//b", "/a\\b", "\\evil.com", "/a\"b", "", "/a b" })
            post(officeOpenPath, std::string(rejected));
        post(officeOpenPath, 7);
        post(officeOpenPath, url("https://office.norla.jp/tasks"));
        EXPECT_TRUE(a.webView->loads.empty());

        post(officeOpenPath, std::string("/meeting-notes?tab=mine#top"));
        EXPECT_EQ(
            a.webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp/meeting-notes?tab=mine#top" });

        // It resolves against the coordinator's own application URL.
        auto local = openWindow(url("http://127.0.0.1:3000/base/page"));
        local.webView->loads.clear();
        local.webView->windowKey = true;
        post(officeOpenPath, std::string("/tasks"));
        EXPECT_EQ(a.webView->loads.size(), 1u);
        EXPECT_EQ(local.webView->loadedURLs(), std::vector<std::string> { "http://127.0.0.1:3000/tasks" });
    }

    TEST_F(CoordinatorObserverTest, EveryWindowSyncsPushRegistrationWhenATokenIsReadyButAGoneWebView)
    {
        b.webView->windowKey = true;
        post(officeAPNsTokenReady);
        ASSERT_EQ(push->syncedWebViews.size(), 2u);
        EXPECT_EQ(push->syncedWebViews[0].lock(), a.webView);
        EXPECT_EQ(push->syncedWebViews[1].lock(), b.webView);

        std::weak_ptr<FakeWebView> weakA = a.webView;
        a.webView.reset();
        ASSERT_TRUE(weakA.expired());
        EXPECT_EQ(a.coordinator->webView(), nullptr);
        a.coordinator->load(url("https://office.norla.jp/"));
        post(officeAPNsTokenReady);
        ASSERT_EQ(push->syncedWebViews.size(), 3u);
        EXPECT_EQ(push->syncedWebViews[2].lock(), b.webView);
    }

    TEST_F(CoordinatorObserverTest, AFreedCoordinatorIgnoresWhatWasQueuedNoLongerObservesAndLeavesTheRegistry)
    {
        a.webView->windowKey = true;
        NotificationCenter::defaultCenter().post(std::string(officeOpenInternalURL), url("https://office.norla.jp/x"));
        auto webViewA = a.webView;
        a.coordinator.reset();
        post(officeReload);
        post(officeEvaluate, std::string("x();"));
        post(officeAPNsTokenReady);
        EXPECT_EQ(webViewA->reloadCount, 0);
        EXPECT_TRUE(webViewA->loads.empty() && webViewA->evaluatedScripts.empty());
        EXPECT_EQ(b.webView->reloadCount, 1) << "with A gone, B is the only window left";
        EXPECT_EQ(b.webView->evaluatedScripts, std::vector<std::string> { "x();" });
        ASSERT_EQ(push->syncedWebViews.size(), 1u);
        EXPECT_EQ(push->syncedWebViews[0].lock(), b.webView);
    }

} // namespace
} // namespace norla::test
