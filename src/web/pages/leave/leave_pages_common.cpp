#include "web/pages/leave/leave_pages_common.h"

#include <algorithm>

#include "foundation/settings_parse.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_send.h"
#include "web/panel/html_list.h"
#include "web/panel/kx_web_page.h"

bool KXMayViewUser(LKXUser& viewer, std::string_view email) {
  if (KXSameName(viewer.GetEmail(), email)) return true;
  return KXMayEditLeaveOf(viewer, email);
}

bool KXMayEditLeaveOf(LKXUser& viewer, std::string_view email) {
  if (!KXUserExists(email)) return false;
  return viewer.IsAdministrator() || viewer.IsAccountant() || KXIsManagerOf(viewer, email);
}

std::string LLeaveYearOr(std::string_view year) {
  return KXIsYearText(year) ? std::string(year) : KXCurrentYearText();
}

void WLWriteLeaveDisabled(LWebletForm& form) {
  wfformat(form, "<p>%s</p><br/>", kLLeaveDisabledText);
  WLSendRaw(form,
            "<input type=button value=\"  Go Back  \" onclick=\"history.back()\" "
            "style=\"font-family: Arial,sans-serif; font-size: 10pt;\">");
}

const char* LLeaveStatusHtml(int status) {
  if (status > 0) return "<small>Approved</small>";
  if (status < 0) return "<small>Disapproved</small>";
  return "<small>Pending</small>";
}

namespace {

}  // namespace

bool LKXUserNames::Find(std::string_view email, std::string& name) {
  if (!loaded_) {
    loaded_ = true;
    for (LKXUserListIterator it(gKXUsersList); it.Next();) {
      names_.emplace_back(LSettingsLowerCase(it.Get().GetEmail()), it.Get().GetName());
    }
    // The first record of an address wins, as in KXGetUser.
    std::stable_sort(names_.begin(), names_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  const std::string key = LSettingsLowerCase(email);
  const auto found = std::lower_bound(names_.begin(), names_.end(), key,
                                      [](const auto& entry, const std::string& k) { return entry.first < k; });
  if (found == names_.end() || found->first != key) return false;
  name = found->second;
  return true;
}

std::string LLeaveAuthorHtml(const std::string& author, LKXUserNames& names) {
  if (author.empty()) return "&nbsp;";
  std::string name;
  if (names.Find(author, name)) return LHtmlFormatChecked("%H", name);
  return LHtmlFormatChecked("%H", author);
}

std::string LLeaveTypeSelectHtml(int row, const std::vector<std::string>& types, std::string_view current) {
  std::string html = LHtmlFormatChecked("<select name=selecttype%d>", row);
  bool found = false;
  for (std::size_t i = 0; i < types.size(); ++i) {
    const bool selected = !found && KXSameName(types[i], current);
    found = found || selected;
    html += LHtmlFormatChecked("<option value=\"%d\"%s>%H</option>", static_cast<int>(i),
                               selected ? " selected" : "", types[i]);
  }
  if (!found) html += LHtmlFormatChecked("<option value=\"-1\" selected>%H</option>", current);
  return html + "</select>";
}

void LAddLeaveEditCells(LHtmlListRow& row, int number, const LKXLeaveRecord& record, int days,
                        const std::vector<std::string>& types) {
  row.AddCell(LHtmlFormatChecked("<input type=checkbox name=\"check%d\" value=\"checked\" onclick=validate()>",
                                 number),
              "");
  row.AddCellPrintFWithOrder(record.start, "%H<input type=hidden name=inputstartdate%d value=\"%H\">",
                             record.start, number, record.start);
  row.AddCellPrintFWithOrder(record.end, "%H<input type=hidden name=inputenddate%d value=\"%H\">", record.end,
                             number, record.end);
  row.AddCellPrintFWithOrder(days, "%d", days);
  row.AddCell(LLeaveTypeSelectHtml(number, types, record.type), record.type);
  row.AddCellPrintFWithOrder(record.reason, "<input type=text name=inputreason%d size=60 value=\"%H\">", number,
                             record.reason);
}

void LAddLeaveTickScript(LKXWebPage& page) {
  page.AddJScriptFunction(
      "function leaveBoxes(){var all=document.getElementsByTagName(\"input\"),boxes=[];"
      "for(var i=0;i<all.length;i++){if(all[i].type==\"checkbox\"&&/^check[0-9]+$/.test(all[i].name))"
      "boxes.push(all[i]);}return boxes;}\r\n"
      "function validate(){var boxes=leaveBoxes(),ticked=false;"
      "for(var i=0;i<boxes.length;i++){if(boxes[i].checked)ticked=true;}"
      "var ids=[\"submit_delete\",\"submit_approve\",\"submit_disapprove\"];"
      "for(var j=0;j<ids.length;j++){var b=document.getElementById(ids[j]);if(b)b.disabled=!ticked;}}\r\n"
      "function checkAll(box){var boxes=leaveBoxes();"
      "for(var i=0;i<boxes.length;i++)boxes[i].checked=box.checked;validate();}\r\n");
}

void WLWriteLeaveButtons(LWebletForm& form) {
  constexpr char kStyle[] = "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"";
  wfformat(form,
           "<p align=center><input type=submit name=submit id=submit_delete value=\"%s\" %s>&nbsp;"
           "<input type=submit name=submit value=\"%s\" %s>&nbsp;"
           "<input type=submit name=submit value=\"%s\" %s></p>"
           "<p align=center><input type=submit name=submit id=submit_approve value=\"%s\" %s>&nbsp;"
           "<input type=submit name=submit id=submit_disapprove value=\"%s\" %s></p>",
           kLDeleteLabel, kStyle, kLDiscardLabel, kStyle, kLApplyLabel, kStyle, kLApproveLabel, kStyle,
           kLDisapproveLabel, kStyle);
}

int LLeaveRequestDays(const LKXLeaveRequest& request, const LKXHolidayCalendar& holidays) {
  int days = 0;
  for (const LKXLeavePart& part : request.parts) {
    days += CalculateHolidaysTaken(part.record.start, part.record.end, holidays);
  }
  return days;
}

std::string LLeaveRequestPartsHtml(const LKXLeaveRequest& request) {
  if (!request.IsSplit()) return "";
  std::string html = "<br><small>";
  for (std::size_t i = 0; i < request.parts.size(); ++i) {
    const LKXLeavePart& part = request.parts[i];
    if (i > 0) html += " and ";
    html += LHtmlFormatChecked("%H ~ %H (%H)", part.record.start, part.record.end, part.year);
  }
  return html + "</small>";
}

std::string LLeaveContinuationHtml(const LKXLeaveRequest& request, const std::string& year,
                                   const std::string& user, bool edit) {
  std::string html;
  bool before = true;  // parts before this year's own record
  for (const LKXLeavePart& other : request.parts) {
    if (other.year == year) {
      before = false;
      continue;
    }
    const std::string link =
        LHtmlFormatChecked("<a href=\"leavereport?seluser=%U&amp;year=%U&amp;edit=%s\">%H</a>", user, other.year,
                           edit ? "true" : "false", other.year);
    const char* status = other.record.IsApproved()      ? "Approved"
                         : other.record.IsDisapproved() ? "Disapproved"
                                                        : "Pending";
    if (before) {
      html += "<br><small>Began in " + link + LHtmlFormatChecked(" on %H (%s)</small>", other.record.start, status);
    } else {
      html += "<br><small>Continues in " + link +
              LHtmlFormatChecked(" until %H (%s)</small>", other.record.end, status);
    }
  }
  return html;
}
