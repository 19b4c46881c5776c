#include "platform/LazyRecordingBackend.h"

#include "platform/RecordingBackend.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>
#include <string>

namespace norla {

namespace {

    // Loads the module once, on the first thread that needs it; every later caller sees the same outcome.
    class ModuleLoader {
    public:
        explicit ModuleLoader(std::vector<std::filesystem::path> candidates)
            : m_candidates(std::move(candidates))
        {
        }

        // The module's backend, or null with `failure()` telling why.
        const RecordingBackend* backend()
        {
            std::call_once(m_once, [this] { load(); });
            return m_backend;
        }
        const std::string& failure() const { return m_failure; }

        static std::atomic<bool>& loaded()
        {
            static std::atomic<bool> flag { false };
            return flag;
        }

    private:
        void load()
        {
            m_failure = "The recording module was not found.";
            for (const auto& candidate : m_candidates) {
                std::error_code error;
                if (!std::filesystem::exists(candidate, error))
                    continue;
                // Never closed: the objects it makes live as long as the process.
                void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
                if (!module) {
                    const char* reason = dlerror();
                    m_failure = reason ? reason : "The recording module could not be loaded.";
                    return;
                }
                auto entry = reinterpret_cast<RecordingBackendEntry>(dlsym(module, recordingBackendEntryName));
                m_backend = entry ? entry(Seam<SystemLog>::find()) : nullptr;
                if (!m_backend) {
                    m_failure = "The recording module has no recording backend.";
                    return;
                }
                m_failure.clear();
                loaded() = true;
                return;
            }
        }

        std::vector<std::filesystem::path> m_candidates;
        std::once_flag m_once;
        const RecordingBackend* m_backend = nullptr;
        std::string m_failure;
    };

    class Lazy {
    public:
        explicit Lazy(std::shared_ptr<ModuleLoader> loader)
            : m_loader(std::move(loader))
        {
        }

    protected:
        const RecordingBackend* backend() const { return m_loader->backend(); }
        Error failure() const { return Error::platform(m_loader->failure()); }

    private:
        std::shared_ptr<ModuleLoader> m_loader;
    };

    class LazyRecordPermission final : public RecordPermission, Lazy {
    public:
        using Lazy::Lazy;
        void requestRecordPermission(CompletionHandler<void(bool)> completion) override
        {
            if (auto* live = backend())
                return live->recordPermission->requestRecordPermission(std::move(completion));
            completion(false);
        }
    };

    class LazyPlatformVersion final : public PlatformVersion, Lazy {
    public:
        using Lazy::Lazy;
        bool isAtLeast(int major, int minor) const override
        {
            auto* live = backend();
            return live && live->platformVersion->isAtLeast(major, minor);
        }
    };

    class LazyAudioSession final : public AudioSession, Lazy {
    public:
        using Lazy::Lazy;
        Result<void> setCategory(AudioSessionCategory category, AudioSessionMode mode, std::uint32_t options) override
        {
            auto* live = backend();
            return live ? live->audioSession->setCategory(category, mode, options) : Result<void>(failure());
        }
        Result<void> setActive(bool active, std::uint32_t options) override
        {
            auto* live = backend();
            return live ? live->audioSession->setActive(active, options) : Result<void>(failure());
        }
    };

    class LazyAudioRecorders final : public AudioRecorders, Lazy {
    public:
        using Lazy::Lazy;
        Result<std::unique_ptr<AudioRecorder>> makeRecorder(
            const std::filesystem::path& file, const AudioFileSettings& settings) override
        {
            if (auto* live = backend())
                return live->audioRecorders->makeRecorder(file, settings);
            return failure();
        }
    };

    class LazyScreenCapture final : public ScreenCapture, Lazy {
    public:
        using Lazy::Lazy;
        void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override
        {
            if (auto* live = backend())
                return live->screenCapture->getShareableContent(std::move(completion));
            completion(failure());
        }
        std::shared_ptr<CaptureStream> makeStream(const ContentFilter& filter, const StreamConfiguration& configuration,
            std::weak_ptr<StreamDelegate> delegate) override
        {
            auto* live = backend();
            return live ? live->screenCapture->makeStream(filter, configuration, std::move(delegate)) : nullptr;
        }
    };

    class LazyAudioConverters final : public AudioConverters, Lazy {
    public:
        using Lazy::Lazy;
        std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override
        {
            auto* live = backend();
            return live ? live->audioConverters->makeConverter(from, to) : nullptr;
        }
    };

    class LazyMediaComposer final : public MediaComposer, Lazy {
    public:
        using Lazy::Lazy;
        std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override
        {
            auto* live = backend();
            return live ? live->mediaComposer->makeAsset(file) : nullptr;
        }
        std::shared_ptr<MutableComposition> makeComposition() override
        {
            auto* live = backend();
            return live ? live->mediaComposer->makeComposition() : nullptr;
        }
        std::shared_ptr<ExportSession> makeExportSession(
            const std::shared_ptr<MutableComposition>& composition, ExportPreset preset) override
        {
            auto* live = backend();
            return live ? live->mediaComposer->makeExportSession(composition, preset) : nullptr;
        }
    };

    class LazyAudioFileWriter final : public AudioFileWriter, Lazy {
    public:
        using Lazy::Lazy;
        Result<std::unique_ptr<AudioFile>> openForWriting(const std::filesystem::path& file,
            const AudioFileSettings& settings, const AudioFormat& processingFormat) override
        {
            if (auto* live = backend())
                return live->audioFileWriter->openForWriting(file, settings, processingFormat);
            return failure();
        }
    };

} // namespace

void installLazyRecordingBackend(std::vector<std::filesystem::path> candidates)
{
    auto loader = std::make_shared<ModuleLoader>(std::move(candidates));
    installRecordingBackend({
        std::make_shared<LazyRecordPermission>(loader),
        std::make_shared<LazyPlatformVersion>(loader),
        std::make_shared<LazyAudioSession>(loader),
        std::make_shared<LazyAudioRecorders>(loader),
        std::make_shared<LazyScreenCapture>(loader),
        std::make_shared<LazyAudioConverters>(loader),
        std::make_shared<LazyMediaComposer>(loader),
        std::make_shared<LazyAudioFileWriter>(loader),
    });
}

bool isRecordingBackendLoaded() { return ModuleLoader::loaded(); }

} // namespace norla
