#include "web/BridgeCommands.h"

#include "desktop/BadgeNotificationService.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "web/BridgeError.h"

namespace norla {

namespace {

    std::optional<std::string> optionalString(const BridgeCall& call, std::string_view key)
    {
        if (const auto* text = call.stringArgument(key))
            return *text;
        return std::nullopt;
    }

    // The service behind the shell's commands, or an error reply when this build has none.
    std::shared_ptr<BadgeNotificationService> serviceOrReject(BridgeCall& call)
    {
        auto service = Seam<BadgeNotificationService>::find();
        if (!service)
            call.reply.reject(unavailableError(call.command).description());
        return service;
    }

    void badges(BridgeCall& call)
    {
        auto found = call.arguments.find("counts");
        const Value::Object* counts = found == call.arguments.end() ? nullptr : found->second.asObject();
        if (counts) {
            auto service = serviceOrReject(call);
            if (!service)
                return;
            service->applyBadges(*counts);
        }
        call.reply.resolve();
    }

    void notify(BridgeCall& call)
    {
        auto service = serviceOrReject(call);
        if (!service)
            return;
        auto title = optionalString(call, "title").value_or("");
        bool sound = true;
        if (auto found = call.arguments.find("sound"); found != call.arguments.end() && found->second.asBool())
            sound = *found->second.asBool();
        service->postPageNotification(
            std::move(title), optionalString(call, "body"), optionalString(call, "tag"), sound);
        call.reply.resolve();
    }

    void answerPermission(BridgeCall& call, bool request)
    {
        auto service = serviceOrReject(call);
        if (!service)
            return;
        service->notificationPermission(request, [reply = std::move(call.reply)](std::string word) mutable {
            postToMain(
                [reply = std::move(reply), word = std::move(word)]() mutable { reply.resolve(std::move(word)); });
        });
    }

    void notificationPermission(BridgeCall& call) { answerPermission(call, false); }
    void requestNotificationPermission(BridgeCall& call) { answerPermission(call, true); }

} // namespace

const BridgeCommandTable& shellCommandTable()
{
    static const BridgeCommandTable table {
        { "badges", badges },
        { "notify", notify },
        { "notificationPermission", notificationPermission },
        { "requestNotificationPermission", requestNotificationPermission },
    };
    return table;
}

} // namespace norla
