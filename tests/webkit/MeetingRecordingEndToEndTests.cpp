// A meeting recorded from the demo application's recording page in the shell, as a user would: start and
// stop on the page, while the test sound server plays one tone as the computer's sound and another into
// the virtual microphone; then the page plays the recording back.
#include "DecodedAudio.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TonePlayer.h"
#include "WebKitFixture.h"

#include "foundation/MainContextWait.h"
#include "recording/MeetingRecorder.h"

#include <chrono>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    constexpr int rate = 16000;
    // The AAC encoder's priming frame, which readers of the meeting's fragmented file count in its length
    // (the last frame's padding, under one frame more, stays within the tolerance).
    constexpr double encoderPriming = 1024.0 / rate;

    class MeetingRecordingEndToEndTest : public WebKitFixture {
    protected:
        void SetUp() override
        {
            WebKitFixture::SetUp();
            auto reason = PulseTestServer::unreachableReason();
            ASSERT_TRUE(reason.empty()) << "the test PulseAudio server is not reachable: " << reason;
        }

        // Clicks a button of the recording page, waits for the state it then shows, and answers the error the
        // page shows instead, if any.
        std::string press(GtkWebView& webView, const std::string& button, const std::string& state)
        {
            if (!call(webView, "document.getElementById(button).click();", { { "button", button } }).ok())
                return "could not click " + button;
            if (!waitInPage(webView,
                    "document.getElementById('record-state').textContent === '" + state
                        + "' || document.getElementById('record-error').textContent !== ''"))
                return "never showed " + state;
            auto error = call(webView, "return document.getElementById('record-error').textContent;");
            return error.ok() && error.value().asString() ? *error.value().asString() : "no answer from the page";
        }
    };

    double seconds(std::chrono::steady_clock::duration length) { return std::chrono::duration<double>(length).count(); }

    TEST_F(MeetingRecordingEndToEndTest, TheRecordingPageRecordsSystemAudioAndMicrophoneAndPlaysTheMeetingBack)
    {
        TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
        ASSERT_TRUE(system.isPlaying() && microphone.isPlaying()) << system.error() << microphone.error();
        auto webView = openOffice("/meeting-notes/record?mode=desktop-app");
        ASSERT_TRUE(webView);

        auto startRequested = std::chrono::steady_clock::now();
        ASSERT_EQ(press(*webView, "record-start", "録音中"), "");
        ASSERT_TRUE(MeetingRecorder::shared()->isRecording());
        ASSERT_TRUE(runUntil([] { return captureHasAudio(*MeetingRecorder::shared()); }, 5))
            << "no sound reached the recorder";
        auto started = std::chrono::steady_clock::now();
        // Real sound flows in real time: the main loop goes on while the test waits for it.
        iterateMainContextUntil([] { return false; }, 4s);
        auto stopping = std::chrono::steady_clock::now();
        ASSERT_EQ(press(*webView, "record-stop", "待機中"), "");
        auto listed
            = call(*webView, "return [...document.querySelectorAll('#recordings li')].map((i) => i.dataset.path);");
        ASSERT_TRUE(listed.ok() && listed.value().asArray() && listed.value().asArray()->size() == 1)
            << (listed.ok() ? listed.value().toJSON() : listed.error().description());
        std::filesystem::path path = *listed.value().asArray()->front().asString();

        // What was written: the computer's sound left, the microphone right.
        EXPECT_EQ(path.filename(), "meeting.m4a");
        EXPECT_EQ(path.parent_path().parent_path(), recordingsDirectory());
        auto audio = DecodedAudio::decode(path);
        ASSERT_TRUE(audio);
        auto expected = seconds(stopping - started);
        // A busy machine delays the start on its way from the page to the recorder, and sound arrives before
        // the test sees it: that moment may or may not be in the file.
        EXPECT_NEAR(audio->duration() - encoderPriming, expected, expected * 0.02 + seconds(started - startRequested));
        expectSystemLeftMicrophoneRight(*audio);

        // Played back in the page through the recording scheme: the player runs through the meeting.
        ASSERT_TRUE(call(*webView, "document.querySelector('#recordings li .play').click(); return true;").ok());
        EXPECT_TRUE(waitInPage(*webView,
            "document.getElementById('player').currentTime > 0.3 || document.getElementById('player').error"));
        auto player = call(*webView,
            "const player = document.getElementById('player');\n"
            "return { error: player.error ? player.error.message || String(player.error.code) : '',\n"
            "         paused: player.paused, duration: player.duration,\n"
            "         bytes: Number(document.querySelector('#recordings li').dataset.bytes) };");
        ASSERT_TRUE(player.ok()) << player.error().description();
        const auto& state = player.value();
        ASSERT_EQ(*state.find("error"), Value("")) << "the page could not play the meeting: " << state.toJSON();
        EXPECT_EQ(*state.find("paused"), Value(false)) << state.toJSON();
        EXPECT_EQ(state.find("bytes")->asInteger(), static_cast<std::int64_t>(std::filesystem::file_size(path)));
        ASSERT_TRUE(state.find("duration")->asDouble()) << state.toJSON();
        EXPECT_NEAR(*state.find("duration")->asDouble(), audio->duration(), 0.2);
    }

} // namespace
} // namespace norla::test
