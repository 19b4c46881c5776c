#pragma once

#include "platform/AudioFormat.h"

namespace norla {

// The format of captured audio and of raw tracks: 32-bit float, 16000 Hz, one channel, non-interleaved.
// Created once, on first use, and shared by every capture of the process.
const AudioFormat& captureFormat();

} // namespace norla
