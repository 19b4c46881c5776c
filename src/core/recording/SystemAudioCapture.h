#pragma once

#include "platform/AudioConverter.h"
#include "platform/AudioFileWriter.h"
#include "platform/AudioFormat.h"
#include "platform/FileHandle.h"
#include "platform/PassKey.h"
#include "platform/Result.h"
#include "platform/ScreenCapture.h"
#include "platform/TaskQueue.h"
#include "recording/RawTrack.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace norla {

// Records the system's audio and the microphone from one screen-capture stream into the two raw tracks
// of a session directory, on a timeline that pauses cut out, and mixes them into meeting.m4a on stop.
class SystemAudioCapture final : public StreamOutput,
                                 public StreamDelegate,
                                 public std::enable_shared_from_this<SystemAudioCapture> {
public:
    // What a capture needs from the platform. `makeQueue` makes each capture's own serial queue; the raw
    // tracks are written and mixed through `fileHandles` and `writer`.
    struct Dependencies {
        std::shared_ptr<ScreenCapture> screenCapture;
        std::shared_ptr<AudioConverters> converters;
        std::function<std::shared_ptr<TaskQueue>()> makeQueue;
        std::shared_ptr<FileHandles> fileHandles;
        std::shared_ptr<AudioFileWriter> writer;

        // The installed seams and a real serial queue labelled with the application identifier + ".capture".
        static Dependencies live();
    };

    // Blocks positions at or beyond this many seconds of timeline are dropped (5 hours).
    static constexpr double timelineLimit = 18000.0;

    // Starts a capture into the existing directory `dir` and returns it once its stream runs. Blocks the
    // calling task while the platform answers: never call it on the main thread or a recorder queue.
    static Result<std::shared_ptr<SystemAudioCapture>> start(
        const std::filesystem::path& dir, const Dependencies& dependencies);
    // What a capture asks of the stream: audio only (the smallest frame), 16000 Hz mono, the application's
    // own sound left out, the microphone in.
    static StreamConfiguration streamConfiguration();
    // Mixes the raw tracks of `dir` into its meeting.m4a (see mixdown()).
    static Result<std::filesystem::path> mixdown(const std::filesystem::path& dir, const Dependencies& dependencies);

    SystemAudioCapture(PassKey<SystemAudioCapture>, std::filesystem::path dir, std::shared_ptr<TaskQueue> queue,
        Dependencies dependencies, RawTrack system, RawTrack mic);

    // The capture's queue: buffers arrive on it, and pause(), resume() must be run on it.
    TaskQueue& queue() const { return *m_queue; }
    const std::filesystem::path& dir() const { return m_dir; }
    void pause();
    void resume();
    // Stops the stream, closes the tracks and mixes them; returns the path of meeting.m4a. Called once.
    // Blocks the calling task like start().
    Result<std::filesystem::path> stop();

    void didOutputSampleBuffer(const SampleBuffer& buffer, StreamOutputType type) override;
    void didStopWithError(const Error& error) override;

    // The timeline's state, read on the queue.
    std::optional<double> origin() const { return m_origin; }
    double pausedTotal() const { return m_pausedTotal; }
    std::optional<double> lastPTS() const { return m_lastPTS; }
    bool isPaused() const { return m_paused; }

private:
    struct ConverterEntry {
        AudioFormat inputFormat;
        std::unique_ptr<AudioConverter> converter;
    };
    std::optional<std::vector<float>> convert(const SampleBuffer& buffer, StreamOutputType type);

    const std::filesystem::path m_dir;
    const std::shared_ptr<TaskQueue> m_queue;
    const Dependencies m_dependencies;
    std::shared_ptr<CaptureStream> m_stream;
    RawTrack m_system;
    RawTrack m_mic;
    std::map<StreamOutputType, ConverterEntry> m_converters;
    std::optional<double> m_origin;
    bool m_paused = false;
    std::optional<double> m_pausedFrom;
    double m_pausedTotal = 0;
    std::optional<double> m_lastPTS;
};

} // namespace norla
