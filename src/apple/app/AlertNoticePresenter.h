#pragma once

#include "platform/NoticePresenter.h"

namespace norla {

// An alert with one "OK" button over the topmost view controller of the foreground scene's key window.
class AlertNoticePresenter final : public NoticePresenter {
public:
    void showNotice(const std::string& title, const std::string& message) override;
};

} // namespace norla
