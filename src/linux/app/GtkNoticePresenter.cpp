#include "app/GtkNoticePresenter.h"

namespace norla {

void GtkNoticePresenter::showNotice(const std::string& title, const std::string& message)
{
    GtkWindow* parent = gtk_application_get_active_window(m_application);
    if (!parent)
        return;
    // GTK 4.8 has no GtkAlertDialog yet. The dialog is a toplevel owned by GTK until it is destroyed.
    GtkWidget* dialog
        = gtk_message_dialog_new(parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
            GTK_MESSAGE_INFO, GTK_BUTTONS_NONE, "%s", title.c_str());
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", message.c_str());
    gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", GTK_RESPONSE_OK);
    g_signal_connect(dialog, "response", G_CALLBACK(gtk_window_destroy), nullptr);
    gtk_window_present(GTK_WINDOW(dialog));
}

} // namespace norla
