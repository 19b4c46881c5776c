#include "DesktopShellFixture.h"

#include "FakeWebView.h"

#include <thread>

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

    class PushNotificationsTest : public test::DesktopShellFixture {
    protected:
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
    };

    TEST_F(PushNotificationsTest, ANewTokenIsAnnouncedAndRegisteredByApplicationPagesAndWithdrawnBySignIn)
    {
        int announced = 0;
        observe(officeAPNsTokenReady, [&announced](const Notification&) { ++announced; });
        defaults->setString(Keys::registeredTokenKey, "00ab0fff");
        storeToken({ 0x00, 0xab, 0x0f, 0xff });
        EXPECT_EQ(registered(), "00ab0fff") << "an ordinary relaunch";
        storeToken({ 0xde, 0xad });
        EXPECT_EQ(defaults->string(Keys::deviceTokenKey), "dead");
        EXPECT_FALSE(registered()) << "a new token withdraws the registered one";
        EXPECT_EQ(announced, 2);
        for (auto address : { "https://accounts.google.com/o/oauth2", "https://example.com/chat", "about:blank" }) {
            auto outside = pageAt(address);
            push.syncWithPage(outside);
            runMain();
            EXPECT_TRUE(outside->asyncCalls.empty()) << address;
        }
        auto page = pageAt("https://OFFICE.norla.jp/chat");
        push.syncWithPage(page);
        runMain();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        EXPECT_EQ(page->asyncCalls[0].world, ContentWorld::page);
        EXPECT_EQ(Value(page->asyncCalls[0].arguments),
            Value(Value::Object { { "path", "/api/push/apns/register" }, { "method", "POST" },
                { "body",
                    Value::Object { { "deviceToken", "dead" }, { "environment", "production" },
                        { "bundleId", "jp.norla.office" } } } }));
        EXPECT_TRUE(push.isRegistering());
        answerFetch(*page, response(true, 200, accepted));
        EXPECT_EQ(registered(), "dead");
        push.syncWithPage(page);
        runMain();
        EXPECT_TRUE(page->asyncCalls.empty()) << "a registered token is not sent again";

        auto signIn = pageAt("https://office.norla.jp/auth/login?error=auth_failed");
        push.syncWithPage(signIn);
        runMain();
        ASSERT_EQ(signIn->asyncCalls.size(), 1u);
        EXPECT_EQ(signIn->asyncCalls[0].arguments.at("method"), Value("DELETE"));
        EXPECT_EQ(signIn->asyncCalls[0].arguments.at("body"), Value(Value::Object { { "deviceToken", "dead" } }));
        answerFetch(*signIn, response(true, 204));
        EXPECT_FALSE(registered());
        push.syncWithPage(signIn);
        runMain();
        EXPECT_TRUE(signIn->asyncCalls.empty()) << "nothing left to withdraw";
    }

    TEST_F(PushNotificationsTest, OnlyAnAcceptingAnswerRegistersAndOnlyAnAgreeingOrUnauthorisedOneWithdraws)
    {
        constexpr auto app = "https://preview.office.norla.jp/tasks";
        constexpr auto signIn = "https://office.norla.jp/auth/login";
        const struct Case {
            const char* page;
            Result<Value> answer;
            bool registeredAfter;
        } cases[] = { { app, response(true, 201, accepted), true }, { app, response(false, 401, accepted), false },
            { app, response(true, 401, accepted), false },
            { app, response("true", "200", Value(Value::Object { { "ok", 1 } })), false },
            { app, response(true, 401.9, accepted), false },
            { app, response(true, 200, Value(Value::Object { { "ok", false } })), false },
            { app, response(true, 200), false }, { app, response(true, 200, Value("ok")), false },
            { app, Value("not an object"), false }, { app, Error::platform("TypeError: Load failed"), false },
            { signIn, response(false, 500), true }, { signIn, response(false, 401), false },
            { signIn, Error::platform("TypeError: Load failed"), true } };
        defaults->setString(Keys::deviceTokenKey, "abcd");
        for (const auto& row : cases) {
            SCOPED_TRACE(row.answer ? row.answer.value().toJSON() : row.answer.error().description());
            if (row.page == signIn)
                defaults->setString(Keys::registeredTokenKey, "abcd");
            else
                defaults->remove(Keys::registeredTokenKey);
            auto page = pageAt(row.page);
            push.syncWithPage(page);
            answerFetch(*page, row.answer);
            EXPECT_EQ(registered().has_value(), row.registeredAfter);
            EXPECT_FALSE(push.isRegistering());
        }
        defaults->remove(Keys::registeredTokenKey);
        auto page = pageAt(app);
        push.syncWithPage(page);
        page.reset(); // a closed window counts as a failed fetch
        runMain();
        EXPECT_FALSE(push.isRegistering() || registered());
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
        observe(officeOpenInternalURL, [this](const Notification& notification) {
            opened.push_back(std::any_cast<Url>(notification.object).absoluteString);
        });
        for (const Value& url : { Value(" /chat\n"), Value("https://accounts.google.com/"), Value(5) })
            push.handleNotificationPayload(Value(Value::Object { { "url", url } }));
        runMain();
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
