#pragma once
// Modal questions and notices of the control window.

#include <gtk/gtk.h>

#include <string>
#include <utility>
#include <vector>

using LMessageButtons = std::vector<std::pair<std::string, int>>;  // label, response

// Runs a modal box; returns the chosen response (GTK_RESPONSE_DELETE_EVENT
// when it was closed otherwise).
int LMessageBox(GtkWindow* parent, GtkMessageType type, const std::string& title, const std::string& text,
                const LMessageButtons& buttons, int defaultResponse);
// Yes and No (and Cancel when `withCancel`).
int LMessageBoxYesNo(GtkWindow* parent, const std::string& title, const std::string& text, bool withCancel,
                     int defaultResponse);
void LMessageBoxError(GtkWindow* parent, const std::string& title, const std::string& text);
