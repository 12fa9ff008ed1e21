#pragma once
// A grey hint drawn inside an empty text field that does not have the focus
// ("e.g. 204.64.123.42"). GTK 2 entries have no such hint of their own; the
// hint is only drawn, never part of the field's text, so nothing that reads
// the field can mistake it for input.

#include <gtk/gtk.h>

// `prompt` null removes the hint.
void LGtkEntrySetPrompt(GtkWidget* entry, const char* prompt);
// The field's hint, or null.
const char* LGtkEntryPrompt(GtkWidget* entry);
