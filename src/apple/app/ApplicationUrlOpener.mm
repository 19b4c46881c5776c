#include "app/ApplicationUrlOpener.h"

#include "foundation/FoundationConversions.h"

#import <UIKit/UIKit.h>

#include <memory>

namespace norla {

void ApplicationUrlOpener::open(const Url& url, CompletionHandler<void(bool opened)> completion)
{
    NSURL* address = toNSURL(url);
    if (!address) {
        completion(false);
        return;
    }
    auto pending = std::make_shared<CompletionHandler<void(bool)>>(std::move(completion));
    // The options are not optional; the completion runs on the main queue.
    [[UIApplication sharedApplication] openURL:address
        options:@{}
        completionHandler:^(BOOL success) { (*pending)(success == YES); }];
}

} // namespace norla
