#include "web/panel/api_access.h"

#include <cstdio>
#include <ctime>

#include "model/access_audit.h"
#include "model/api_token.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/text/json_writer.h"

namespace {

const char* StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    default: return "Internal Server Error";
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The token of "Bearer <token>" (the scheme in any letter case); empty when
// the header holds another scheme or nothing.
std::string_view BearerToken(std::string_view header) {
  constexpr std::string_view kScheme = "bearer";
  while (!header.empty() && IsBlank(header.front())) header.remove_prefix(1);
  if (header.size() <= kScheme.size() || !IsBlank(header[kScheme.size()])) return {};
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const char c = header[i];
    if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != kScheme[i]) return {};
  }
  header.remove_prefix(kScheme.size());
  while (!header.empty() && IsBlank(header.front())) header.remove_prefix(1);
  while (!header.empty() && IsBlank(header.back())) header.remove_suffix(1);
  return header;
}

}  // namespace

void WLSendJson(LWebletForm& form, int status, std::string_view body) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + StatusText(status) +
                     "\r\nConnection: close\r\nCache-Control: no-store\r\nContent-Type: application/json; "
                     "charset=utf-8\r\nX-Content-Type-Options: nosniff\r\n";
  if (status == 401) head += "WWW-Authenticate: Bearer realm=\"KavrixServer\"\r\n";
  if (status == 405) head += "Allow: GET\r\n";
  head += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  WLSendRaw(form, head);
  WLSendRaw(form, body);
}

void WLSendApiError(LWebletForm& form, int status, std::string_view message, std::string_view parameter) {
  LJsonWriter json;
  json.BeginObject().Member("status", status).Member("error", message);
  if (!parameter.empty()) json.Member("parameter", parameter);
  json.EndObject();
  WLSendJson(form, status, json.Text());
}

bool WLRequireApiToken(LWebletForm& form, LKXUser& viewer) {
  if (form.Method() != "GET") {
    WLSendApiError(form, 405, kLApiOnlyGet);
    return false;
  }
  const std::string_view token = BearerToken(form.Headers().GetParm("Authorization"));
  if (token.empty()) {
    WLSendApiError(form, 401, kLApiNoToken);
    return false;
  }
  switch (KXFindApiTokenOwner(token, viewer)) {
    case LKXApiTokenCheck::kValid: return true;
    case LKXApiTokenCheck::kExpired: WLSendApiError(form, 401, kLApiExpiredToken); return false;
    case LKXApiTokenCheck::kUnknown: break;
  }
  WLSendApiError(form, 401, kLApiUnknownToken);
  return false;
}

void WLAuditApiCall(LWebletForm& form, LKXUser& viewer, std::string_view subject, std::string_view what) {
  std::string text = kKXAuditApiCall;
  text.append(what);
  KXAuditRecord(viewer.GetEmail(), subject.empty() ? std::string_view(kKXAuditEveryone) : subject, text,
                form.RemoteAddress());
}

std::string LRfc3339Time(LDateTime moment) {
  struct tm fields {};
  if (!moment.GetLocalTime(&fields)) return {};
  char text[40];
  std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S%z", &fields);
  std::string out = text;
  // strftime's "+0100" is "+01:00" in RFC 3339.
  if (out.size() >= 5) out.insert(out.size() - 2, ":");
  return out;
}
