#pragma once

#include "platform/MediaComposition.h"

#include "TrackFiles.h"

#include <atomic>
#include <cmath>
#include <optional>
#include <sstream>

namespace norla::test {

// Assets read from text files: a number is the file's duration in seconds with one audio track;
// "notaudio" fails to load its tracks, "notracks" has none, "noduration" fails to load its duration.
// An export writes one line per inserted piece, "name at=<seconds> duration=<seconds>", into the output.
class FakeMediaComposer final : public MediaComposer {
public:
    enum class Failure { none, track, insert, exportSession, exporting };

    std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override
    {
        return std::make_shared<Asset>(file);
    }
    std::shared_ptr<MutableComposition> makeComposition() override { return std::make_shared<Composition>(*this); }
    std::shared_ptr<ExportSession> makeExportSession(
        const std::shared_ptr<MutableComposition>& composition, ExportPreset) override
    {
        return m_failure == Failure::exportSession ? nullptr : std::dynamic_pointer_cast<Composition>(composition);
    }

    void fail(Failure failure) { m_failure = failure; }

private:
    // The asset is its own one track.
    struct Asset final : MediaAsset, AssetTrack {
        explicit Asset(const std::filesystem::path& file)
            : name(file.filename().string())
        {
            std::error_code error;
            if (std::filesystem::exists(file, error))
                content = readBytes(file);
        }
        void loadAudioTracks(
            CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion) override
        {
            if (!content || *content == "notaudio")
                return completion(Error::platform("The file could not be opened."));
            std::vector<std::shared_ptr<AssetTrack>> tracks;
            if (*content != "notracks")
                tracks.push_back(std::make_shared<Asset>(*this));
            completion(std::move(tracks));
        }
        void loadDuration(CompletionHandler<void(Result<MediaTime>)> completion) override
        {
            double seconds = 0;
            if (!(std::istringstream(content.value_or("")) >> seconds))
                return completion(Error::platform("The duration could not be loaded."));
            completion(MediaTime { static_cast<std::int64_t>(std::llround(seconds * 1000)), 1000 });
        }
        std::string name;
        std::optional<std::string> content;
    };

    // The composition, its one track and its export session in one: inserting writes a line down, the
    // export writes the lines into the output.
    class Composition final : public MutableComposition,
                              public CompositionTrack,
                              public ExportSession,
                              public std::enable_shared_from_this<Composition> {
    public:
        explicit Composition(FakeMediaComposer& owner)
            : m_owner(owner)
        {
        }
        std::shared_ptr<CompositionTrack> addAudioTrack() override
        {
            if (m_owner.m_failure == Failure::track)
                return nullptr;
            return std::static_pointer_cast<CompositionTrack>(shared_from_this());
        }
        Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) override
        {
            if (m_owner.m_failure == Failure::insert)
                return Error::platform("The operation could not be completed.");
            std::ostringstream line;
            line << dynamic_cast<const Asset&>(track).name << " at=" << at.seconds()
                 << " duration=" << range.duration.seconds() << "\n";
            m_lines += line.str();
            return {};
        }
        void exportAsynchronously(const std::filesystem::path& output, ExportFileType,
            CompletionHandler<void(Result<void>)> completion) override
        {
            if (m_owner.m_failure == Failure::exporting)
                return completion(Error::platform("The export failed."));
            writeBytes(output, m_lines);
            completion(Result<void>());
        }
        void cancelExport() override { }
        float progress() const override { return 0.0f; }

    private:
        FakeMediaComposer& m_owner;
        std::string m_lines;
    };

    std::atomic<Failure> m_failure { Failure::none };
};

} // namespace norla::test
