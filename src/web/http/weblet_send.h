#pragma once
// How page handlers write their responses: formatted text through wfprintf
// (the format language of format_language.h, "%H" escaping HTML), constant
// text through WLSendRaw, and redirects. Each call goes to the form's
// response (weblet_response.h): at once, or through gzip when the request
// accepts it; pages are written piece by piece as they are generated, never
// assembled whole, and end when the connection closes.

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/process_result.h"
#include "web/http/weblet_form.h"
#include "web/text/format_language.h"

// Time-out of a raw send; a formatted send allows (length + this) ms.
inline constexpr int kLWebSendTimeoutMs = 20000;

// Formats into a growable buffer (8192 bytes at first, growing fourfold) and
// sends the result in one send operation. Returns the number of bytes
// formatted, whether or not the peer took them.
std::size_t wfprintf(LWebletForm& form, const char* format, ...);

// The text of one wfprintf: collects the formatted bytes, then sends them.
class LWebletSocketWriter : public LFormatWriter {
 public:
  LWebletSocketWriter();
  using LFormatWriter::Write;
  void Write(const char* data, std::size_t length) override;
  const std::string& Text() const { return text_; }
  LProcessResult SendTo(LWebletForm& form) const;

 private:
  std::string text_;
};

// wfprintf with the format checked against the arguments at compile time:
//   wfformat(form, "<td>%H</td><td>%d</td>", user.name, minutes);
template <class... Args>
std::size_t wfformat(LWebletForm& form,
                     LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
                     const Args&... args) {
  LWebletSocketWriter writer;
  const LFormatArg packed[] = {LFormatArg(args)..., LFormatArg()};
  const std::size_t length = tplformatv(writer, format.Text(), packed, sizeof...(Args));
  (void)writer.SendTo(form);
  return length;
}

// Sends `text` as it is (time-out kLWebSendTimeoutMs).
LProcessResult WLSendRaw(LWebletForm& form, std::string_view text);

// Sends "HTTP/1.0 302 OK\r\nLocation: <url>\r\n\r\n". The URL goes in as it
// is, except that CR and LF are dropped: a form field passed on as a target
// must not be able to add header lines of its own.
void WLRedirect(LWebletForm& form, const char* url);
