#pragma once
// The Options property sheet: "General" (control panel link, data folder,
// e-mail settings, settings backup and restore, user list export and import,
// start at logon) and "Routing" (the addresses and the probe).

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "desktop/routing_options_page.h"

class LStatusWindow;

inline constexpr char kLOptionsTitle[] = "Options";
inline constexpr char kLFolderMissingText[] =
    "Specified folder path doesn't exists. Please reenter or leave it blank, the default data folder will be "
    "applied.";
inline constexpr char kLConfirmOverwriteTitle[] = "Confirm Settings Overwrite";
inline constexpr char kLConfirmOverwriteText[] =
    "All existing program settings will be overwritten if you continue and restore settings. Are you sure you "
    "want to replace all settings?";
inline constexpr char kLConfirmImportTitle[] = "Confirm User Profile Overwrite";
inline constexpr char kLConfirmImportText[] =
    "All existing user profiles will be overwritten by newly imported user profile. Are you sure you want to "
    "import?";
inline constexpr char kLNotSettingsText[] = "The chosen folder holds no KavrixServer settings. Nothing was restored.";

class LOptionsDialog {
 public:
  LOptionsDialog(GtkWindow* parent, LStatusWindow* status);
  ~LOptionsDialog();
  LOptionsDialog(const LOptionsDialog&) = delete;
  LOptionsDialog& operator=(const LOptionsDialog&) = delete;

  // Modal; true when confirmed. Restored() tells whether the settings were
  // replaced meanwhile (the service must reload them either way).
  bool Run();
  bool Restored() const { return restored_; }

  // The commands of the page with their chosen file or folder, for the
  // buttons and for tests.
  bool SaveSettings(const std::string& folder);
  bool RestoreSettings(const std::string& folder);
  bool ExportUsers(const std::string& file);
  int ImportUsers(const std::string& file);
  // OK's check of the data folder field; false when refused.
  bool StoreDataFolder();

  GtkWidget* dialog;
  GtkWidget* notebook;
  GtkWidget* dataFolder;
  GtkWidget* autoRun;
  // The "Routing" page; its Store() is OK's routing part.
  std::unique_ptr<LRoutingOptionsPage> routing;

 private:
  GtkWidget* GeneralPage();
  std::string Choose(const char* title, GtkFileChooserAction action);
  void Button(GtkWidget* box, const char* label, void (*handler)(GtkButton*, gpointer));

  GtkWindow* parent_;
  LStatusWindow* status_;
  bool restored_ = false;
};
