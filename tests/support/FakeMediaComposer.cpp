#include "FakeMediaComposer.h"

#include "TrackFiles.h"

#include <cmath>
#include <sstream>

namespace norla::test {

namespace {

    class FakeAssetTrack final : public AssetTrack {
    public:
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
            if (*m_content == "notracks")
                return completion(std::vector<std::shared_ptr<AssetTrack>>());
            completion(std::vector<std::shared_ptr<AssetTrack>> { std::make_shared<FakeAssetTrack>(m_name) });
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

} // namespace

class FakeCompositionTrack final : public CompositionTrack {
public:
    explicit FakeCompositionTrack(FakeMediaComposer& owner)
        : m_owner(owner)
    {
    }
    Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) override
    {
        if (m_owner.m_failInsert)
            return Error::platform("The operation could not be completed.");
        auto& piece = dynamic_cast<const FakeAssetTrack&>(track);
        lines += piece.name + " at=" + formatSeconds(at) + " duration=" + formatSeconds(range.duration) + "\n";
        return {};
    }
    std::string lines;

private:
    FakeMediaComposer& m_owner;
};

namespace {

    class FakeComposition final : public MutableComposition {
    public:
        FakeComposition(FakeMediaComposer& owner, bool refuse)
            : m_owner(owner)
            , m_refuse(refuse)
        {
        }
        std::shared_ptr<CompositionTrack> addAudioTrack() override
        {
            if (m_refuse)
                return nullptr;
            track = std::make_shared<FakeCompositionTrack>(m_owner);
            return track;
        }
        std::shared_ptr<FakeCompositionTrack> track;

    private:
        FakeMediaComposer& m_owner;
        bool m_refuse;
    };

} // namespace

class FakeExportSession final : public ExportSession {
public:
    FakeExportSession(FakeMediaComposer& owner, std::shared_ptr<MutableComposition> composition)
        : m_owner(owner)
        , m_composition(std::move(composition))
    {
    }
    void exportAsynchronously(
        const std::filesystem::path& output, ExportFileType, CompletionHandler<void(Result<void>)> completion) override
    {
        ++m_owner.m_exports;
        if (m_owner.m_failExport)
            return completion(Error::platform("The export failed."));
        auto& composition = dynamic_cast<FakeComposition&>(*m_composition);
        writeBytes(output, composition.track ? composition.track->lines : std::string());
        m_done = true;
        completion(Result<void>());
    }
    void cancelExport() override { }
    float progress() const override { return m_done ? 1.0f : 0.0f; }

private:
    FakeMediaComposer& m_owner;
    std::shared_ptr<MutableComposition> m_composition;
    bool m_done = false;
};

std::shared_ptr<MediaAsset> FakeMediaComposer::makeAsset(const std::filesystem::path& file)
{
    return std::make_shared<FakeAsset>(file);
}

std::shared_ptr<MutableComposition> FakeMediaComposer::makeComposition()
{
    return std::make_shared<FakeComposition>(*this, m_refuseTrack);
}

std::shared_ptr<ExportSession> FakeMediaComposer::makeExportSession(
    const std::shared_ptr<MutableComposition>& composition, ExportPreset)
{
    if (m_refuseExport)
        return nullptr;
    return std::make_shared<FakeExportSession>(*this, composition);
}

} // namespace norla::test
