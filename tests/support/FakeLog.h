#pragma once

#include "platform/SystemLog.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace norla::test {

// Collects log lines for assertions.
class FakeLog final : public SystemLog {
public:
    void write(std::string_view line) override
    {
        std::lock_guard lock(m_mutex);
        m_lines.emplace_back(line);
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(std::string_view fragment) const
    {
        return std::ranges::any_of(lines(), [&](auto& line) { return line.find(fragment) != std::string::npos; });
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

} // namespace norla::test
