#include "FakeMediaComposer.h"

#include "TrackFiles.h"

#include <cmath>
#include <optional>
#include <sstream>

namespace norla::test {

namespace {

    using Failure = FakeMediaComposer::Failure;

    struct FakeAssetTrack final : AssetTrack {
        explicit FakeAssetTrack(std::string trackName)
            : name(std::move(trackName))
        {
        }
        std::string name;
    };

    class FakeAsset final : public MediaAsset {
    public:
        explicit FakeAsset(const std::filesystem::path& file)
            : m_name(file.filename().string())
        {
            std::error_code error;
            if (std::filesystem::exists(file, error))
                m_content = readBytes(file);
        }
        void loadAudioTracks(
            CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion) override
        {
            if (!m_content || *m_content == "notaudio")
                return completion(Error::platform("The file could not be opened."));
            std::vector<std::shared_ptr<AssetTrack>> tracks;
            if (*m_content != "notracks")
                tracks.push_back(std::make_shared<FakeAssetTrack>(m_name));
            completion(std::move(tracks));
        }
        void loadDuration(CompletionHandler<void(Result<MediaTime>)> completion) override
        {
            double seconds = 0;
            std::istringstream text(m_content.value_or(""));
            if (!(text >> seconds))
                return completion(Error::platform("The duration could not be loaded."));
            completion(MediaTime { static_cast<std::int64_t>(std::llround(seconds * 1000)), 1000 });
        }

    private:
        std::string m_name;
        std::optional<std::string> m_content;
    };

    std::string formatSeconds(const MediaTime& time)
    {
        std::ostringstream text;
        text << time.seconds();
        return text.str();
    }

    // The composition, its one track and its export session in one: inserting writes a line down, the
    // export writes the lines into the output.
    class FakeComposition final : public MutableComposition,
                                  public CompositionTrack,
                                  public ExportSession,
                                  public std::enable_shared_from_this<FakeComposition> {
    public:
        explicit FakeComposition(FakeMediaComposer& owner)
            : m_owner(owner)
        {
        }
        std::shared_ptr<CompositionTrack> addAudioTrack() override
        {
            if (m_owner.failure() == Failure::track)
                return nullptr;
            return std::static_pointer_cast<CompositionTrack>(shared_from_this());
        }
        Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) override
        {
            if (m_owner.failure() == Failure::insert)
                return Error::platform("The operation could not be completed.");
            const auto& piece = dynamic_cast<const FakeAssetTrack&>(track);
            m_lines += piece.name + " at=" + formatSeconds(at) + " duration=" + formatSeconds(range.duration) + "\n";
            return {};
        }
        void exportAsynchronously(const std::filesystem::path& output, ExportFileType,
            CompletionHandler<void(Result<void>)> completion) override
        {
            m_owner.didExport();
            if (m_owner.failure() == Failure::exporting)
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

} // namespace

std::shared_ptr<MediaAsset> FakeMediaComposer::makeAsset(const std::filesystem::path& file)
{
    return std::make_shared<FakeAsset>(file);
}

std::shared_ptr<MutableComposition> FakeMediaComposer::makeComposition()
{
    return std::make_shared<FakeComposition>(*this);
}

std::shared_ptr<ExportSession> FakeMediaComposer::makeExportSession(
    const std::shared_ptr<MutableComposition>& composition, ExportPreset)
{
    if (m_failure == Failure::exportSession)
        return nullptr;
    return std::dynamic_pointer_cast<FakeComposition>(composition);
}

} // namespace norla::test
