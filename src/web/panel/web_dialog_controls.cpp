// The control writers of LWebDialog: one table row per control. Values and
// labels are HTML-escaped; tooltips are the pages' own constants.

#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/web_dialog.h"
#include "web/text/decimal_text.h"

namespace {

constexpr char kRowEnd[] = "</td></tr>";

}  // namespace

void LWebDialog::WriteTextInput(int id, std::string_view label, int size, const char* type,
                                std::string_view tooltip, const char* extra) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=%s value=\"%H\" size=%d%s style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%H\">",
           label, id, type, GetControlValue(id), size, extra, tooltip);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddInput(int id, std::string_view label, int size) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=text value=\"%H\" size=%d style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%s\">",
           label, id, GetControlValue(id), size, GetToolTipText(id));
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddInputPassword(int id, std::string_view label, int size) {
  WriteTextInput(id, label, size, "password", GetToolTipText(id), "");
}

void LWebDialog::AddInputReadOnly(int id, std::string_view label, int size) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=text value=\"%H\" size=%d readonly "
           "style=\"font-family: Arial,sans-serif; font-size: 10pt; "
           "background-color:#CCCCCC;\" title=\"%s\">",
           label, id, GetControlValue(id), size, GetToolTipText(id));
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddInputReadOnlyStatic(int id, std::string_view label) {
  StartRow(id, 0);
  const std::string value = GetControlValue(id);
  wfformat(Form(),
           "%H</td><td style=\"font-family: Arial,sans-serif; font-size: 11pt;\"><input "
           "name=%d type=hidden value=\"%H\">%H",
           label, id, value, value);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddCheckBox(int id, std::string_view label, bool validate, bool disabled) {
  StartRow(id, 1);
  wfformat(Form(), "<input type=checkbox title=\"%H\" name=%d%s%s%s>%H</input></td><td>",
           GetToolTipText(id), id, GetCheck(id) ? " checked" : "",
           validate ? " onclick=validate()" : "", disabled ? " disabled" : "", label);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddRadioButton(int id, std::string_view label, bool validate, bool disabled) {
  StartRow(id, 1);
  wfformat(Form(),
           "<input type=radio title=\"%H\" name=rbg%d id=rbg%d value=%d%s %s %s>%H</input>"
           "</td><td>",
           GetToolTipText(id), id / 100, id / 100, id, GetRadioCheck(id) ? " checked" : "",
           validate ? "onclick=validate()" : "", disabled ? "disabled" : "", label);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddRadioButtonWithInput(int id, int inputId, std::string_view label,
                                         bool validate, int size, std::string_view suffix,
                                         bool disabled) {
  StartRow(id, 1);
  const char* disabledText = disabled ? "disabled" : "";
  wfformat(Form(),
           "<input type=radio title=\"%s\" name=rbg%d id=rbg%d value=%d%s %s %s>%H</input>"
           "&nbsp;<input name=%d type=text value=\"%H\" size=%d style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%H\" %s>&nbsp;%H</input></td><td>",
           GetToolTipText(id), id / 100, id / 100, id, GetRadioCheck(id) ? " checked" : "",
           validate ? "onclick=validate()" : "", disabledText, label, inputId,
           GetControlValue(inputId), size, GetToolTipText(inputId), disabledText, suffix);
  WLSendRaw(Form(), kRowEnd);
}

int LWebDialog::PullDownSelection(std::string_view value,
                                  const std::vector<std::string>& items) {
  if (!value.empty() && value.front() == '$') {
    const std::string_view text = value.substr(1);
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == text) return static_cast<int>(i);
    }
    return -1;
  }
  return LDecimalToInt(value);
}

void LWebDialog::AddPullDownList(int id, std::string_view label,
                                 const std::vector<std::string>& items) {
  StartRow(id, 0);
  wfformat(Form(), "%H</td><td><select name=%d title=\"%H\">", label, id, GetToolTipText(id));
  const int selected = PullDownSelection(GetControlValue(id), items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int index = static_cast<int>(i);
    wfformat(Form(), "<option value=\"%d$%H\"%s>%H</option>", index, items[i],
             index == selected ? " selected" : "", items[i]);
  }
  WLSendRaw(Form(), "</select>");
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddHiddenField(int id, int number) {
  StartRow(1, 0);
  wfformat(Form(), "<input name=%d type=hidden value=%d>", id, number);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddHiddenField(std::string_view name, std::string_view text) {
  StartRow(1, 0);
  wfformat(Form(), "<input name=%s type=hidden value=\"%H\">", name, text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddHyperLinkSpanRightSmall(int id, std::string_view url, std::string_view text,
                                            bool newWindow) {
  StartRow(id, 0);
  wfformat(Form(), "</td><td><font size=-2><a name=%d href=\"%H\" title=\"%H\"%s>%H</a></font>",
           id, url, GetToolTipText(id), newWindow ? " target=t2" : "", text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddStatic(std::string_view text) {
  StartRow(-1, 1);
  wfformat(Form(), "%H", text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddVerticalSpace(int lines) {
  StartRow(-1, 0);
  wfformat(Form(), "<td height=%d></td>", lines * 16);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::AddDivHidden(int id) {
  StartRow(id, 0);
  wfformat(Form(), "<div id=%d type=hidden></div>", id);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialog::StartGroupBox(std::string_view title) {
  wfformat(Form(), "<tr><td colspan=%d><fieldset><legend>&nbsp;%s&nbsp;</legend><table>",
           5 - indent_, title);
}

void LWebDialog::EndGroupBox() { WLSendRaw(Form(), "</table></fieldset></td></tr>"); }
