#include "desktop/MacShell.h"

#include "app/BuildConfiguration.h"
#include "desktop/PushNotifications.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/TaskQueues.h"
#include "web/OfficeNotifications.h"

namespace norla {

namespace {

    constexpr const char* hiddenScript = "window.dispatchEvent(new Event('norla:hidden'));";
    constexpr const char* shownScript = "window.dispatchEvent(new Event('norla:shown'));";

    void postEvaluate(std::string script)
    {
        NotificationCenter::defaultCenter().post(std::string(officeEvaluate), std::move(script));
    }

    std::string joined(const std::vector<BadgeIncreaseLine>& lines)
    {
        std::string body;
        for (auto& line : lines) {
            if (!body.empty())
                body += " / ";
            body += line.text;
        }
        return body;
    }

} // namespace

MacShell& MacShell::shared()
{
    static const std::shared_ptr<MacShell> instance = [] {
        Dependencies dependencies;
        dependencies.timerQueue = makeSerialQueue(std::string(build::applicationIdentifier) + ".shell");
        dependencies.openInternalURL = [](const Url& url) { PushNotifications::shared().openInternalURL(url); };
        return make(std::move(dependencies));
    }();
    return *instance;
}

std::shared_ptr<MacShell> MacShell::make(Dependencies dependencies)
{
    return std::make_shared<MacShell>(PassKey<MacShell>(), std::move(dependencies));
}

MacShell::MacShell(PassKey<MacShell>, Dependencies dependencies)
    : m_dependencies(std::move(dependencies))
    , m_notifications(m_dependencies.notificationCenter, m_dependencies.uuids)
{
}

MacShell::~MacShell()
{
    for (auto& token : m_observers)
        NotificationCenter::defaultCenter().removeObserver(token);
}

MeetingRecorderService& MacShell::recorder() const
{
    return m_dependencies.recorder ? *m_dependencies.recorder : *seam<MeetingRecorderService>();
}

void MacShell::later(std::function<void(MacShell&)> work)
{
    postToMain([weak = weak_from_this(), work = std::move(work)] {
        if (auto self = weak.lock())
            work(*self);
    });
}

void MacShell::installPlugin()
{
    auto loader = m_dependencies.pluginLoader ? m_dependencies.pluginLoader : Seam<PluginLoader>::find();
    auto plugInsPath = loader ? loader->builtInPlugInsPath() : std::nullopt;
    auto bundle = plugInsPath ? loader->bundle(*plugInsPath / PluginLoader::menuBarBundleName) : nullptr;
    auto instance = bundle && bundle->load() ? bundle->instantiatePrincipalClass() : nullptr;
    if (!instance) {
        logLine(pluginUnavailableLine);
        return;
    }

    std::weak_ptr<MacShell> weak = weak_from_this();
    auto application = m_dependencies.application;
    instance->installWithOpenWindow(
        [application] {
            postToMain([application] { (application ? application : seam<SharedApplication>())->requestNewScene(); });
        },
        [] { NotificationCenter::defaultCenter().post(std::string(officeReload)); });
    m_plugin = std::move(instance);
    m_plugin->setMeetingPopupHandler([weak](std::string action) {
        postToMain([weak, action = std::move(action)] {
            if (auto self = weak.lock())
                self->handlePopupAction(action);
        });
    });
    m_plugin->startMeetingWatch([weak](std::string event, std::optional<std::string> label) {
        postToMain([weak, event = std::move(event), label = std::move(label)] {
            if (auto self = weak.lock())
                self->handleMeetingWatchEvent(event, label);
        });
    });
    registerSystemObservers();
}

void MacShell::registerSystemObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    std::weak_ptr<MacShell> weak = weak_from_this();
    // Whatever was recorded up to a failed capture is saved.
    m_observers.push_back(center.addObserver(std::string(officeCaptureFailed), [weak](const Notification&) {
        postToMain([weak] {
            if (auto self = weak.lock())
                self->finishRecording();
        });
    }));
    m_observers.push_back(center.addObserver(
        std::string(sceneDidEnterBackgroundNotification), [](const Notification&) { postEvaluate(hiddenScript); }));
    m_observers.push_back(center.addObserver(
        std::string(sceneWillEnterForegroundNotification), [](const Notification&) { postEvaluate(shownScript); }));
}

void MacShell::setRecordingActive(bool active)
{
    postEvaluate(std::string("window.__norlaRecordingActive = ") + (active ? "true" : "false") + ";");
}

void MacShell::postLocalNotification(std::string title, std::string body)
{
    m_notifications.postLocalNotification(std::move(title), std::move(body));
}

void MacShell::applyBadges(const BadgeCounts& counts)
{
    auto sum = counts.menuBarTitleSum();
    if (m_plugin)
        m_plugin->setBadgeTitle(sum >= 1 ? std::optional(std::to_string(sum)) : std::nullopt);
    if (counts.attention)
        m_notifications.center().setBadgeCount(*counts.attention);

    auto previous = std::exchange(m_last, counts);
    if (!previous)
        return;
    auto lines = badgeIncreaseLines(*previous, counts);
    if (lines.empty())
        return;
    NotificationRequest request;
    request.identifier = m_notifications.newIdentifier();
    request.content.title = "Vantorel";
    request.content.body = joined(lines);
    request.content.sound = std::any_of(lines.begin(), lines.end(), [](auto& line) { return line.withSound; });
    m_notifications.center().add(std::move(request));
}

} // namespace norla
