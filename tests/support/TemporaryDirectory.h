#pragma once

#include <filesystem>
#include <string>

namespace norla::test {

// A fresh directory under the system's temporary directory, removed with everything in it at the end.
class TemporaryDirectory {
public:
    explicit TemporaryDirectory(const std::string& prefix = "norla-test");
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace norla::test
