#pragma once
// LWebDialogControls: the controls of a dialog (web_dialog.h), identified by
// integer ids. A control's value is the request parameter named by its
// decimal id, so a redisplay shows what the user typed. Each writer writes one
// table row; values and labels are HTML-escaped, tooltips are the pages' own
// constants.
//
// Radio buttons are grouped by hundreds: the ids 100..199 share the field
// "rbg1", whose value is the decimal id of the chosen button. A pull-down
// list posts "<index>$<text>"; a page may store "$<text>" to choose by text.

#include <string>
#include <string_view>
#include <vector>

#include "web/panel/web_page.h"
#include "web/text/hash_table.h"

// One tooltip of AddTools.
struct LWebToolTip {
  int id;
  const char* text;
};

class LWebDialogControls : public LWebPage {
 public:
  static constexpr int kNoInvalidControl = -2;

  explicit LWebDialogControls(LWebletForm& form) : LWebPage(form) {}

  // ---- values by control id ----
  std::string GetControlValue(int id) const;
  int GetControlValueInt(int id) const;
  // Copy of the value cut to 259 bytes; the second without leading and
  // trailing blanks (spaces, tabs, CR, LF).
  void GetText(int id, std::string& out) const;
  void GetTextAndTrim(int id, std::string& out) const;
  void SetText(int id, std::string_view text);
  void SetInt(int id, int value);
  // Check boxes: checked when the value is not empty.
  bool GetCheck(int id) const { return !GetControlValue(id).empty(); }
  void SetCheck(int id, bool checked) { SetText(id, checked ? "1" : ""); }
  bool GetRadioCheck(int id) const;
  // Chooses `id` in its group; false does nothing.
  void SetRadioCheck(int id, bool check);
  std::string GetToolTipText(int id) const;

  void AddTools(const LWebToolTip* list, int count);
  // Marks `id` invalid with `message` (the last call wins); shown when the
  // dialog is written again.
  void PopupControlDataInvalid(int id, std::string_view message);
  int InvalidControl() const { return invalidId_; }

  void SetIndent(int indent) { indent_ = indent; }

  // ---- control writers (each writes one table row) ----
  // Opens a row; the invalid control's row comes after a row with its
  // message and is shaded.
  void StartRow(int id, int span);
  void AddInput(int id, std::string_view label, int size);
  void AddInputPassword(int id, std::string_view label, int size);
  void AddInputReadOnly(int id, std::string_view label, int size);
  void AddInputReadOnlyStatic(int id, std::string_view label);
  void AddCheckBox(int id, std::string_view label, bool validate = false, bool disabled = false);
  void AddRadioButton(int id, std::string_view label, bool validate = false, bool disabled = false);
  void AddRadioButtonWithInput(int id, int inputId, std::string_view label, bool validate, int size,
                               std::string_view suffix, bool disabled = false);
  void AddPullDownList(int id, std::string_view label, const std::vector<std::string>& items);
  void AddHiddenField(int id, int number);
  void AddHiddenField(std::string_view name, std::string_view text);
  void AddHyperLinkSpanRightSmall(int id, std::string_view url, std::string_view text,
                                  bool newWindow);
  void AddStatic(std::string_view text);
  void AddVerticalSpace(int lines);
  void AddDivHidden(int id);
  // `title` is the page's own text and goes in as it is.
  void StartGroupBox(std::string_view title);
  void EndGroupBox();

 protected:
  // The index of the pull-down item that `value` selects, -1 for none.
  static int PullDownSelection(std::string_view value, const std::vector<std::string>& items);
  // An input of type `type` with extra attributes `extra` (" readonly").
  void WriteTextInput(int id, std::string_view label, int size, const char* type,
                      std::string_view tooltip, const char* extra);

 private:
  LHashTable tooltips_;  // decimal control id -> tooltip
  int indent_ = 0;
  int invalidId_ = kNoInvalidControl;
  std::string invalidText_;
};
