#pragma once

#include "ScopedEnvironmentVariable.h"
#include "TemporaryDirectory.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace norla::test {

// The desktop the WebKit tests run on. As on any desktop, a URL handed to the system goes to the default
// application that `mimeapps.list` names for its scheme; here that is a handler of the tests' own, in
// their own XDG directories, which only writes each URL down, one a line. One for the process: GLib reads
// the XDG directories once.
class TestDesktop {
public:
    // Makes the directories and points XDG_CONFIG_HOME and XDG_DATA_DIRS at them; call before GLib starts.
    static void install();
    static TestDesktop& shared();

    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    // Every URL the handler was started with so far, in the order it wrote them.
    std::vector<std::string> openedURLs() const;

private:
    TestDesktop();
    void writeFiles() const;

    TemporaryDirectory m_directory { "norla-desktop" };
    std::filesystem::path m_log = m_directory.path() / "opened.log";
    std::unique_ptr<ScopedEnvironmentVariable> m_dataDirs;
    std::unique_ptr<ScopedEnvironmentVariable> m_configHome;
};

} // namespace norla::test
