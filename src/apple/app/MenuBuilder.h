#pragma once

#include "support/MenuLayout.h"

#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// Adds the application's commands to the main menu: the sidebar and reload commands into the View menu
// after its toolbar commands, and each menu of its own ("移動") after the View menu. Every command sends
// `action` up the responder chain with its layout index as its property list.
void buildMenus(id<UIMenuBuilder> builder, const MenuLayout& layout, SEL action);

// The layout index a command carries; nothing for a command of someone else.
std::optional<long long> menuCommandIndex(UICommand* command);

} // namespace norla

NS_ASSUME_NONNULL_END
