#pragma once

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace norla::test {

// The private PulseAudio server that the test fixture started (tests/pulse/pulse-server.sh): its default
// sink plays the "system audio", and what is played into the microphone sink is heard by the default
// source, the virtual microphone.
struct PulseTestServer {
    static constexpr std::string_view systemSink = "ci_sink";
    static constexpr std::string_view microphoneSink = "ci_mic_sink";
    static constexpr std::string_view microphoneSource = "ci_mic";

    // Empty when the server answers; else why it does not.
    static std::string unreachableReason();
};

// A second server of one test's own, set up like the shared one, that the test can end while streams
// record from it: what a client sees when its sound server goes away.
class PrivatePulseServer {
public:
    PrivatePulseServer();
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    bool isRunning() const { return m_running; }
    // The server's address for a client ("unix:…/native").
    std::string address() const;
    void stop();

private:
    TemporaryDirectory m_directory { "norla-pulse" };
    bool m_running = false;
};

// Tests that need the server: each fails at once, with the reason, when the server cannot be reached.
class PulseServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto reason = PulseTestServer::unreachableReason();
        ASSERT_TRUE(reason.empty()) << "the test PulseAudio server is not reachable: " << reason;
    }
};

} // namespace norla::test
