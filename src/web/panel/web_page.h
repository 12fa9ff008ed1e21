#pragma once
// LWebPage: a page object with navigation links and a page script. The
// dialogs (web_dialog.h) are built on it.

#include <string>
#include <string_view>

#include "web/panel/plain_web_page.h"

// One navigation link; an array of them ends with an entry whose text is
// null or empty.
struct LNavLinkData {
  const char* url;
  const char* text;
  bool newWindow;
};

class LWebPage : public LPlainWebPage {
 public:
  explicit LWebPage(LWebletForm& form) : LPlainWebPage(form) {}

  // Writes the page body.
  virtual void Generate() = 0;

  // Appends one link per entry to the navigation text. URLs are the pages'
  // own and may carry values, so both URL and text are HTML-escaped.
  void SetNavLinks(const LNavLinkData* links);
  const std::string& NavLinks() const { return navLinks_; }

  // Script code that the page writes after its body.
  void AddJScript(std::string_view code) { script_.append(code); }
  const std::string& Script() const { return script_; }

 private:
  std::string navLinks_;
  std::string script_;
};
