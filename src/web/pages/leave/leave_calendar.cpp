#include "web/pages/leave/leave_calendar.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/port_settings.h"
#include "model/core_data.h"
#include "model/leave_log.h"
#include "model/org_settings.h"
#include "model/registry_lists.h"
#include "model/users.h"
#include "routing/routing_settings.h"
#include "web/http/same_origin.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/panel/current_user.h"
#include "web/text/uri_codec.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (unsigned char c : bytes) {
    hex.push_back(kHexDigits[c >> 4]);
    hex.push_back(kHexDigits[c & 15]);
  }
  return hex;
}

bool IsTokenText(std::string_view token) {
  if (token.size() != 2 * kLLeaveCalendarTokenBytes) return false;
  for (char c : token) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// The owner of `token`. Every stored token is compared in full and in
// constant time, so the answer's timing tells nothing about how much of a
// guess was right.
bool FindTokenOwner(const std::string& token, LKXUser& owner) {
  if (!IsTokenText(token)) return false;
  std::string found;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const std::string stored = it.Get().GetText(kKXUserLeaveCalendarToken);
    if (stored.size() == token.size() && CRYPTO_memcmp(stored.data(), token.data(), token.size()) == 0) {
      found = it.Get().GetEmail();
    }
  }
  return !found.empty() && KXGetUser(found, owner);
}

// "YYYYMMDD" of a valid "YYYY-MM-DD", and of the day after it.
bool CompactDate(const std::string& date, int addDays, std::string& out) {
  LDateTime day;
  if (!KXIsDateText(date) || !day.SetDateTime(date, "00:00:00")) return false;
  if (addDays != 0 && !day.AddCalendarDays(addDays)) return false;
  const std::string text = day.GetDateText();
  out = text.substr(0, 4) + text.substr(5, 2) + text.substr(8, 2);
  return true;
}

std::string UtcStamp() {
  const std::time_t now = LDateTime::Now().value;
  struct tm fields {};
  gmtime_r(&now, &fields);
  char text[32];
  std::strftime(text, sizeof(text), "%Y%m%dT%H%M%SZ", &fields);
  return text;
}

void AddEvents(std::string& out, const std::string& email, const std::string& name, const std::string& year,
               const std::string& stamp) {
  const std::string folder = Hex(LKXCoreData::GetUserFolderName(email));
  for (const LKXLeaveRecord& record : KXReadLeaveLog(email, year)) {
    if (!record.IsApproved()) continue;
    std::string start, end;
    if (!CompactDate(record.start, 0, start) || !CompactDate(record.end, 1, end) || end <= start) continue;
    out += "BEGIN:VEVENT\r\n";
    out += LICalendarFold("UID:leave-" + folder + "-" + start + "-" + end + "@kavrixserver");
    out += "DTSTAMP:" + stamp + "\r\n";
    out += "DTSTART;VALUE=DATE:" + start + "\r\n";
    out += "DTEND;VALUE=DATE:" + end + "\r\n";
    out += LICalendarFold("SUMMARY:" + LICalendarText(name + " (" + record.type + ")"));
    out += "TRANSP:TRANSPARENT\r\nEND:VEVENT\r\n";
  }
}

}  // namespace

std::string KXLeaveCalendarToken(LKXUser& user) { return user.GetText(kKXUserLeaveCalendarToken); }

bool KXCreateLeaveCalendarToken(LKXUser& user) {
  unsigned char bytes[kLLeaveCalendarTokenBytes];
  if (RAND_bytes(bytes, sizeof(bytes)) != 1) return false;
  const std::string token = Hex(std::string_view(reinterpret_cast<const char*>(bytes), sizeof(bytes)));
  return user.SetText(kKXUserLeaveCalendarToken, token);
}

void KXRevokeLeaveCalendarToken(LKXUser& user) { user.SetText(kKXUserLeaveCalendarToken, ""); }

namespace {

// Letters, digits, ".", "-", ":" and the brackets of an IPv6 address.
bool IsPlainHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' ||
                       c == '[' || c == ']';
    if (!plain) return false;
  }
  return true;
}

}  // namespace

std::string KXLeaveCalendarAddress(const LWebletForm& form, const std::string& token) {
  std::string host = LWebletHostHeaderHost(form.Headers().GetParm("Host"));
  if (!IsPlainHost(host)) {
    LNetRoutingGetPrivateAddress(LNetRoutingGetMode(kLRoutingLocalAddressMode), host);
    const int port = LReadLocalPortSetting();
    if (port != 80) host += ":" + std::to_string(port);
  }
  return "http://" + host + "/" + kLLeaveCalendarPath + "?token=" + LHrefValue(token);
}

std::string LICalendarText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == ';' || c == ',') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
      out.push_back(c);
    }
  }
  return out;
}

std::string LICalendarFold(std::string_view line) {
  std::string out;
  std::size_t room = kLICalendarLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    // Back off to the start of a UTF-8 sequence.
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut)).append("\r\n ");
    line.remove_prefix(cut);
    room = kLICalendarLineOctets - 1;  // the leading space counts
  }
  return out.append(line).append("\r\n");
}

void WLLeaveCalendar(LWebletForm& form) {
  LKXUser viewer;
  const std::string token = form.Params().GetParm("token");
  const bool known = token.empty() ? KXGetCurrentUser(form, viewer) : FindTokenOwner(token, viewer);
  if (!known) {
    WLSendRaw(form,
              "HTTP/1.1 403 Forbidden\r\nConnection: close\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n"
              "Unknown or revoked calendar address.\r\n");
    return;
  }
  std::string body =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//KavrixServer//Leave Calendar//EN\r\n"
      "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\nX-WR-CALNAME:Leave\r\n";
  if (KXOrgGetBool(LKXOrg::kModeLeave)) {
    const std::string stamp = UtcStamp();
    const int thisYear = std::atoi(KXCurrentYearText().c_str());
    for (LKXUserListIterator it(gKXUsersList); it.Next();) {
      const std::string email = it.Get().GetEmail();
      if (!KXMayViewUser(viewer, email)) continue;
      const std::string name = it.Get().GetName();
      for (int year = thisYear - 1; year <= thisYear + 1; ++year) {
        AddEvents(body, email, name, std::to_string(year), stamp);
      }
    }
  }
  body += "END:VCALENDAR\r\n";
  WLSendRaw(form,
            "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\n"
            "Content-Type: text/calendar; charset=utf-8\r\n\r\n");
  WLSendRaw(form, body);
}
