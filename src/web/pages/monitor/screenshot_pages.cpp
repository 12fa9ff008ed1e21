#include "web/pages/monitor/screenshot_pages.h"

#include <algorithm>

#include "model/access_audit.h"
#include "model/jpeg_size.h"
#include "model/org_settings.h"
#include "model/users.h"
#include "web/http/static_file.h"
#include "web/http/weblet_send.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/pages/hours/report_dates.h"
#include "web/pages/monitor/monitor_access.h"
#include "web/pages/monitor/screenshot_files.h"
#include "web/panel/current_user.h"
#include "web/panel/html_list.h"
#include "web/panel/search_bar.h"
#include "web/text/uri_codec.h"

namespace {

constexpr int kColumnsPerRow = 5;
constexpr std::size_t kSendPiece = 64 * 1024;
constexpr char kOnLoad[] = "window.onload=function(){initSearchBar()}";
constexpr char kTip[] = "Click to view full size image";
constexpr char kFullSizeTip[] = "Click to open the picture at its own size";
constexpr char kFitWidth[] = "style=\"max-width:100%;height:auto\"";
constexpr char kPageHead[] =
    "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: text/html; "
    "charset=utf-8\r\n\r\n<html><head><title>KavrixServer</title><meta name=viewport content=\"width=device-width, initial-scale=1\"><link href=s.css type=text/css "
    "rel=stylesheet></head><body>";
constexpr char kFitWindow[] =
    "<script type=\"text/javascript\">window.moveTo(0,0);window.resizeTo(screen.availWidth,screen.availHeight);"
    "</script>";

// The times of a range as the pages show them, and the range itself.
struct TimeRange {
  std::string fromText = "00:00:00";
  std::string toText = "24:00:00";
  std::int32_t from = 0;
  std::int32_t to = LDateTime::kOneDay;
};

bool ReadRange(std::string_view start, std::string_view end, TimeRange& range) {
  if (!start.empty()) range.fromText = std::string(start);
  if (!end.empty()) range.toText = std::string(end);
  return KXReadDayTime(range.fromText, range.from) && KXReadDayTime(range.toText, range.to);
}

}  // namespace

void WLViewScreen(LWebletForm& form) {
  WLCopyFieldsToSession(form, kKXUserDayFields);
  LKXViewScreenPage page(form);
  page.Open();
}

LKXViewScreenPage::LKXViewScreenPage(LWebletForm& form)
    : LKXWebPage(form, "viewscreenspost", "screenshot.html", "View Screen Shots") {}

void LKXViewScreenPage::Generate() {
  LWebletForm& form = Form();
  const std::string seluser = form.Session().GetParm("seluser");
  const std::string dateText = WLSessionDayOrToday(form);
  LKXUser viewer;
  std::string email;
  if (!KXMonitorPageUser(form, viewer, seluser, kKXScreensNotManager, email)) return;
  form.Session().SetParm("seluser", email);
  KXAddSearchBar(*this, true, true, false, false, false, false, true);
  AddJScriptFunction(kOnLoad);
  LDateTime date;
  if (!KXReadReportDate(dateText, "00:00:00", date)) {
    WLSendRaw(form, kKXDateNotValid);
    return;
  }
  TimeRange range;
  if (!ReadRange(form.Session().GetParm("starttime"), form.Session().GetParm("endtime"), range)) {
    WLSendRaw(form, kKXTimeNotValid);
    return;
  }
  // With screen monitoring switched off the pictures are not handed out,
  // so the page offers none.
  LKXUser shown;
  if (!KXOrgGetBool(LKXOrg::kModeQA) || !KXGetUser(email, shown) || !KXScreenshotsKept(shown)) return;
  (void)KXAuditAccess(viewer.GetEmail(), email, std::string(kKXAuditScreenshots) + " " + date.GetDateText(),
                      WLAuditClient(form));

  const std::string user = LHrefValue(email);
  const std::string day = date.GetDateText();
  const std::string from = LHrefValue(range.fromText);
  const std::string to = LHrefValue(range.toText);
  std::string out = "<table width=100% cellpadding=4 cellspacing=0>";
  int column = 0;
  for (std::int32_t seconds : KXScreenShotTimes(email, date, true)) {
    if (seconds < range.from || seconds > range.to) continue;
    if (column == 0) out += "<tr>";
    const std::string clock = KXClockText(seconds);
    const std::string arguments = LHtmlFormatChecked("seluser=%s&date=%s&time=%s", user, day, clock);
    out += "<td width=20% valign=top>";
    out += LHtmlFormatChecked(
        "<div align=center><a href=\"%s?%s&starttime=%s&endtime=%s\" target=\"_blank\"><img src=\"%s\" "
        "title=\"%s\" alt=\"%s\" border=0></a><br>%H</div>",
        "fullsizeimg", arguments, from, to, "getimg.jpg?" + arguments, kTip, kTip, clock);
    out += "</td>";
    if (++column == kColumnsPerRow) {
      out += "</tr>";
      column = 0;
    }
    if (out.size() >= kSendPiece) {
      if (WLSendRaw(form, out) != kLProcessDone) return;
      out.clear();
    }
  }
  if (column != 0) {
    for (; column < kColumnsPerRow; ++column) out += "<td width=20%>&nbsp;</td>";
    out += "</tr>";
  }
  out += "</table>";
  (void)WLSendRaw(form, out);
}

namespace {

// The links to the pictures before and after `at` within `range`; `link`
// is the address of a picture without its time.
void WritePictureNavigation(LWebletForm& form, const std::vector<std::int32_t>& times, const TimeRange& range,
                            std::int32_t at, const std::string& link) {
  std::int32_t previous = -1;
  std::int32_t next = -1;
  for (std::int32_t t : times) {
    if (t < range.from || t > range.to) continue;
    if (t < at) previous = t;
    if (t > at && next < 0) next = t;
  }
  if (previous >= 0) wfformat(form, "<a href=\"%s%s\">&lt;&lt;</a>", link, KXClockText(previous));
  WLSendRaw(form, "&nbsp;&nbsp;<a href=\"javascript:window.close()\">Close</a>&nbsp;&nbsp;");
  if (next >= 0) wfformat(form, "<a href=\"%s%s\">&gt;&gt;</a>", link, KXClockText(next));
}

// A picture wider than the window shrinks to fit it; a click opens the
// picture itself, at its own size.
void WriteFittedPicture(LWebletForm& form, const std::string& email, LDateTime date, std::int32_t at,
                        const std::string& src) {
  std::string path;
  int width = 0;
  int height = 0;
  wfformat(form, "<a href=\"%s\" target=\"_blank\" title=\"%s\">", src, kFullSizeTip);
  if (KXScreenShotPath(email, date, at, false, path) && KXJpegSizeOfFile(path, width, height) &&
      height >= kKXFullSizeShownWidth) {
    const long long shownHeight = static_cast<long long>(height) * kKXFullSizeShownWidth / width;
    wfformat(form, "<img src=\"%s\" title=\"fullsize\" width=%d height=%d %s>", src, kKXFullSizeShownWidth,
             static_cast<int>(shownHeight), kFitWidth);
  } else {
    wfformat(form, "<img src=\"%s\" title=\"fullsize\" %s>", src, kFitWidth);
  }
}

}  // namespace

void WLFullSizeImage(LWebletForm& form) {
  const LHashTable& p = form.Params();
  const std::string seluser = p.GetParm("seluser");
  LKXUser viewer;
  std::string email;
  WLSendRaw(form, kPageHead);
  if (!KXMonitorPageUser(form, viewer, seluser, kKXScreensNotManager, email)) {
    WLSendRaw(form, "</body></html>");
    return;
  }
  LDateTime date;
  TimeRange range;
  std::int32_t at = 0;
  const std::string timeText = p.GetParm("time");
  LKXUser shown;
  const bool known = KXReadReportDate(p.GetParm("date"), "00:00:00", date) &&
                     ReadRange(p.GetParm("starttime"), p.GetParm("endtime"), range) &&
                     KXReadDayTime(timeText, at) && at < LDateTime::kOneDay;
  if (!known || !KXOrgGetBool(LKXOrg::kModeQA) || !KXGetUser(email, shown) || !KXScreenshotsKept(shown)) {
    WLSendRaw(form, "There is no such picture.</body></html>");
    return;
  }
  const std::string user = LHrefValue(email);
  const std::string day = date.GetDateText();
  WLSendRaw(form, kFitWindow);
  // Whose picture, and when: the window may be one of several side by side.
  const std::string name = shown.GetName();
  wfformat(form, "<h3 class=fullsizehead align=center>%H&nbsp;&nbsp;%H&nbsp;%H</h3>", name.empty() ? email : name,
           day, KXClockText(at));
  WLSendRaw(form, "<form action=\"fullsizeimg\" method=get><table width=100%><tr><td align=center>");
  WritePictureNavigation(form, KXScreenShotTimes(email, date, false), range, at,
                         LHtmlFormatChecked("fullsizeimg?seluser=%s&date=%s&starttime=%s&endtime=%s&time=", user, day,
                                            LHrefValue(range.fromText), LHrefValue(range.toText)));
  WLSendRaw(form, "</td></tr><tr><td align=center>");
  WriteFittedPicture(form, email, date, at,
                     LHtmlFormatChecked("fullsizeimg.jpg?seluser=%s&date=%s&time=%s", user, day, LHrefValue(timeText)));
  WLSendRaw(form, "</a></td></tr></table>");
  for (const char* name : {"seluser", "date", "time", "starttime", "endtime"}) {
    wfformat(form, "<input type=hidden name=%s value=\"%H\">", name, p.GetParm(name));
  }
  wfformat(form, "<input type=hidden name=sess value=\"%H\"></form></body></html>", form.Session().Id());
}

void WLGetImage(LWebletForm& form, bool full) {
  const LHashTable& p = form.Params();
  LKXUser viewer;
  LKXUser subject;
  LDateTime date;
  std::int32_t at = 0;
  std::string path;
  if (!KXMonitorDownloadAllowed(form, p.GetParm("seluser"), viewer, subject) || !KXScreenshotsKept(subject) ||
      !KXReadReportDate(p.GetParm("date"), "00:00:00", date) || !KXReadDayTime(p.GetParm("time"), at) ||
      !KXScreenShotPath(subject.GetEmail(), date, at, !full, path)) {
    WLSendNotFound(form);
    return;
  }
  if (full) {
    (void)KXAuditAccess(viewer.GetEmail(), subject.GetEmail(),
                        std::string(kKXAuditFullSizePicture) + " " + date.GetDateText() + " " + KXClockText(at),
                        WLAuditClient(form));
  }
  (void)LServeHandedOutFile(&form.Thread(), form.Transport(), path, "image/jpeg", "", form.FileConditions());
}

void WLGetImageThumbNail(LWebletForm& form) { WLGetImage(form, false); }
void WLGetFullSizeImage(LWebletForm& form) { WLGetImage(form, true); }
