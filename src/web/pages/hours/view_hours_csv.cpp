#include "web/pages/hours/view_hours_csv.h"

#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/panel/current_user.h"
#include "web/text/csv_cell.h"

namespace {

void Cell(std::string& line, std::string_view text) {
  LCSVCellAppend(line, text);
  line.push_back(',');
}

void Amount(std::string& line, long long minutes) {
  line += std::to_string(minutes);
  line.push_back(',');
  line += KXMinutesText(minutes);
  line.push_back(',');
}

std::string DateCell(const LKXHoursReportRow& r) {
  switch (r.kind) {
    case LKXHoursReportRow::kDay: return r.date;
    case LKXHoursReportRow::kUserMean: return "Mean " + std::to_string(r.count) + " days";
    case LKXHoursReportRow::kUserTotal: return "Total " + std::to_string(r.count) + " days";
    default: return {};
  }
}

std::string NameCell(const LKXHoursReportRow& r) {
  if (r.kind == LKXHoursReportRow::kReportMean) return "Mean of " + std::to_string(r.count);
  if (r.kind == LKXHoursReportRow::kReportTotal) return "Total of " + std::to_string(r.count);
  return r.name;
}

// A refusal answers in plain text: the browser shows it instead of saving it.
void PlainAnswer(LWebletForm& form, const char* status, std::string_view text) {
  wfformat(form,
           "HTTP/1.1 %s\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/plain; "
           "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\n\r\n%s\r\n",
           status, text);
}

// The notice without its markup.
std::string PlainNotice(const char* notice) {
  std::string text = notice;
  const std::size_t open = text.find("<font color=#a00000>");
  const std::size_t close = text.find("</font>");
  if (open == std::string::npos || close == std::string::npos) return text;
  const std::size_t from = open + sizeof("<font color=#a00000>") - 1;
  return text.substr(from, close - from);
}

std::string FieldOrSession(LWebletForm& form, const char* field, const char* sessionName) {
  const std::string value = form.Params().GetParm(field);
  return value.empty() ? std::string(form.Session().GetParm(sessionName)) : value;
}

}  // namespace

std::string KXHoursReportCSV(const LKXHoursReport& report) {
  std::string csv = kKXHoursCSVHeader;
  for (const LKXHoursReportRow& r : report.rows) {
    std::string line;
    Cell(line, NameCell(r));
    Cell(line, r.email);
    Cell(line, DateCell(r));
    if (r.kind == LKXHoursReportRow::kDay) {
      Cell(line, LDayTime(static_cast<std::int32_t>(r.firstStart)).GetText());
      Cell(line, LDayTime(static_cast<std::int32_t>(r.lastEnd)).GetText());
    } else if (r.kind == LKXHoursReportRow::kUserMean) {
      Cell(line, KXDaySecondsHHMM(r.firstStart));
      Cell(line, KXDaySecondsHHMM(r.lastEnd));
    } else {
      line += ",,";
    }
    for (long long minutes : {r.amounts.breaks, r.amounts.active, r.amounts.idle, r.amounts.manual, r.amounts.total}) {
      Amount(line, minutes);
    }
    // Rows that owe no time leave the four cells empty.
    if (r.owesTime) {
      Amount(line, r.amounts.required);
      const long long difference = r.amounts.total - r.amounts.required;
      line += std::to_string(difference) + "," + KXSignedMinutesText(difference) + ",";
    } else {
      line += ",,,,";
    }
    line.back() = '\r';
    line += '\n';
    csv += line;
  }
  return csv;
}

void WLViewHoursCSV(LWebletForm& form) {
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) {
    PlainAnswer(form, "403 Forbidden", kKXCurrentUserNotFound);
    return;
  }
  const std::string selusers = FieldOrSession(form, "seluser", "selusers");
  const LKXHoursRange range =
      KXReadHoursRange(FieldOrSession(form, "startdate", "startdate"), FieldOrSession(form, "enddate", "enddate"));
  if (!range.searchable) {
    PlainAnswer(form, "400 Bad Request",
                range.message != nullptr ? PlainNotice(range.message) : "Please choose a start date.");
    return;
  }
  const LKXHoursReport report = KXBuildHoursReport(viewer, selusers, range);
  if (report.users == 0 && !report.refused.empty()) {
    PlainAnswer(form, "403 Forbidden", "Only the manager of user " + report.refused.front() + " can view the work hours.");
    return;
  }
  const std::string csv = KXHoursReportCSV(report);
  wfformat(form,
           "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/csv; "
           "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; filename=\"workhours_%s_%s.csv\"\r\nContent-Length: "
           "%d\r\n\r\n",
           range.start.GetDateText(), range.end.GetDateText(), static_cast<int>(csv.size()));
  WLSendRaw(form, csv);
}
