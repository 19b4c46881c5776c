#include "platform/LazyRecordingBackend.h"

#include "platform/AudioConverter.h"
#include "platform/AudioFileWriter.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/MediaComposition.h"
#include "platform/PlatformVersion.h"
#include "platform/RecordPermission.h"
#include "platform/ScreenCapture.h"
#include "platform/Seams.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    // Removes the stand-ins however the test ends: the other tests of this program install their own seams
    // or none.
    template <class... Seams> struct InstalledSeams {
        ~InstalledSeams() { (Seam<Seams>::install(nullptr), ...); }
    };

    // The stand-ins fail every operation while no module can be loaded, load the module on the first
    // operation that needs it (not before), and then pass everything on: a file written through them is
    // a real AAC file.
    TEST(LazyRecordingBackendTest, LoadsTheModuleOnTheFirstRecordingOperationOnly)
    {
        InstalledSeams<RecordPermission, PlatformVersion, AudioSession, AudioRecorders, ScreenCapture, AudioConverters,
            MediaComposer, AudioFileWriter>
            installed;
        test::TemporaryDirectory temporary;
        AudioFormat format { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
        AudioFileSettings settings { audioFormatMpeg4Aac, 16000.0, 1, 32000 };

        installLazyRecordingBackend({ temporary.path() / "missing.so" });
        EXPECT_FALSE(seam<PlatformVersion>()->isAtLeast(0, 0));
        auto refused = seam<AudioFileWriter>()->openForWriting(temporary.path() / "a.m4a", settings, format);
        ASSERT_FALSE(refused);
        EXPECT_FALSE(refused.error().description().empty());
        EXPECT_FALSE(seam<AudioRecorders>()->makeRecorder(temporary.path() / "b.m4a", settings));
        EXPECT_FALSE(isRecordingBackendLoaded());

        installLazyRecordingBackend({ temporary.path() / "missing.so", NORLA_RECORDING_MODULE });
        EXPECT_FALSE(isRecordingBackendLoaded());
        auto file = temporary.path() / "meeting.m4a";
        auto opened = seam<AudioFileWriter>()->openForWriting(file, settings, format);
        ASSERT_TRUE(opened) << opened.error().description();
        EXPECT_TRUE(isRecordingBackendLoaded());
        auto buffer = AudioPcmBuffer::make(format, 16000);
        ASSERT_TRUE(buffer);
        buffer->setFrameLength(16000);
        EXPECT_TRUE(opened.value()->write(*buffer));
        EXPECT_TRUE(opened.value()->close());
        EXPECT_GT(fs::file_size(file), 0u);
        EXPECT_TRUE(seam<PlatformVersion>()->isAtLeast(0, 0));
    }

} // namespace
} // namespace norla
