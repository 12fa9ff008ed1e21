#pragma once
// What the access checks of this folder write when they refuse a request:
// the session-expired page and the administrator notice. Both need the
// panel's standard page head and footer and its message page, which belong to
// the page framework; it installs its own writers with WLSetPageFrame when it
// starts. Until then a plain frame is used that carries the same texts.

class LWebletForm;

struct LWebPageFrame {
  // The status line, headers and page head without navigation links.
  void (*header)(LWebletForm& form);
  void (*footer)(LWebletForm& form);
  // A notice with one button that leads on to the form field "onok".
  void (*message)(LWebletForm& form, const char* okLabel, const char* message);
};

// The writers in use; the plain ones unless WLSetPageFrame was called.
const LWebPageFrame& WLPageFrame();
// Installs `frame`; a null member keeps the plain writer for that part.
// Call it once, before the web server starts.
void WLSetPageFrame(const LWebPageFrame& frame);

// The header every page response begins with, with the headers every page
// carries (http_responses.h: no sniffing, no framing by other sites).
inline constexpr char kLHttpPageHeader[] =
    "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\nContent-Type: "
    "text/html; charset=utf-8\r\nX-Content-Type-Options: nosniff\r\nX-Frame-Options: DENY\r\n"
    "Content-Security-Policy: frame-ancestors 'none'\r\n\r\n";
