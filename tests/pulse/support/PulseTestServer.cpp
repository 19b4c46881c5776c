#include "PulseTestServer.h"

#include "recording/PulsePtr.h"

#include <pulse/error.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace norla::test {

std::string PulseTestServer::unreachableReason()
{
    const char* server = std::getenv("PULSE_SERVER");
    if (!server || !*server)
        return "PULSE_SERVER is not set: run the tests through ctest, whose fixture starts the server";
    pa_sample_spec sampleSpec { PA_SAMPLE_FLOAT32LE, 16000, 1 };
    int error = 0;
    PulseSimplePtr connection(pa_simple_new(nullptr, "norla-tests", PA_STREAM_RECORD,
        std::string(microphoneSource).c_str(), "reachability", &sampleSpec, nullptr, nullptr, &error));
    if (!connection)
        return std::string(server) + ": " + pa_strerror(error);
    return {};
}

namespace {
    int runScript(const std::string& action, const std::string& directory)
    {
        return std::system(("'" NORLA_PULSE_SERVER_SCRIPT "' " + action + " '" + directory + "' >/dev/null").c_str());
    }
} // namespace

PrivatePulseServer::PrivatePulseServer()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "norla-pulse-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return;
    m_directory = pattern;
    m_running = runScript("start", m_directory) == 0;
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop();
    if (!m_directory.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }
}

std::string PrivatePulseServer::address() const { return "unix:" + m_directory + "/runtime/native"; }

void PrivatePulseServer::stop()
{
    if (m_running)
        runScript("stop", m_directory);
    m_running = false;
}

} // namespace norla::test
