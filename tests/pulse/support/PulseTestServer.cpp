#include "PulseTestServer.h"

#include "ShellQuoted.h"

#include "recording/PulsePtr.h"

#include <pulse/error.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace norla::test {

std::string PulseTestServer::unreachableReason()
{
    const char* server = std::getenv("PULSE_SERVER");
    if (!server || !*server)
        return "PULSE_SERVER is not set: run the tests through ctest, whose fixture starts the server";
    pa_sample_spec sampleFormat { PA_SAMPLE_FLOAT32LE, 16000, 1 };
    int error = 0;
    PulseSimplePtr connection(pa_simple_new(nullptr, "norla-tests", PA_STREAM_RECORD,
        std::string(microphoneSource).c_str(), "reachability", &sampleFormat, nullptr, nullptr, &error));
    if (!connection)
        return std::string(server) + ": " + pa_strerror(error);
    return {};
}

namespace {
    int runScript(const std::string& action, const std::filesystem::path& directory)
    {
        return std::system(
            (shellQuoted(NORLA_PULSE_SERVER_SCRIPT) + " " + action + " " + shellQuoted(directory) + " >/dev/null")
                .c_str());
    }
} // namespace

PrivatePulseServer::PrivatePulseServer()
    : m_running(runScript("start", m_directory.path()) == 0)
{
}

PrivatePulseServer::~PrivatePulseServer() { stop(); }

std::string PrivatePulseServer::address() const
{
    return "unix:" + (m_directory.path() / "runtime" / "native").string();
}

void PrivatePulseServer::stop()
{
    if (m_running)
        runScript("stop", m_directory.path());
    m_running = false;
}

} // namespace norla::test
