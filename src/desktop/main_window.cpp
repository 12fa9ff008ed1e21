#include "desktop/main_window.h"

#include "foundation/settings_sections.h"

namespace {

// Menu texts mark their key letter with "&"; GTK marks it with "_".
std::string Mnemonic(std::string text) {
  for (char& c : text) {
    if (c == '&') c = '_';
  }
  return text;
}

constexpr char kSection[] = "MainWindow";
constexpr char kCommandKey[] = "kavrix-command";

int CommandOf(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kCommandKey)); }

}  // namespace

LMainWindow::LMainWindow() = default;

LMainWindow::~LMainWindow() {
  if (tray_ != nullptr) g_object_unref(tray_);
  if (window_ != nullptr) gtk_widget_destroy(window_);
}

void LMainWindow::Create(const std::string& title, int minWidth, int minHeight, const std::string& trayTip) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(Window(), title.c_str());
  GdkGeometry minimum{};
  minimum.min_width = minWidth;
  minimum.min_height = minHeight;
  gtk_window_set_geometry_hints(Window(), nullptr, &minimum, GDK_HINT_MIN_SIZE);
  gtk_window_set_default_size(Window(), LSettingGetInt(kSection, "Width", kLWindowDefaultWidth),
                              LSettingGetInt(kSection, "Height", kLWindowDefaultHeight));
  gtk_window_move(Window(), LSettingGetInt(kSection, "X", kLWindowDefaultX),
                  LSettingGetInt(kSection, "Y", kLWindowDefaultY));
  if (LSettingGetBool(kSection, "Maximized", false)) gtk_window_maximize(Window());
  gtk_window_set_icon_name(Window(), "network-server");
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);

  keys_ = gtk_accel_group_new();
  gtk_window_add_accel_group(Window(), keys_);
  g_object_unref(keys_);

  box_ = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window_), box_);
  menuBar_ = gtk_menu_bar_new();
  toolBar_ = gtk_toolbar_new();
  gtk_toolbar_set_style(GTK_TOOLBAR(toolBar_), GTK_TOOLBAR_BOTH);
  statusBar_ = gtk_statusbar_new();
  gtk_box_pack_start(GTK_BOX(box_), menuBar_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box_), toolBar_, FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(box_), statusBar_, FALSE, FALSE, 0);

  tray_ = gtk_status_icon_new_from_icon_name("network-server");
  gtk_status_icon_set_tooltip(tray_, trayTip.c_str());
  g_signal_connect(tray_, "activate", G_CALLBACK(OnTrayActivate), this);
  g_signal_connect(tray_, "popup-menu", G_CALLBACK(OnTrayPopup), this);
}

void LMainWindow::SetBody(GtkWidget* body) { gtk_box_pack_start(GTK_BOX(box_), body, TRUE, TRUE, 0); }

void LMainWindow::AddMenu(const std::string& title, const std::vector<LMenuItem>& items) {
  GtkWidget* menu = gtk_menu_new();
  for (const LMenuItem& item : items) {
    GtkWidget* entry = item.label == "-" ? gtk_separator_menu_item_new()
                                         : gtk_menu_item_new_with_mnemonic(Mnemonic(item.label).c_str());
    g_object_set_data(G_OBJECT(entry), kCommandKey, GINT_TO_POINTER(item.command));
    if (item.label != "-") g_signal_connect(entry, "activate", G_CALLBACK(OnMenuActivate), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
  }
  GtkWidget* top = gtk_menu_item_new_with_mnemonic(Mnemonic(title).c_str());
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(menuBar_), top);
}

void LMainWindow::AddToolBar(const std::vector<LMenuItem>& items) {
  for (const LMenuItem& item : items) {
    GtkToolItem* button = gtk_tool_button_new_from_stock(item.stock);
    gtk_tool_button_set_label(GTK_TOOL_BUTTON(button), item.label.c_str());
    gtk_tool_item_set_tooltip_text(button, item.tip.c_str());
    g_object_set_data(G_OBJECT(button), kCommandKey, GINT_TO_POINTER(item.command));
    g_signal_connect(button, "clicked", G_CALLBACK(OnToolClicked), this);
    gtk_toolbar_insert(GTK_TOOLBAR(toolBar_), button, -1);
  }
}

void LMainWindow::AddKey(guint key, GdkModifierType modifiers, int command) {
  GClosure* closure = g_cclosure_new(G_CALLBACK(OnKeyCommand), this, nullptr);
  g_object_set_data(G_OBJECT(window_), (std::string(kCommandKey) + std::to_string(key)).c_str(),
                    GINT_TO_POINTER(command));
  gtk_accel_group_connect(keys_, key, modifiers, GTK_ACCEL_VISIBLE, closure);
}

void LMainWindow::SetStatusText(const std::string& text) {
  GtkStatusbar* bar = GTK_STATUSBAR(statusBar_);
  gtk_statusbar_push(bar, gtk_statusbar_get_context_id(bar, "product"), text.c_str());
}

GtkWidget* LMainWindow::BuildTrayMenu() {
  GtkWidget* menu = gtk_menu_new();
  for (const LMenuItem& item : TrayMenuItems()) {
    GtkWidget* entry = item.label == "-" ? gtk_separator_menu_item_new() : gtk_menu_item_new_with_label(item.label.c_str());
    g_object_set_data(G_OBJECT(entry), kCommandKey, GINT_TO_POINTER(item.command));
    if (item.label != "-") g_signal_connect(entry, "activate", G_CALLBACK(OnMenuActivate), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
  }
  gtk_widget_show_all(menu);
  return menu;
}

bool LMainWindow::IsShown() const { return window_ != nullptr && gtk_widget_get_visible(window_); }

void LMainWindow::BringToFront() {
  gtk_widget_show_all(window_);
  gtk_window_present(Window());
}

void LMainWindow::SaveGeometry() {
  if (!IsShown()) return;
  int width, height, x, y;
  gtk_window_get_size(Window(), &width, &height);
  gtk_window_get_position(Window(), &x, &y);
  (void)LSettingSetInt(kSection, "Width", width);
  (void)LSettingSetInt(kSection, "Height", height);
  (void)LSettingSetInt(kSection, "X", x);
  (void)LSettingSetInt(kSection, "Y", y);
}

void LMainWindow::HideToTray() {
  SaveGeometry();
  gtk_widget_hide(window_);
}

void LMainWindow::CloseWindow() {
  SaveGeometry();
  gtk_widget_hide(window_);
  if (!mainLoopEnded_ && gtk_main_level() > 0) {
    mainLoopEnded_ = true;
    gtk_main_quit();
  }
}

gboolean LMainWindow::OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self) {
  static_cast<LMainWindow*>(self)->OnCloseRequest();
  return TRUE;
}

void LMainWindow::OnMenuActivate(GtkMenuItem* item, gpointer self) {
  static_cast<LMainWindow*>(self)->OnCommand(CommandOf(item));
}

void LMainWindow::OnToolClicked(GtkToolButton* item, gpointer self) {
  static_cast<LMainWindow*>(self)->OnCommand(CommandOf(item));
}

void LMainWindow::OnTrayActivate(GtkStatusIcon*, gpointer self) { static_cast<LMainWindow*>(self)->BringToFront(); }

void LMainWindow::OnTrayPopup(GtkStatusIcon* icon, guint button, guint time, gpointer self) {
  auto* window = static_cast<LMainWindow*>(self);
  if (window->IsShown()) gtk_window_present(window->Window());
  GtkWidget* menu = window->BuildTrayMenu();
  g_signal_connect(menu, "selection-done", G_CALLBACK(gtk_widget_destroy), nullptr);
  gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, gtk_status_icon_position_menu, icon, button, time);
}

gboolean LMainWindow::OnKeyCommand(GtkAccelGroup*, GObject*, guint key, GdkModifierType, gpointer self) {
  auto* window = static_cast<LMainWindow*>(self);
  window->OnCommand(GPOINTER_TO_INT(
      g_object_get_data(G_OBJECT(window->window_), (std::string(kCommandKey) + std::to_string(key)).c_str())));
  return TRUE;
}
