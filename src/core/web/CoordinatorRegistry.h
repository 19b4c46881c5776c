#pragma once

#include "web/OfficeWebView.h"

#include <memory>
#include <mutex>
#include <vector>

namespace norla {

// The process-wide list of live coordinators, in the order they were added. It holds them weakly, so a
// freed coordinator simply disappears from it.
class CoordinatorRegistry {
public:
    static CoordinatorRegistry& shared();

    void add(const std::shared_ptr<OfficeWebView::Coordinator>& coordinator);
    // The coordinators still alive, in registration order.
    std::vector<std::shared_ptr<OfficeWebView::Coordinator>> liveCoordinators();

private:
    std::mutex m_mutex;
    std::vector<std::weak_ptr<OfficeWebView::Coordinator>> m_entries;
};

} // namespace norla
