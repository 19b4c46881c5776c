#pragma once

#include <filesystem>
#include <vector>

namespace norla {

// Installs the recorder's seams as stand-ins that load the recording module (PulseAudio and FFmpeg) on
// their first call and pass every call on to it, so that the application starts, and a session that never
// records runs, without the audio libraries. The module is looked for in `candidates`, in order, and
// stays loaded for the life of the process. When it cannot be loaded, every recording operation fails
// with the loader's reason, as a missing device would. The file handles and session claims are installed
// with them (see installRecordingBackend).
void installLazyRecordingBackend(std::vector<std::filesystem::path> candidates);

// Whether the module has been loaded.
bool isRecordingBackendLoaded();

} // namespace norla
