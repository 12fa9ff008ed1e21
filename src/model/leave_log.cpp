#include "model/leave_log.h"

#include <ctime>

#include "foundation/csv_reader.h"
#include "foundation/csv_writer.h"
#include "model/core_data.h"
#include "model/public_holidays.h"

namespace {

// A leave is at most 200 days; the bound only keeps a corrupt row from
// making a page count for ever.
constexpr int kMaxCountedDays = 400;

LDateTime DayStart(std::string_view date) {
  LDateTime moment;
  if (!KXIsDateText(date) || !moment.SetDateTime(date, "00:00:00")) return LDateTime();
  return moment;
}

}  // namespace

bool KXIsYearText(std::string_view year) {
  if (year.size() != 4) return false;
  for (char c : year) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool KXIsDateText(std::string_view date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (date[i] < '0' || date[i] > '9') return false;
  }
  // A day the month does not have (31 April) would roll over; the round
  // trip tells.
  LDateTime moment;
  return LDateTime::ValidateDateYYYYHMMHDD(date) && moment.SetDateTime(date, "00:00:00") &&
         moment.GetDateText() == date;
}

std::string KXCurrentYearText() { return LDateTime::Now().GetDateText().substr(0, 4); }

LKXLeaveRecord KXParseLeaveRecord(std::string_view line) {
  LKXLeaveRecord record;
  LCSVReaderRow row(line);
  row.GetCols(record.start, record.end, record.type, record.reason);
  record.status = row.GetCol();
  row.GetCol(record.author);
  return record;
}

std::vector<LKXLeaveRecord> KXReadLeaveLog(std::string_view user, std::string_view year) {
  std::vector<LKXLeaveRecord> records;
  if (!KXIsYearText(year)) return records;
  const std::string path = LKXCoreData::GetUserFilePathForReading(user, std::string(year) + "_leave.csv");
  if (path.empty()) return records;
  LCSVFileReader reader(path, kKXLeaveLogLockTimeoutMs);
  while (reader.Next()) records.push_back(KXParseLeaveRecord(reader.Line()));
  return records;
}

void KXAddLeaveTypeCol(LCSVWriterRow& row, std::string_view type) {
  for (char c : type) {
    if (c == ',' || c == '"' || static_cast<unsigned char>(c) < 0x20) {
      row.AddCol(type);
      return;
    }
  }
  row.AddColDirect(type);
}

std::string KXLeaveRecordRow(const LKXLeaveRecord& record) {
  LCSVWriterRow row;
  // Dates come from the log itself or from checked form fields; one that
  // holds a separator is written quoted rather than split.
  KXAddLeaveTypeCol(row, record.start);
  KXAddLeaveTypeCol(row, record.end);
  KXAddLeaveTypeCol(row, record.type);
  row.AddCol(record.reason);
  row.AddCol(record.status);
  row.AddCol(record.author);
  return row.Text();
}

LKXHolidayCalendar::LKXHolidayCalendar() {
  for (const LKXPublicHoliday& holiday : KXGetPublicHolidays()) {
    Range range;
    if (!range.from.SetDateTime(holiday.start, "00:00:00") || !range.to.SetDateTime(holiday.end, "23:59:59")) {
      continue;
    }
    if (range.from.IsSet() && range.to.IsSet()) ranges_.push_back(range);
  }
}

bool LKXHolidayCalendar::IsHoliday(LDateTime moment) const {
  if (!moment.IsSet()) return false;
  for (const Range& range : ranges_) {
    if (range.from <= moment && moment <= range.to) return true;
  }
  return false;
}

int CalculateHolidaysTaken(std::string_view start, std::string_view end, const LKXHolidayCalendar& holidays) {
  LDateTime day = DayStart(start);
  const LDateTime last = DayStart(end);
  if (!day.IsSet() || !last.IsSet() || last < day) return 0;
  int days = 0;
  for (int step = 0; day <= last && step < kMaxCountedDays; ++step) {
    const LWeekDay weekDay = day.GetWeekDay();
    const bool weekend = weekDay.ContainsIndex(0) || weekDay.ContainsIndex(6);
    if (!weekend && !holidays.IsHoliday(day)) ++days;
    if (!day.AddCalendarDays(1)) break;
  }
  return days;
}

int CalculateHolidaysTaken(std::string_view start, std::string_view end) {
  return CalculateHolidaysTaken(start, end, LKXHolidayCalendar());
}
