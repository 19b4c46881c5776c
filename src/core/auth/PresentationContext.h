#pragma once

#include "platform/AuthenticationSession.h"
#include "platform/SharedApplication.h"

#include <memory>

namespace norla {

// Anchors the sign-in sheet to the application's key window, else its first window, else a new one.
class PresentationContext final : public AuthenticationPresentationContextProviding {
public:
    // Without an application, the installed seam.
    explicit PresentationContext(std::shared_ptr<SharedApplication> application = nullptr);
    std::shared_ptr<Window> presentationAnchor() override;

private:
    std::shared_ptr<SharedApplication> m_application;
};

} // namespace norla
