#pragma once

#include "platform/NoticePresenter.h"

#include <gtk/gtk.h>

namespace norla {

// A notice as a modal message dialog with one "OK" button over the active window of the application.
class GtkNoticePresenter final : public NoticePresenter {
public:
    explicit GtkNoticePresenter(GtkApplication* application)
        : m_application(application)
    {
    }
    void showNotice(const std::string& title, const std::string& message) override;

private:
    GtkApplication* m_application; // the application outlives every notice
};

} // namespace norla
