#pragma once

#include "platform/NoticePresenter.h"

#include <mutex>
#include <utility>
#include <vector>

namespace norla::test {

// Keeps the notices it was asked to show.
class FakeNoticePresenter final : public NoticePresenter {
public:
    void showNotice(const std::string& title, const std::string& message) override
    {
        std::lock_guard lock(m_mutex);
        m_notices.emplace_back(title, message);
    }
    std::vector<std::pair<std::string, std::string>> notices() const
    {
        std::lock_guard lock(m_mutex);
        return m_notices;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, std::string>> m_notices;
};

} // namespace norla::test
