#include "TestDesktop.h"

#include <cstdlib>
#include <fstream>

namespace norla::test {

namespace {
    constexpr const char* desktopFile = "norla-test-opener.desktop";
    constexpr const char* schemes[] = { "http", "https", "mailto", "tel" };
} // namespace

TestDesktop::TestDesktop() { writeFiles(); }

TestDesktop& TestDesktop::shared()
{
    static TestDesktop desktop;
    return desktop;
}

void TestDesktop::writeFiles() const
{
    const auto& directory = m_directory.path();
    auto handler = directory / "opener";
    std::ofstream(handler) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << m_log.string() << "'\n";
    std::filesystem::permissions(handler, std::filesystem::perms::owner_all);

    std::filesystem::create_directories(directory / "data" / "applications");
    std::filesystem::create_directories(directory / "config");
    std::string mimeTypes;
    std::string defaults = "[Default Applications]\n";
    for (const char* scheme : schemes) {
        mimeTypes += std::string("x-scheme-handler/") + scheme + ";";
        defaults += std::string("x-scheme-handler/") + scheme + "=" + desktopFile + "\n";
    }
    std::ofstream(directory / "data" / "applications" / desktopFile)
        << "[Desktop Entry]\nType=Application\nName=NorlaOffice test opener\nNoDisplay=true\nExec=" << handler.string()
        << " %u\nMimeType=" << mimeTypes << "\n";
    // Read from the user's configuration and, for a program given another XDG_CONFIG_HOME, from the data
    // directories.
    std::ofstream(directory / "config" / "mimeapps.list") << defaults;
    std::ofstream(directory / "data" / "applications" / "mimeapps.list") << defaults;
}

void TestDesktop::install()
{
    auto& desktop = shared();
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string systemDirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    const auto& directory = desktop.m_directory.path();
    desktop.m_dataDirs = std::make_unique<ScopedEnvironmentVariable>(
        "XDG_DATA_DIRS", ((directory / "data").string() + ":" + systemDirs).c_str());
    desktop.m_configHome
        = std::make_unique<ScopedEnvironmentVariable>("XDG_CONFIG_HOME", (directory / "config").c_str());
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
