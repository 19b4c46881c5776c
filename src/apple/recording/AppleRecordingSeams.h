#pragma once

namespace norla {

// Installs the recorder's platform seams on Apple's frameworks (AVFoundation, ScreenCaptureKit), the
// files it writes and the dispatch queues it runs on: shared by the application and norla-rec.
void installAppleRecordingSeams();

} // namespace norla
