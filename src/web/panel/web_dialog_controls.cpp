#include "web/panel/web_dialog_controls.h"

#include "foundation/text_limits.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/text/decimal_text.h"

namespace {

constexpr char kRowEnd[] = "</td></tr>";

std::string IdText(int id) { return std::to_string(id); }

}  // namespace

std::string LWebDialogControls::GetControlValue(int id) const {
  return Form().Params().GetParm(IdText(id));
}

int LWebDialogControls::GetControlValueInt(int id) const {
  return LDecimalToInt(Form().Params().GetParm(IdText(id)));
}

void LWebDialogControls::GetText(int id, std::string& out) const {
  out = LCutText(GetControlValue(id));
}

void LWebDialogControls::GetTextAndTrim(int id, std::string& out) const {
  GetText(id, out);
  constexpr char kBlanks[] = " \t\r\n";
  const std::size_t first = out.find_first_not_of(kBlanks);
  if (first == std::string::npos) {
    out.clear();
    return;
  }
  out = out.substr(first, out.find_last_not_of(kBlanks) - first + 1);
}

void LWebDialogControls::SetText(int id, std::string_view text) {
  Form().Params().SetParm(IdText(id), text);
}

void LWebDialogControls::SetInt(int id, int value) { SetText(id, IdText(value)); }

bool LWebDialogControls::GetRadioCheck(int id) const {
  return Form().Params().GetParm("rbg" + IdText(id / 100)) == IdText(id);
}

void LWebDialogControls::SetRadioCheck(int id, bool check) {
  if (check) Form().Params().SetParm("rbg" + IdText(id / 100), IdText(id));
}

std::string LWebDialogControls::GetToolTipText(int id) const {
  return tooltips_.GetParm(IdText(id));
}

void LWebDialogControls::AddTools(const LWebToolTip* list, int count) {
  for (int i = 0; list != nullptr && i < count; ++i) {
    tooltips_.SetParm(IdText(list[i].id), list[i].text != nullptr ? list[i].text : "");
  }
}

void LWebDialogControls::PopupControlDataInvalid(int id, std::string_view message) {
  invalidId_ = id;
  invalidText_.assign(message);
}

void LWebDialogControls::StartRow(int id, int span) {
  const bool invalid = id == invalidId_;
  if (invalid) {
    wfformat(Form(), "<tr><td colspan=%d><font color=#a00000>%H</font></td></tr>", 6, invalidText_);
  }
  wfformat(Form(), "<tr%s>", invalid ? " bgcolor=#ffe0e0" : "");
  for (int i = 0; i < indent_; ++i) WLSendRaw(Form(), "<td>&nbsp;</td>");
  wfformat(Form(), "<td colspan=%d>", span + 5 - indent_);
}

void LWebDialogControls::WriteTextInput(int id, std::string_view label, int size, const char* type,
                                        std::string_view tooltip, const char* extra) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=%s value=\"%H\" size=%d%s style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%H\">",
           label, id, type, GetControlValue(id), size, extra, tooltip);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddInput(int id, std::string_view label, int size) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=text value=\"%H\" size=%d style=\"font-family: "
           "Arial,sans-serif; font-size: 10pt;\" title=\"%s\">",
           label, id, GetControlValue(id), size, GetToolTipText(id));
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddInputPassword(int id, std::string_view label, int size) {
  WriteTextInput(id, label, size, "password", GetToolTipText(id), "");
}

void LWebDialogControls::AddInputReadOnly(int id, std::string_view label, int size) {
  StartRow(id, 0);
  wfformat(Form(),
           "%H</td><td><input name=%d type=text value=\"%H\" size=%d readonly "
           "style=\"font-family: Arial,sans-serif; font-size: 10pt; "
           "background-color:#CCCCCC;\" title=\"%s\">",
           label, id, GetControlValue(id), size, GetToolTipText(id));
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddInputReadOnlyStatic(int id, std::string_view label) {
  StartRow(id, 0);
  const std::string value = GetControlValue(id);
  wfformat(Form(),
           "%H</td><td style=\"font-family: Arial,sans-serif; font-size: 11pt;\"><input "
           "name=%d type=hidden value=\"%H\">%H",
           label, id, value, value);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddCheckBox(int id, std::string_view label, bool validate, bool disabled) {
  StartRow(id, 1);
  wfformat(Form(), "<input type=checkbox title=\"%H\" name=%d%s%s%s>%H</input></td><td>",
           GetToolTipText(id), id, GetCheck(id) ? " checked" : "",
           validate ? " onclick=validate()" : "", disabled ? " disabled" : "", label);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddRadioButton(int id, std::string_view label, bool validate,
                                        bool disabled) {
  StartRow(id, 1);
  wfformat(Form(),
           "<input type=radio title=\"%H\" name=rbg%d id=rbg%d value=%d%s %s %s>%H</input>"
           "</td><td>",
           GetToolTipText(id), id / 100, id / 100, id, GetRadioCheck(id) ? " checked" : "",
           validate ? "onclick=validate()" : "", disabled ? "disabled" : "", label);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddRadioButtonWithInput(int id, int inputId, std::string_view label,
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

int LWebDialogControls::PullDownSelection(std::string_view value,
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

void LWebDialogControls::AddPullDownList(int id, std::string_view label,
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

void LWebDialogControls::AddHiddenField(int id, int number) {
  StartRow(1, 0);
  wfformat(Form(), "<input name=%d type=hidden value=%d>", id, number);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddHiddenField(std::string_view name, std::string_view text) {
  StartRow(1, 0);
  wfformat(Form(), "<input name=%s type=hidden value=\"%H\">", name, text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddHyperLinkSpanRightSmall(int id, std::string_view url,
                                                    std::string_view text, bool newWindow) {
  StartRow(id, 0);
  wfformat(Form(), "</td><td><font size=-2><a name=%d href=\"%H\" title=\"%H\"%s>%H</a></font>", id,
           url, GetToolTipText(id), newWindow ? " target=t2" : "", text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddStatic(std::string_view text) {
  StartRow(-1, 1);
  wfformat(Form(), "%H", text);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddVerticalSpace(int lines) {
  StartRow(-1, 0);
  wfformat(Form(), "<td height=%d></td>", lines * 16);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::AddDivHidden(int id) {
  StartRow(id, 0);
  wfformat(Form(), "<div id=%d type=hidden></div>", id);
  WLSendRaw(Form(), kRowEnd);
}

void LWebDialogControls::StartGroupBox(std::string_view title) {
  wfformat(Form(), "<tr><td colspan=%d><fieldset><legend>&nbsp;%s&nbsp;</legend><table>",
           5 - indent_, title);
}

void LWebDialogControls::EndGroupBox() { WLSendRaw(Form(), "</table></fieldset></td></tr>"); }
