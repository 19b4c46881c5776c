#include "app/MenuBuilder.h"

#include "app/BuildConfiguration.h"
#include "foundation/FoundationConversions.h"
#include "support/KeyShortcut.h"

namespace norla {

namespace {

    UIMenuElement* menuElement(const MenuCommand& command, std::size_t index, SEL action)
    {
        NSNumber* propertyList = [NSNumber numberWithInteger:static_cast<NSInteger>(index)];
        if (auto shortcut = keyShortcut(command.key)) {
            return [UIKeyCommand commandWithTitle:toNSString(command.title)
                                            image:nil
                                           action:action
                                            input:toNSString(shortcut->input)
                                    modifierFlags:static_cast<UIKeyModifierFlags>(shortcut->modifierFlags)
                                     propertyList:propertyList];
        }
        return [UICommand commandWithTitle:toNSString(command.title) image:nil action:action propertyList:propertyList];
    }

    UIMenu* groupMenu(const MenuLayout& layout, const MenuLayout::Group& group, std::size_t groupIndex, SEL action)
    {
        NSMutableArray<UIMenuElement*>* sections = [NSMutableArray array];
        for (const auto& section : group.sections) {
            NSMutableArray<UIMenuElement*>* items = [NSMutableArray array];
            for (auto index : section)
                [items addObject:menuElement(layout.commands[index], index, action)];
            // Inline sections draw as the separators between them.
            [sections addObject:[UIMenu menuWithTitle:@""
                                                image:nil
                                           identifier:nil
                                              options:UIMenuOptionsDisplayInline
                                             children:items]];
        }
        NSString* identifier
            = toNSString(std::string(build::applicationIdentifier) + ".menu." + std::to_string(groupIndex));
        bool inlined = group.placement == MenuGroup::Placement::afterToolbar;
        return [UIMenu menuWithTitle:toNSString(group.title)
                               image:nil
                          identifier:identifier
                             options:inlined ? UIMenuOptionsDisplayInline : static_cast<UIMenuOptions>(0)
                            children:sections];
    }

} // namespace

void buildMenus(id<UIMenuBuilder> builder, const MenuLayout& layout, SEL action)
{
    if (builder.system != [UIMenuSystem mainSystem])
        return;
    // Own menus go after the View menu in reverse, so that they end up in the layout's order.
    for (std::size_t index = layout.groups.size(); index-- > 0;) {
        const auto& group = layout.groups[index];
        UIMenu* menu = groupMenu(layout, group, index, action);
        if (group.placement == MenuGroup::Placement::afterToolbar)
            [builder insertSiblingMenu:menu afterMenuForIdentifier:UIMenuToolbar];
        else
            [builder insertSiblingMenu:menu afterMenuForIdentifier:UIMenuView];
    }
}

std::optional<long long> menuCommandIndex(UICommand* command)
{
    id propertyList = command.propertyList;
    if (![propertyList isKindOfClass:[NSNumber class]])
        return std::nullopt;
    return ((NSNumber*)propertyList).longLongValue;
}

} // namespace norla
