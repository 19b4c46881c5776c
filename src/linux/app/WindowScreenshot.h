#pragma once

#include <gtk/gtk.h>

#include <filesystem>
#include <string>

namespace norla {

// Renders a window as it is on screen (menu bar and page) into a PNG file. Answers an error text, or
// empty on success.
std::string saveWindowScreenshot(GtkWindow* window, const std::filesystem::path& file);

} // namespace norla
