#pragma once

#include "platform/UserNotificationCenter.h"
#include "platform/UuidGenerator.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// A notification center that answers at once, on the caller's thread. Asking for authorization moves an
// undecided status to what `userAnswer` says, as the user would.
class FakeUserNotificationCenter final : public UserNotificationCenter {
public:
    void requestAuthorization(NotificationAuthorizationOptions options,
        CompletionHandler<void(bool granted, std::optional<std::string> error)> completion) override
    {
        std::unique_lock lock(m_mutex);
        authorizationRequests.push_back(options);
        if (status == NotificationAuthorizationStatus::notDetermined)
            status = userAnswer;
        bool granted = status == NotificationAuthorizationStatus::authorized;
        lock.unlock();
        completion(granted, std::nullopt);
    }
    void notificationSettings(CompletionHandler<void(NotificationAuthorizationStatus)> completion) override
    {
        std::unique_lock lock(m_mutex);
        auto current = status;
        lock.unlock();
        completion(current);
    }
    void add(NotificationRequest request) override
    {
        std::lock_guard lock(m_mutex);
        added.push_back(request);
        delivered[request.identifier] = std::move(request);
    }
    void setBadgeCount(std::int64_t count) override
    {
        std::lock_guard lock(m_mutex);
        badgeCount = count;
    }

    NotificationAuthorizationStatus status = NotificationAuthorizationStatus::notDetermined;
    NotificationAuthorizationStatus userAnswer = NotificationAuthorizationStatus::authorized;
    std::vector<NotificationAuthorizationOptions> authorizationRequests;
    std::vector<NotificationRequest> added; // every request, in order
    std::map<std::string, NotificationRequest> delivered; // what is shown: one per identifier
    std::optional<std::int64_t> badgeCount;

private:
    std::mutex m_mutex;
};

// Identifiers counted up from 1, so that tests can tell them apart.
class CountingUuids final : public UuidGenerator {
public:
    std::string uuidString() override { return "uuid-" + std::to_string(++m_count); }

private:
    int m_count = 0;
};

} // namespace norla::test
