#include "desktop/options_dialog.h"

#include <filesystem>

#include "desktop/desktop_entry.h"
#include "desktop/desktop_opener.h"
#include "desktop/email_settings_dialog.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop/control_panel_address.h"
#include "desktop/message_box.h"
#include "desktop/product_title.h"
#include "desktop/settings_backup.h"
#include "desktop/user_list_import.h"
#include "foundation/settings_sections.h"
#include "model/core_data.h"
#include "model/user_list_csv.h"

namespace {

// The panel link opens through the same opener as the tool bar's "Open".
void OpenLink(GtkLinkButton*, const gchar* address, gpointer) { (void)LDesktopOpen(address); }

LOptionsDialog& Self(gpointer data) { return *static_cast<LOptionsDialog*>(data); }

// The shared "Archive" folder, made when missing so that the field that
// shows it names an existing folder.
std::string DefaultDataFolder() {
  const std::string folder = LSettingsGetSharedFolder() + "/Archive";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder;
}

constexpr int kRoutingPageIndex = 1;

}  // namespace

LOptionsDialog::LOptionsDialog(GtkWindow* parent, LStatusWindow* status) : parent_(parent), status_(status) {
  dialog = gtk_dialog_new_with_buttons(kLOptionsTitle, parent, GTK_DIALOG_MODAL, GTK_STOCK_CANCEL,
                                       GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  notebook = gtk_notebook_new();
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook), GeneralPage(), gtk_label_new("General"));
  routing = std::make_unique<LRoutingOptionsPage>(dialog, status);
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook), routing->page, gtk_label_new("Routing"));
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), notebook, TRUE, TRUE, 4);
  gtk_widget_show_all(dialog);
}

LOptionsDialog::~LOptionsDialog() { gtk_widget_destroy(dialog); }

void LOptionsDialog::Button(GtkWidget* box, const char* label, void (*handler)(GtkButton*, gpointer)) {
  GtkWidget* button = gtk_button_new_with_label(label);
  g_signal_connect(button, "clicked", G_CALLBACK(handler), this);
  gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 2);
}

GtkWidget* LOptionsDialog::GeneralPage() {
  GtkWidget* page = gtk_vbox_new(FALSE, 4);
  gtk_container_set_border_width(GTK_CONTAINER(page), 6);
  const std::string address = LControlPanelAddress();
  gtk_link_button_set_uri_hook(OpenLink, nullptr, nullptr);
  gtk_box_pack_start(GTK_BOX(page), gtk_link_button_new(address.c_str()), FALSE, FALSE, 2);

  GtkWidget* row = gtk_hbox_new(FALSE, 4);
  gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Data folder"), FALSE, FALSE, 2);
  dataFolder = gtk_entry_new();
  const std::string folder = LSettingGetString("Settings", "SystemArchiveFolder");
  gtk_entry_set_text(GTK_ENTRY(dataFolder), folder.empty() ? DefaultDataFolder().c_str() : folder.c_str());
  gtk_box_pack_start(GTK_BOX(row), dataFolder, TRUE, TRUE, 2);
  Button(row, "Browse...", [](GtkButton*, gpointer self) {
    const std::string chosen = Self(self).Choose("Select a Folder", GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
    gtk_entry_set_text(GTK_ENTRY(Self(self).dataFolder), chosen.empty() ? DefaultDataFolder().c_str() : chosen.c_str());
  });
  gtk_box_pack_start(GTK_BOX(page), row, FALSE, FALSE, 2);

  Button(page, "E-mail Settings...", [](GtkButton*, gpointer self) {
    LEmailSendSettingsDlg email(GTK_WINDOW(Self(self).dialog), Self(self).status_);
    (void)email.Run();
  });
  Button(page, "Save Settings...", [](GtkButton*, gpointer self) {
    const std::string target = Self(self).Choose("Save Settings", GTK_FILE_CHOOSER_ACTION_CREATE_FOLDER);
    if (!target.empty()) (void)Self(self).SaveSettings(target);
  });
  Button(page, "Restore Settings...", [](GtkButton*, gpointer self) {
    if (LMessageBoxYesNo(GTK_WINDOW(Self(self).dialog), kLConfirmOverwriteTitle, kLConfirmOverwriteText, false,
                         GTK_RESPONSE_NO) != GTK_RESPONSE_YES) {
      return;
    }
    const std::string source = Self(self).Choose("Restore Settings", GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
    if (!source.empty()) (void)Self(self).RestoreSettings(source);
  });
  Button(page, "Export User List...", [](GtkButton*, gpointer self) {
    const std::string file = Self(self).Choose("Export User Profile", GTK_FILE_CHOOSER_ACTION_SAVE);
    if (!file.empty()) (void)Self(self).ExportUsers(file);
  });
  Button(page, "Import User List...", [](GtkButton*, gpointer self) {
    if (LMessageBoxYesNo(GTK_WINDOW(Self(self).dialog), kLConfirmImportTitle, kLConfirmImportText, false,
                         GTK_RESPONSE_NO) != GTK_RESPONSE_YES) {
      return;
    }
    const std::string file = Self(self).Choose("Import User Profile", GTK_FILE_CHOOSER_ACTION_OPEN);
    if (!file.empty()) (void)Self(self).ImportUsers(file);
  });
  autoRun = gtk_check_button_new_with_label("Start KavrixServer when I log on");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(autoRun), LDesktopAutoRunRegistered() ? TRUE : FALSE);
  gtk_box_pack_start(GTK_BOX(page), autoRun, FALSE, FALSE, 2);
  return page;
}

std::string LOptionsDialog::Choose(const char* title, GtkFileChooserAction action) {
  const bool save = action == GTK_FILE_CHOOSER_ACTION_SAVE || action == GTK_FILE_CHOOSER_ACTION_CREATE_FOLDER;
  GtkWidget* chooser = gtk_file_chooser_dialog_new(title, GTK_WINDOW(dialog), action, GTK_STOCK_CANCEL,
                                                   GTK_RESPONSE_CANCEL, save ? GTK_STOCK_SAVE : GTK_STOCK_OPEN,
                                                   GTK_RESPONSE_ACCEPT, nullptr);
  if (action == GTK_FILE_CHOOSER_ACTION_SAVE || action == GTK_FILE_CHOOSER_ACTION_OPEN) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, "Comma Separated File (.CSV)");
    gtk_file_filter_add_pattern(filter, "*.csv");
    gtk_file_filter_add_pattern(filter, "*.CSV");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
  }
  std::string chosen;
  if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    if (name != nullptr) chosen = name;
    g_free(name);
  }
  gtk_widget_destroy(chooser);
  return chosen;
}

bool LOptionsDialog::SaveSettings(const std::string& folder) {
  if (LSettingsBackup(LSettingsGetSharedFolder(), folder)) return true;
  LMessageBoxError(GTK_WINDOW(dialog), "Save Settings", "The settings could not be saved to \"" + folder + "\".");
  return false;
}

bool LOptionsDialog::RestoreSettings(const std::string& folder) {
  switch (LSettingsRestore(folder, LSettingsGetSharedFolder())) {
    case LSettingsRestoreResult::kDone:
      restored_ = true;
      return true;
    case LSettingsRestoreResult::kNotSettings:
      LMessageBoxError(GTK_WINDOW(dialog), "Restore Settings", kLNotSettingsText);
      return false;
    case LSettingsRestoreResult::kFailed:
      LMessageBoxError(GTK_WINDOW(dialog), "Restore Settings",
                       "The settings could not be restored; they are unchanged.");
      return false;
  }
  return false;
}

bool LOptionsDialog::ExportUsers(const std::string& file) {
  if (KXExportUserList(file)) return true;
  LMessageBoxError(GTK_WINDOW(dialog), "Export User Profile", "The user list could not be written to \"" + file + "\".");
  return false;
}

int LOptionsDialog::ImportUsers(const std::string& file) {
  const LUserListImportReport report = LDesktopImportUserList(file);
  if (!report.readable) {
    LMessageBoxError(GTK_WINDOW(dialog), "Import User Profile", "The file \"" + file + "\" could not be read.");
    return -1;
  }
  if (!report.refused.empty()) {
    std::string text = std::to_string(report.stored) + " users imported. These rows were refused:";
    for (const std::string& line : report.refused) text += "\n" + line;
    LMessageBoxError(GTK_WINDOW(dialog), "Import User Profile", text);
  }
  return report.stored;
}

bool LOptionsDialog::StoreDataFolder() {
  const std::string folder = gtk_entry_get_text(GTK_ENTRY(dataFolder));
  if (!folder.empty() && !std::filesystem::is_directory(folder)) {
    LMessageBoxError(GTK_WINDOW(dialog), "KavrixServer", kLFolderMissingText);
    return false;
  }
  return LSettingSetString("Settings", "SystemArchiveFolder", folder.empty() ? DefaultDataFolder() : folder);
}

bool LOptionsDialog::Run() {
  bool confirmed = false;
  while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
    // Every field is checked before anything is stored: a refusal on either
    // page leaves all settings as they were.
    std::string refusal;
    if (routing->Refusal(refusal)) {
      gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), kRoutingPageIndex);
      LMessageBoxError(GTK_WINDOW(dialog), kLProductTitle, refusal);
      continue;
    }
    if (!StoreDataFolder() || !routing->Store()) continue;
    const bool wanted = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(autoRun)) != FALSE;
    if (wanted != LDesktopAutoRunRegistered() && !LDesktopSetAutoRun(wanted)) {
      LMessageBoxError(GTK_WINDOW(dialog), "KavrixServer", "The start at logon could not be changed.");
    }
    confirmed = true;
    break;
  }
  return confirmed;
}
