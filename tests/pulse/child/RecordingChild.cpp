// A recording program for the crash test, which kills itself with SIGKILL, as a crash would, SECONDS after
// it reached the moment named:
//   norla_recording_child system ROOT SECONDS      records system audio and microphone
//   norla_recording_child microphone ROOT SECONDS  records the microphone alone, rotating every second
//   norla_recording_child stop ROOT SECONDS        records system audio for 1.5 s, then stops (mixes)
//   norla_recording_child pending ROOT [SECONDS]   finishes one left-over recording (no SECONDS: to its end)
// Exits 0 when it ended before being killed, 1 when recording or finishing failed.
#include "LinuxRecorder.h"

#include "platform/PulsePlatformVersion.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace norla;
using namespace norla::test;

namespace {

void killAfter(const char* seconds)
{
    std::thread([delay = std::atof(seconds)] {
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        std::raise(SIGKILL);
    }).detach();
}

int fail(const Error& error)
{
    std::fprintf(stderr, "norla_recording_child: %s\n", error.description().c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 2 ? argv[1] : "";
    if (mode.empty() || (argc < 4 && mode != "pending")) {
        std::fprintf(stderr, "usage: %s system|microphone|stop|pending ROOT [SECONDS]\n", argv[0]);
        return 2;
    }
    auto recorder = mode == "microphone" ? makeLinuxRecorder(argv[2],
                        std::make_shared<PulsePlatformVersion>("no_such_sink.monitor"), std::chrono::seconds(1))
                                         : makeLinuxRecorder(argv[2]);

    if (mode == "pending") {
        if (argc > 3)
            killAfter(argv[3]);
        auto found = recorder->pendingAndWait();
        return found ? 0 : fail(found.error());
    }
    if (auto started = recorder->startAndWait(); !started)
        return fail(started.error());
    if (mode == "stop") {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        killAfter(argv[3]);
        auto stopped = recorder->stopAndWait();
        return stopped ? 0 : fail(stopped.error());
    }
    killAfter(argv[3]);
    while (true)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
