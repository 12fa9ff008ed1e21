#include "desktop/entry_prompt.h"

namespace {

constexpr char kPromptKey[] = "kavrix-entry-prompt";
constexpr char kHandlerKey[] = "kavrix-entry-prompt-handler";
// GtkEntry's own space between the frame and the text.
constexpr int kInnerBorder = 2;

gboolean GSDrawPrompt(GtkWidget* entry, GdkEventExpose* event, gpointer) {
  const char* prompt = LGtkEntryPrompt(entry);
  if (prompt == nullptr || event->window != gtk_entry_get_text_window(GTK_ENTRY(entry)) ||
      gtk_widget_has_focus(entry) || gtk_entry_get_text_length(GTK_ENTRY(entry)) != 0) {
    return FALSE;
  }
  PangoLayout* layout = gtk_widget_create_pango_layout(entry, prompt);
  int width, height, textHeight;
  gdk_drawable_get_size(event->window, &width, &height);
  pango_layout_get_pixel_size(layout, nullptr, &textHeight);
  gdk_draw_layout(event->window, gtk_widget_get_style(entry)->text_gc[GTK_STATE_INSENSITIVE], kInnerBorder,
                  (height - textHeight) / 2, layout);
  g_object_unref(layout);
  return FALSE;
}

}  // namespace

void LGtkEntrySetPrompt(GtkWidget* entry, const char* prompt) {
  g_object_set_data_full(G_OBJECT(entry), kPromptKey, prompt != nullptr ? g_strdup(prompt) : nullptr, g_free);
  if (prompt != nullptr && g_object_get_data(G_OBJECT(entry), kHandlerKey) == nullptr) {
    g_signal_connect_after(entry, "expose-event", G_CALLBACK(GSDrawPrompt), nullptr);
    // Leaving the field must redraw it with the hint.
    g_signal_connect(entry, "focus-out-event", G_CALLBACK(+[](GtkWidget* widget, GdkEvent*, gpointer) -> gboolean {
                       gtk_widget_queue_draw(widget);
                       return FALSE;
                     }),
                     nullptr);
    g_object_set_data(G_OBJECT(entry), kHandlerKey, GINT_TO_POINTER(1));
  }
  gtk_widget_queue_draw(entry);
}

const char* LGtkEntryPrompt(GtkWidget* entry) {
  return static_cast<const char*>(g_object_get_data(G_OBJECT(entry), kPromptKey));
}
