#include "model/leave_requests.h"

#include <cstdlib>
#include <map>

#include "model/registry_text.h"

namespace {

std::string YearText(int year) { return year >= 1000 && year <= 9999 ? std::to_string(year) : std::string(); }

// The logs of a few neighbouring years, each read once.
class LogsByYear {
 public:
  explicit LogsByYear(std::string_view user) : user_(user) {}
  const std::vector<LKXLeaveRecord>& Of(int year) {
    auto found = logs_.find(year);
    if (found == logs_.end()) found = logs_.emplace(year, KXReadLeaveLog(user_, YearText(year))).first;
    return found->second;
  }

 private:
  std::string user_;
  std::map<int, std::vector<LKXLeaveRecord>> logs_;
};

const LKXLeaveRecord* FindContinuation(LogsByYear& logs, int year, const LKXLeaveRecord& december) {
  const std::string text = YearText(year);
  for (const LKXLeaveRecord& january : logs.Of(year + 1)) {
    if (KXIsYearEndContinuation(text, december, january)) return &january;
  }
  return nullptr;
}

const LKXLeaveRecord* FindBeginning(LogsByYear& logs, int year, const LKXLeaveRecord& january) {
  const std::string text = YearText(year - 1);
  for (const LKXLeaveRecord& december : logs.Of(year - 1)) {
    if (KXIsYearEndContinuation(text, december, january)) return &december;
  }
  return nullptr;
}

}  // namespace

bool LKXLeaveRequest::IsPending() const {
  for (const LKXLeavePart& part : parts) {
    if (!part.record.IsApproved() && !part.record.IsDisapproved()) return true;
  }
  return false;
}

int LKXLeaveRequest::Status() const {
  if (IsPending()) return kKXLeavePending;
  for (const LKXLeavePart& part : parts) {
    if (part.record.IsDisapproved()) return kKXLeaveDisapproved;
  }
  return kKXLeaveApproved;
}

bool KXIsYearEndContinuation(std::string_view decemberYear, const LKXLeaveRecord& december,
                             const LKXLeaveRecord& january) {
  if (!KXIsYearText(decemberYear)) return false;
  const std::string nextYear = YearText(std::atoi(std::string(decemberYear).c_str()) + 1);
  return !nextYear.empty() && december.end == std::string(decemberYear) + "-12-31" &&
         january.start == nextYear + "-01-01" && KXSameName(december.type, january.type) &&
         december.reason == january.reason;
}

std::vector<LKXLeaveRequest> KXReadLeaveRequests(std::string_view user, int firstYear, int lastYear) {
  std::vector<LKXLeaveRequest> requests;
  LogsByYear logs(user);
  for (int year = firstYear; year <= lastYear; ++year) {
    for (const LKXLeaveRecord& record : logs.Of(year)) {
      LKXLeaveRequest request;
      if (const LKXLeaveRecord* december = FindBeginning(logs, year, record)) {
        if (year > firstYear) continue;  // listed with its first half
        request.parts.push_back({YearText(year - 1), *december});
      }
      request.parts.push_back({YearText(year), record});
      if (const LKXLeaveRecord* january = FindContinuation(logs, year, record)) {
        request.parts.push_back({YearText(year + 1), *january});
      }
      requests.push_back(std::move(request));
    }
  }
  return requests;
}

bool KXFindLeaveRequest(std::string_view user, std::string_view year, std::string_view start,
                        std::string_view end, LKXLeaveRequest& out) {
  if (!KXIsYearText(year)) return false;
  const int number = std::atoi(std::string(year).c_str());
  for (LKXLeaveRequest& request : KXReadLeaveRequests(user, number, number)) {
    bool named = KXSameName(request.Start(), start) && KXSameName(request.End(), end);
    for (const LKXLeavePart& part : request.parts) {
      named = named || (part.year == year && KXSameName(part.record.start, start) &&
                        KXSameName(part.record.end, end));
    }
    if (named) {
      out = std::move(request);
      return true;
    }
  }
  return false;
}
