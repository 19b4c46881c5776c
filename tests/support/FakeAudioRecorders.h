#pragma once

#include "platform/AudioRecorder.h"

#include "TrackFiles.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace norla::test {

// Audio recorders that write their file when they start: a segment of 300 seconds as the FakeMediaComposer
// reads it. Only the recorder's queue calls them.
struct FakeAudioRecorders final : AudioRecorders {
    struct Made {
        std::filesystem::path file;
        bool stopped = false;
        AudioRecorder::FailureHandler onFailure;
    };

    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings&) override
    {
        auto failure = failures.find(++calls);
        if (failure != failures.end() && failure->second)
            return *failure->second;
        made.push_back({ file, false, nullptr });
        return std::unique_ptr<AudioRecorder>(
            std::make_unique<Recorder>(*this, made.size() - 1, failure != failures.end()));
    }
    // Plans the `call`-th making (from 1) to fail with `error`, or without one to make a recorder that
    // will not record.
    void fail(int call, std::optional<Error> error = std::nullopt)
    {
        failures.insert_or_assign(call, std::move(error));
    }
    // The recorder made `index`-th (from 0) reports that its source failed.
    void failWhileRecording(std::size_t index, const Error& error)
    {
        if (auto handler = std::exchange(made.at(index).onFailure, nullptr))
            handler(error);
    }

    std::map<int, std::optional<Error>> failures;
    std::vector<Made> made;
    int calls = 0;
    int active = 0; // recording now
    int maxActive = 0; // the most that ever recorded at once

private:
    struct Recorder final : AudioRecorder {
        Recorder(FakeAudioRecorders& owner, std::size_t index, bool refuses)
            : m_owner(owner)
            , m_index(index)
            , m_refuses(refuses)
        {
        }
        bool record() override
        {
            if (m_refuses)
                return false;
            writeBytes(m_owner.made[m_index].file, "300");
            m_owner.maxActive = std::max(m_owner.maxActive, ++m_owner.active);
            return m_recording = true;
        }
        void stop() override
        {
            if (std::exchange(m_recording, false)) {
                --m_owner.active;
                m_owner.made[m_index].stopped = true;
            }
        }
        void setFailureHandler(FailureHandler handler) override
        {
            m_owner.made[m_index].onFailure = std::move(handler);
        }

        FakeAudioRecorders& m_owner;
        std::size_t m_index;
        bool m_refuses;
        bool m_recording = false;
    };
};

} // namespace norla::test
