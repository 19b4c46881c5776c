#include "TestDesktop.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace norla::test {

namespace {
    constexpr const char* desktopFile = "norla-test-opener.desktop";
    constexpr const char* schemes[] = { "http", "https", "mailto", "tel" };
} // namespace

TestDesktop::TestDesktop()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "norla-desktop-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("TestDesktop: no temporary directory");
    m_directory = pattern;
    m_log = m_directory / "opened.log";
    writeFiles();
}

TestDesktop::~TestDesktop()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

TestDesktop& TestDesktop::shared()
{
    static TestDesktop desktop;
    return desktop;
}

void TestDesktop::writeFiles() const
{
    auto handler = m_directory / "opener";
    std::ofstream(handler) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << m_log.string() << "'\n";
    std::filesystem::permissions(handler, std::filesystem::perms::owner_all);

    std::filesystem::create_directories(m_directory / "data" / "applications");
    std::filesystem::create_directories(m_directory / "config");
    std::string mimeTypes;
    std::string defaults = "[Default Applications]\n";
    for (const char* scheme : schemes) {
        mimeTypes += std::string("x-scheme-handler/") + scheme + ";";
        defaults += std::string("x-scheme-handler/") + scheme + "=" + desktopFile + "\n";
    }
    std::ofstream(m_directory / "data" / "applications" / desktopFile)
        << "[Desktop Entry]\nType=Application\nName=NorlaOffice test opener\nNoDisplay=true\nExec=" << handler.string()
        << " %u\nMimeType=" << mimeTypes << "\n";
    // Read from the user's configuration and, for a program given another XDG_CONFIG_HOME, from the data
    // directories.
    std::ofstream(m_directory / "config" / "mimeapps.list") << defaults;
    std::ofstream(m_directory / "data" / "applications" / "mimeapps.list") << defaults;
}

void TestDesktop::install()
{
    auto& desktop = shared();
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string systemDirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    setenv("XDG_DATA_DIRS", ((desktop.m_directory / "data").string() + ":" + systemDirs).c_str(), 1);
    setenv("XDG_CONFIG_HOME", (desktop.m_directory / "config").c_str(), 1);
}

std::vector<std::string> TestDesktop::openedURLs() const
{
    std::vector<std::string> lines;
    std::ifstream log(m_log);
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

} // namespace norla::test
