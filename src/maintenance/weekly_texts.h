#pragma once
// The texts of the weekly staff report and the two weekly warnings, as pure
// functions of the figures they show, so that every byte can be checked.
// Lines end CR LF; times of minutes are "HH:MM", times of seconds
// "HH:MM:SS", shares "NN.NN%".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hours/app_usage.h"
#include "hours/work_hours.h"
#include "routing/panel_addresses.h"

inline constexpr char kKXWeeklyReportSubject[] = "Weekly Staff Report";
inline constexpr char kKXWorkHoursNoticeSubject[] = "KavrixServer: Work hours notice";
inline constexpr char kKXWorkHoursNoticeCopySubject[] = "KavrixServer: Work hours notice [%s]";
inline constexpr char kKXPrivateProgramsSubject[] = "Private programs usage warning";
inline constexpr char kKXPrivateProgramsCopySubject[] = "Private programs usage warning of %s";

// The weekly report, section by section.
std::string KXWeeklyGreeting(std::string_view manager);
std::string KXWeeklyHoursHead(std::string_view start, std::string_view end);
std::string KXWeeklyHoursRow(std::string_view name, const LWorkHoursData& hours);
std::string KXWeeklyApplicationsHead();
// "<name>\t\t<HH:MM:SS>\t<share>%" for one application of a list totalling
// `total` seconds.
std::string KXUsageLine(const LKXAppUsage& app, std::int32_t total);
std::string KXWeeklyMissingDaysHead();
// The person's line: name, each day, all followed by a tab.
std::string KXWeeklyMissingDaysRow(std::string_view name, const std::vector<std::string>& days);
std::string KXWeeklyShortHoursHead();
std::string KXWeeklyShortHoursRow(std::string_view name, std::int32_t required, std::int32_t worked, int percent);

struct LKXShortfall {
  std::string start, end;  // the week, "YYYY-MM-DD"
  std::int32_t required = 0;
  std::int32_t worked = 0;
  int percent = 0;
};
// To the staff member, followed by the logon-details block.
std::string KXWorkHoursNoticeBody(const LKXShortfall& s, const LKXPanelAddresses& addresses);
// The copy to managers and HR about `name`.
std::string KXWorkHoursNoticeCopyBody(std::string_view name, const LKXShortfall& s,
                                      const LKXPanelAddresses& addresses);

// The private-programs warning to the user and the copy to a manager; the
// usage lines follow each.
std::string KXPrivateProgramsHead(std::string_view name, std::string_view start, std::string_view end);
std::string KXPrivateProgramsCopyHead(std::string_view manager, std::string_view name, std::string_view start,
                                      std::string_view end);
