#include "web/CoordinatorRegistry.h"

#include <algorithm>

namespace norla {

CoordinatorRegistry& CoordinatorRegistry::shared()
{
    static CoordinatorRegistry registry;
    return registry;
}

void CoordinatorRegistry::add(const std::shared_ptr<OfficeWebView::Coordinator>& coordinator)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [](const auto& entry) { return entry.expired(); });
    m_entries.emplace_back(coordinator);
}

std::vector<std::shared_ptr<OfficeWebView::Coordinator>> CoordinatorRegistry::liveCoordinators()
{
    std::vector<std::shared_ptr<OfficeWebView::Coordinator>> live;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [](const auto& entry) { return entry.expired(); });
    live.reserve(m_entries.size());
    for (const auto& entry : m_entries) {
        if (auto coordinator = entry.lock())
            live.push_back(std::move(coordinator));
    }
    return live;
}

} // namespace norla
