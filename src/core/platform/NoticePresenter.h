#pragma once

#include <string>

namespace norla {

// Shows the user a notice: an alert with a title, a message and one "OK" button, over the frontmost
// window's topmost presented view. Called on the main thread; shows nothing without an active window.
class NoticePresenter {
public:
    virtual ~NoticePresenter() = default;
    virtual void showNotice(const std::string& title, const std::string& message) = 0;
};

} // namespace norla
