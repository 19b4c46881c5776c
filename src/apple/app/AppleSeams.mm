#include "app/AppleSeams.h"

#include "app/AlertNoticePresenter.h"
#include "app/ApplicationUrlOpener.h"
#include "app/UIKitSharedApplication.h"
#include "auth/WebAuthenticationSessionFactory.h"
#include "desktop/BundlePluginLoader.h"
#include "desktop/UNNotificationCenterAdapter.h"
#include "foundation/BundleInfoDictionary.h"
#include "foundation/DispatchBackgroundExecutor.h"
#include "foundation/FileManagerApplicationSupport.h"
#include "foundation/MainQueueExecutor.h"
#include "foundation/NSURLParser.h"
#include "foundation/NSUUIDGenerator.h"
#include "foundation/OsLogSystemLog.h"
#include "foundation/UserDefaultsStore.h"
#include "platform/Clock.h"
#include "platform/Seams.h"
#include "recording/AppleRecordingSeams.h"
#include "web/WKWebViewFactory.h"

namespace norla {

void installAppleSeams()
{
    Seam<MainExecutor>::install(std::make_shared<MainQueueExecutor>());
    Seam<SystemLog>::install(std::make_shared<OsLogSystemLog>());
    Seam<Clock>::install(std::make_shared<SteadyClock>());
    Seam<InfoDictionary>::install(std::make_shared<BundleInfoDictionary>());
    Seam<UrlParser>::install(std::make_shared<NSURLParser>());
    Seam<KeyValueStore>::install(std::make_shared<UserDefaultsStore>());
    Seam<UrlOpener>::install(std::make_shared<ApplicationUrlOpener>());
    Seam<UserNotificationCenter>::install(std::make_shared<UNNotificationCenterAdapter>());
    Seam<UuidGenerator>::install(std::make_shared<NSUUIDGenerator>());
    Seam<BackgroundExecutor>::install(std::make_shared<DispatchBackgroundExecutor>());
    Seam<ApplicationSupport>::install(std::make_shared<FileManagerApplicationSupport>());
    Seam<WebViewFactory>::install(std::make_shared<WKWebViewFactory>());
    Seam<AuthenticationSessionFactory>::install(std::make_shared<WebAuthenticationSessionFactory>());
    Seam<SharedApplication>::install(std::make_shared<UIKitSharedApplication>());
    Seam<NoticePresenter>::install(std::make_shared<AlertNoticePresenter>());
    Seam<PluginLoader>::install(std::make_shared<BundlePluginLoader>());
    installAppleRecordingSeams();
}

} // namespace norla
