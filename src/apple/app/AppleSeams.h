#pragma once

namespace norla {

// Installs the live implementation of every platform seam on Apple's frameworks. Called once, on the main
// thread, as the launch begins (the notification center's delegate must be set before it ends).
void installAppleSeams();

} // namespace norla
