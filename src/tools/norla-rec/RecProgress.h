#pragma once

#include "platform/MediaComposition.h"
#include "platform/Result.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace norla {

// The progress of norla-rec's long commands, shown while they run (see TerminalProgress).
class RecProgress {
public:
    // Runs `work`, the mixdown of session directory `dir`, showing how much of its raw tracks is mixed.
    static Result<std::filesystem::path> mixdown(
        const std::filesystem::path& dir, const std::function<Result<std::filesystem::path>()>& work);
    // `composer`, whose exports show their progress while they run; `composer` itself when progress is
    // not shown.
    static std::shared_ptr<MediaComposer> composer(std::shared_ptr<MediaComposer> composer);
};

} // namespace norla
