// A recording program for the crash test, which starts it and kills it at random moments:
//   norla_recording_child system ROOT          records system audio and microphone until killed
//   norla_recording_child microphone ROOT      records the microphone alone, rotating every second
//   norla_recording_child stop ROOT SECONDS    records system audio for SECONDS, then stops (mixes)
//   norla_recording_child pending ROOT         finishes one left-over recording
// It reports on standard output, one line per step: "recording DIR", "stopping", "done PATH", "none".
#include "LinuxRecorder.h"

#include "platform/PulsePlatformVersion.h"
#include "recording/LinuxRecordingSeams.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace norla;
using namespace norla::test;

namespace {

void report(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int fail(const Error& error)
{
    std::fprintf(stderr, "norla_recording_child: %s\n", error.description().c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s system|microphone|stop|pending ROOT [SECONDS]\n", argv[0]);
        return 2;
    }
    std::string mode = argv[1];
    installLinuxRecordingSeams();
    LinuxRecorderOptions options;
    options.recordingsDirectory = argv[2];
    if (mode == "microphone") {
        options.platformVersion = std::make_shared<PulsePlatformVersion>("no_such_sink.monitor");
        options.rotationInterval = std::chrono::seconds(1);
    }
    auto recorder = makeLinuxRecorder(options);

    if (mode == "pending") {
        auto found = recorder->pendingAndWait();
        if (!found)
            return fail(found.error());
        report(found.value() ? "done " + found.value()->string() : "none");
        return 0;
    }
    if (auto started = recorder->startAndWait(); !started)
        return fail(started.error());
    report("recording " + recorder->state().sessionDir.value_or("").string());
    if (mode == "stop") {
        std::this_thread::sleep_for(std::chrono::duration<double>(argc > 3 ? std::atof(argv[3]) : 1.0));
        report("stopping");
        auto stopped = recorder->stopAndWait();
        if (!stopped)
            return fail(stopped.error());
        report("done " + stopped.value().string());
        return 0;
    }
    // Recording goes on until the test kills the process.
    while (true)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
