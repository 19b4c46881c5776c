#include "auth/PresentationContext.h"

#include "platform/Seams.h"

namespace norla {

PresentationContext::PresentationContext(std::shared_ptr<SharedApplication> application)
    : m_application(std::move(application))
{
}

std::shared_ptr<Window> PresentationContext::presentationAnchor()
{
    auto application = m_application ? m_application : seam<SharedApplication>();
    auto windows = application->windowSceneWindows();
    for (auto& window : windows) {
        if (window && window->isKeyWindow())
            return window;
    }
    if (!windows.empty() && windows.front())
        return windows.front();
    return application->makeWindow();
}

} // namespace norla
