#pragma once

#include "platform/SharedApplication.h"

#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// A `UIWindow` as the core's window.
class UIWindowAdapter final : public Window {
public:
    explicit UIWindowAdapter(UIWindow* window)
        : m_window(window)
    {
    }
    bool isKeyWindow() const override { return m_window.isKeyWindow == YES; }
    UIWindow* window() const { return m_window; }

private:
    UIWindow* m_window;
};

} // namespace norla

NS_ASSUME_NONNULL_END
