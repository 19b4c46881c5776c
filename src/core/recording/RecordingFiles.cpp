#include "recording/RecordingFiles.h"

#include "platform/ApplicationSupport.h"
#include "platform/FileHandle.h"
#include "platform/Seams.h"
#include "platform/UuidGenerator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>
#include <vector>

namespace norla {

std::filesystem::path RecordingFiles::recordingsDirectory()
{
    return seam<ApplicationSupport>()->directory() / "recordings";
}

Result<std::filesystem::path> RecordingFiles::createSessionDirectory()
{
    auto name = seam<UuidGenerator>()->uuidString();
    std::transform(
        name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto directory = recordingsDirectory() / name;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error)
        return Error::platform(error.message(), error.value());
    return directory;
}

Result<void> RecordingFiles::synchronize(const std::filesystem::path& fileOrDirectory, FileHandles& fileHandles)
{
    auto handle = fileHandles.openForReading(fileOrDirectory);
    if (!handle)
        return handle.error();
    auto synchronized = handle.value()->synchronize();
    (void)handle.value()->close();
    return synchronized;
}

Result<void> RecordingFiles::removeSessionDirectory(const std::filesystem::path& dir)
{
    std::error_code error;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename() != claimFileName)
            entries.push_back(it->path());
    }
    if (error == std::errc::no_such_file_or_directory)
        return {};
    for (auto& entry : entries) {
        if (!error)
            std::filesystem::remove_all(entry, error);
    }
    if (!error)
        std::filesystem::remove(dir / claimFileName, error);
    if (!error)
        std::filesystem::remove(dir, error);
    if (error)
        return Error::platform(error.message(), error.value());
    return {};
}

std::string RecordingFiles::segmentFileName(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "segment-%03d.m4a", number);
    return name;
}

bool RecordingFiles::isSegmentFileName(std::string_view name)
{
    constexpr std::string_view prefix = "segment-";
    constexpr std::string_view suffix = ".m4a";
    if (name.size() < prefix.size() + 3 + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return false;
    auto digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

} // namespace norla
