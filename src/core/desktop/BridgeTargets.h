#pragma once

namespace norla {

class MacShell;
class NativeOAuth;
class PushNotifications;

// Installs the real objects behind the page bridge and the web view host: the meeting recorder (which the
// meeting session uses too), badges, page notifications and the meeting session (the desktop shell), push
// synchronisation and the pending open URL (the push controller), the native sign-in, and the recording scheme handler.
// The composition root calls it once, after installing the platform seams. Without arguments: the shared instances;
// with them, everything but the recorder, which the caller installs.
void installBridgeTargets();
void installBridgeTargets(MacShell& shell, PushNotifications& push, NativeOAuth& oauth);

} // namespace norla
