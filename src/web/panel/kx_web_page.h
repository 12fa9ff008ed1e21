#pragma once
// LKXWebPage: report and list pages. Open() writes the standard head (the
// report head when a report title is set), one form posting to the page's
// action, the body that Generate writes, the page script and the footer.
// The page object makes no access check: its handler or Generate does.
//
// Script conventions of the search bar (search_bar.cpp): each of its inputs
// calls evChange(<name>) when changed, and the bar's own page script defines
// evChange, which keeps the links "goPrev", "goNext" and "editmode" in step
// with the inputs. A page that sets SetOnApply(true) must define onapply()
// in its page script; the form calls it on submit.

#include <string>
#include <string_view>

#include "web/http/query_buttons.h"

class LWebletForm;

class LKXWebPage {
 public:
  static constexpr std::size_t kMaxNavText = 519;
  static constexpr const auto& kSearchLabel = kLSearchButtonLabel;

  // `action`: the page the form posts to; `helpFile`: "help/<helpFile>"
  // (e.g. "timesheet.html"); `reportTitle` empty for ordinary pages.
  LKXWebPage(LWebletForm& form, std::string_view action, std::string_view helpFile,
             std::string_view reportTitle);
  virtual ~LKXWebPage() = default;
  LKXWebPage(const LKXWebPage&) = delete;
  LKXWebPage& operator=(const LKXWebPage&) = delete;

  virtual void InitDialog() {}
  virtual void Generate() = 0;

  void Open();

  void AddJScriptFunction(std::string_view code) { script_.append(code); }
  // Hidden form fields, written at once.
  void AddInputHidden(std::string_view name, int number);
  void AddInputHidden(std::string_view name, std::string_view text);
  // The "daterange" select between `before` and `after` (HTML written as
  // it is), and changedates() for the inputs `startId` and `endId`.
  void AddDateRangeSelect(std::string_view startId, std::string_view endId,
                          std::string_view before, std::string_view after);

  void SetOnApply(bool onApply) { onApply_ = onApply; }
  LWebletForm& Form() const { return form_; }
  const std::string& Action() const { return action_; }
  const std::string& NavText() const { return navText_; }
  const std::string& Script() const { return script_; }

 private:
  LWebletForm& form_;
  std::string navText_;
  std::string action_;
  bool onApply_ = false;
  std::string script_;
  std::string reportTitle_;
};
