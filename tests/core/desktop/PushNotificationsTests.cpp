#include "desktop/PushNotifications.h"

#include "FakeKeyValueStore.h"
#include "FakeSharedApplication.h"
#include "FakeUserNotificationCenter.h"
#include "FakeWebView.h"
#include "InlineBackgroundExecutor.h"
#include "TestEnvironment.h"
#include "platform/GUriParser.h"
#include "platform/NotificationCenter.h"
#include "platform/Seams.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace norla {
namespace {

    using Keys = PushNotifications;
    using Status = NotificationAuthorizationStatus;

    Value response(Value ok, Value status, std::optional<Value> json = std::nullopt)
    {
        Value::Object object { { "ok", std::move(ok) }, { "status", std::move(status) } };
        if (json)
            object["json"] = std::move(*json);
        return Value(std::move(object));
    }
    const Value accepted = Value(Value::Object { { "ok", true } });

    class PushNotificationsTest : public ::testing::Test {
    protected:
        void SetUp() override { Seam<UrlParser>::install(std::make_shared<GUriParser>()); }
        void TearDown() override
        {
            runMain();
            Seam<UrlParser>::install(nullptr);
        }

        void runMain() { environment.main().runUntilIdle(); }
        std::shared_ptr<test::FakeWebView> pageAt(std::string_view address)
        {
            auto view = std::make_shared<test::FakeWebView>();
            view->currentURL = parseUrl(address);
            return view;
        }
        // The page's answer to the fetch the shell is waiting for.
        void answerFetch(test::FakeWebView& view, Result<Value> answer)
        {
            runMain();
            ASSERT_FALSE(view.asyncCalls.empty());
            auto call = std::move(view.asyncCalls.front());
            view.asyncCalls.erase(view.asyncCalls.begin());
            call.completion(std::move(answer));
        }
        void storeToken(std::vector<std::uint8_t> token)
        {
            push.storeDeviceToken(token);
            runMain();
        }
        std::optional<std::string> registered() const { return defaults->string(Keys::registeredTokenKey); }

        test::TestEnvironment environment;
        std::shared_ptr<test::FakeKeyValueStore> defaults = std::make_shared<test::FakeKeyValueStore>();
        std::shared_ptr<test::FakeUserNotificationCenter> center = std::make_shared<test::FakeUserNotificationCenter>();
        std::shared_ptr<test::FakeSharedApplication> application = std::make_shared<test::FakeSharedApplication>();
        PushNotifications push { { defaults, center, application,
            std::make_shared<test::InlineBackgroundExecutor>() } };
    };

    TEST_F(PushNotificationsTest, ANewTokenIsStoredAsHexAndAnnouncedAndWithdrawsTheRegisteredOne)
    {
        int announced = 0;
        auto observer = NotificationCenter::defaultCenter().addObserver(
            std::string(officeAPNsTokenReady), [&announced](const Notification&) { ++announced; });
        defaults->setString(Keys::registeredTokenKey, "00ab0fff");
        storeToken({ 0x00, 0xab, 0x0f, 0xff });
        EXPECT_EQ(defaults->string(Keys::deviceTokenKey), "00ab0fff");
        EXPECT_EQ(registered(), "00ab0fff") << "an ordinary relaunch";
        storeToken({ 0x01 });
        EXPECT_FALSE(registered());
        NotificationCenter::defaultCenter().removeObserver(observer);
        EXPECT_EQ(announced, 2);
    }

    TEST_F(PushNotificationsTest, ApplicationPagesRegisterThroughThePageOnceAccepted)
    {
        storeToken({ 0xde, 0xad });
        auto page = pageAt("https://OFFICE.norla.jp/chat");
        push.syncWithPage(page);
        runMain();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        auto& call = page->asyncCalls[0];
        EXPECT_EQ(call.world, ContentWorld::page);
        EXPECT_EQ(call.arguments.at("path"), Value("/api/push/apns/register"));
        EXPECT_EQ(call.arguments.at("method"), Value("POST"));
        EXPECT_EQ(call.arguments.at("body"),
            Value(Value::Object {
                { "deviceToken", "dead" }, { "environment", "production" }, { "bundleId", "jp.norla.office" } }));
        EXPECT_TRUE(push.isRegistering());

        answerFetch(*page, response(true, 200, accepted));
        EXPECT_EQ(registered(), "dead");
        EXPECT_FALSE(push.isRegistering());
        push.syncWithPage(page);
        runMain();
        EXPECT_TRUE(page->asyncCalls.empty()) << "a registered token is not sent again";

        for (auto address : { "https://accounts.google.com/o/oauth2", "https://example.com/chat", "about:blank" }) {
            storeToken({ 0x01 });
            auto outside = pageAt(address);
            push.syncWithPage(outside);
            runMain();
            EXPECT_TRUE(outside->asyncCalls.empty()) << address;
        }
    }

    TEST_F(PushNotificationsTest, RefusedOrUnreadableAnswersLeaveTheTokenUnregistered)
    {
        storeToken({ 0x01, 0x02 });
        auto page = pageAt("https://preview.office.norla.jp/tasks");
        for (const Result<Value>& answer :
            std::vector<Result<Value>> { response(false, 401, accepted), response(true, 401, accepted),
                response("true", "200", Value(Value::Object { { "ok", 1 } })), response(true, 401.9, accepted),
                response(true, 200, Value(Value::Object { { "ok", false } })), response(true, 200),
                response(true, 200, Value("ok")), Value("not an object"), Error::platform("TypeError: Load failed") }) {
            SCOPED_TRACE(answer ? answer.value().toJSON() : answer.error().description());
            push.syncWithPage(page);
            answerFetch(*page, answer);
            EXPECT_FALSE(registered());
            EXPECT_FALSE(push.isRegistering());
        }
        push.syncWithPage(page);
        page.reset(); // a closed window counts as a failed fetch
        runMain();
        EXPECT_FALSE(push.isRegistering() || registered());
    }

    TEST_F(PushNotificationsTest, TheSignInScreenWithdrawsTheTokenWhenTheServerAgreesOrAnswers401)
    {
        defaults->setString(Keys::deviceTokenKey, "abcd");
        defaults->setString(Keys::registeredTokenKey, "abcd");
        auto page = pageAt("https://office.norla.jp/auth/login?error=auth_failed");
        push.syncWithPage(page);
        runMain();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        EXPECT_EQ(page->asyncCalls[0].arguments.at("method"), Value("DELETE"));
        EXPECT_EQ(page->asyncCalls[0].arguments.at("body"), Value(Value::Object { { "deviceToken", "abcd" } }));
        answerFetch(*page, response(false, 500));
        EXPECT_EQ(registered(), "abcd");
        for (const auto& agreed : { response(true, 204), response(false, 401) }) {
            defaults->setString(Keys::registeredTokenKey, "abcd");
            push.syncWithPage(page);
            answerFetch(*page, agreed);
            EXPECT_FALSE(registered()) << agreed.toJSON();
        }
        push.syncWithPage(page);
        runMain();
        EXPECT_TRUE(page->asyncCalls.empty()) << "nothing left to withdraw";
    }

    TEST_F(PushNotificationsTest, ConcurrentWindowsSendOnlyOneRegistration)
    {
        storeToken({ 0x0a });
        auto page = pageAt("https://office.norla.jp/chat");
        std::vector<std::thread> windows;
        windows.reserve(8);
        for (int i = 0; i < 8; ++i)
            windows.emplace_back([this, page] { push.registerToken(page); });
        for (auto& window : windows)
            window.join();
        runMain();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        answerFetch(*page, response(true, 201, accepted));
        EXPECT_EQ(registered(), "0a");
    }

    TEST_F(PushNotificationsTest, NotificationTapsOpenOnlyApplicationAddresses)
    {
        std::vector<std::string> opened;
        auto observer = NotificationCenter::defaultCenter().addObserver(
            std::string(officeOpenInternalURL), [&opened](const Notification& notification) {
                opened.push_back(std::any_cast<Url>(notification.object).absoluteString);
            });
        for (const Value& url : { Value(" /chat\n"), Value("https://accounts.google.com/"), Value(5) })
            push.handleNotificationPayload(Value(Value::Object { { "url", url } }));
        runMain();
        NotificationCenter::defaultCenter().removeObserver(observer);
        EXPECT_EQ(opened, (std::vector<std::string> { "https://office.norla.jp/chat" }));
        EXPECT_EQ(push.takePendingOpenURL()->absoluteString, "https://office.norla.jp/chat");
        EXPECT_FALSE(push.takePendingOpenURL());
    }

    TEST_F(PushNotificationsTest, RemoteRegistrationFollowsTheNotificationSettingsAndAsksForAlertsSoundsAndBadges)
    {
        struct Case {
            Status status;
            Status userAnswer;
            int registrations;
            size_t questions;
        } cases[] = {
            { Status::denied, Status::authorized, 0, 0 },
            { Status::notDetermined, Status::denied, 0, 1 },
            { Status::notDetermined, Status::authorized, 1, 2 },
            { Status::provisional, Status::denied, 2, 2 },
            { Status::ephemeral, Status::denied, 3, 2 },
        };
        for (const auto& row : cases) {
            SCOPED_TRACE(static_cast<int>(row.status));
            center->status = row.status;
            center->userAnswer = row.userAnswer;
            int before = application->remoteRegistrations;
            push.authorizeAndRegister();
            EXPECT_EQ(application->remoteRegistrations, before) << "registering belongs to the main thread";
            runMain();
            EXPECT_EQ(application->remoteRegistrations, row.registrations);
            EXPECT_EQ(center->authorizationRequests.size(), row.questions);
        }
        for (const auto& options : center->authorizationRequests)
            EXPECT_TRUE(options.alert && options.sound && options.badge);
    }

} // namespace
} // namespace norla
