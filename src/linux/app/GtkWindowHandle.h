#pragma once

#include <gtk/gtk.h>

namespace norla {

// A window of the logic's (`Window`) that is shown as a GTK window, so that a sheet can be made
// transient for it.
class GtkWindowHandle {
public:
    virtual GtkWindow* gtkWindow() const = 0;

protected:
    ~GtkWindowHandle() = default;
};

} // namespace norla
