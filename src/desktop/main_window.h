#pragma once
// The program's thin window layer: a top-level window with menu, tool bar,
// status bar, tray icon and a saved size and position. Commands from the
// menu, the tool bar, the tray menu and keys arrive at OnCommand.

#include <gtk/gtk.h>

#include <string>
#include <vector>

inline constexpr int kLWindowDefaultWidth = 320;
inline constexpr int kLWindowDefaultHeight = 320;
inline constexpr int kLWindowDefaultX = 160;
inline constexpr int kLWindowDefaultY = 80;

// A menu or tool bar entry: a label ("-" for a separator) and its command.
struct LMenuItem {
  std::string label;
  int command;
  std::string tip;   // tool bar only
  const char* stock; // tool bar only
};

class LMainWindow {
 public:
  LMainWindow();
  virtual ~LMainWindow();
  LMainWindow(const LMainWindow&) = delete;
  LMainWindow& operator=(const LMainWindow&) = delete;

  GtkWindow* Window() const { return GTK_WINDOW(window_); }
  GtkWidget* MenuBar() const { return menuBar_; }
  GtkWidget* ToolBar() const { return toolBar_; }
  GtkWidget* StatusBar() const { return statusBar_; }
  GtkStatusIcon* TrayIcon() const { return tray_; }

  // Builds the window at the saved size and position (section "MainWindow").
  void Create(const std::string& title, int minWidth, int minHeight, const std::string& trayTip);
  void SetBody(GtkWidget* body);
  void AddMenu(const std::string& title, const std::vector<LMenuItem>& items);
  void AddToolBar(const std::vector<LMenuItem>& items);
  void AddKey(guint key, GdkModifierType modifiers, int command);
  void SetStatusText(const std::string& text);
  // A fresh tray menu (built from TrayMenuItems, shown or not).
  GtkWidget* BuildTrayMenu();

  virtual void OnCommand(int command) = 0;
  bool IsShown() const;
  void BringToFront();
  // Saves the size and position and hides the window; the tray stays.
  void HideToTray();
  // Saves the size and position and ends the main loop.
  void CloseWindow();
  void SaveGeometry();

 protected:
  // The window manager's close button.
  virtual void OnCloseRequest() = 0;
  virtual std::vector<LMenuItem> TrayMenuItems() = 0;

 private:
  static gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self);
  static void OnMenuActivate(GtkMenuItem* item, gpointer self);
  static void OnToolClicked(GtkToolButton* item, gpointer self);
  static void OnTrayActivate(GtkStatusIcon*, gpointer self);
  static void OnTrayPopup(GtkStatusIcon*, guint button, guint time, gpointer self);
  static gboolean OnKeyCommand(GtkAccelGroup*, GObject*, guint, GdkModifierType, gpointer self);

  GtkWidget* window_ = nullptr;
  GtkWidget* box_ = nullptr;
  GtkWidget* menuBar_ = nullptr;
  GtkWidget* toolBar_ = nullptr;
  GtkWidget* statusBar_ = nullptr;
  GtkAccelGroup* keys_ = nullptr;
  GtkStatusIcon* tray_ = nullptr;
  bool mainLoopEnded_ = false;
};
