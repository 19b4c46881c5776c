#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/MediaComposition.h"
#include "platform/Result.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace norla {

// The progress of norla-rec's long commands, shown while they run (see TerminalProgress).
class RecProgress {
public:
    // Runs `work`, the mixdown of session directory `dir` through the writer it is given (`writer`, or one
    // that counts what passes through it to `writer`), showing how much of its raw tracks is mixed.
    static Result<std::filesystem::path> mixdown(const std::filesystem::path& dir,
        const std::shared_ptr<AudioFileWriter>& writer,
        const std::function<Result<std::filesystem::path>(AudioFileWriter&)>& work);
    // `composer`, whose exports show their progress while they run; `composer` itself when progress is
    // not shown.
    static std::shared_ptr<MediaComposer> composer(std::shared_ptr<MediaComposer> composer);
};

} // namespace norla
