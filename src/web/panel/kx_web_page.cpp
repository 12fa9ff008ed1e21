#include "web/panel/kx_web_page.h"

#include "foundation/text_limits.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/date_range_select.h"
#include "web/panel/html_list.h"
#include "web/panel/standard_header.h"

LKXWebPage::LKXWebPage(LWebletForm& form, std::string_view action, std::string_view helpFile,
                       std::string_view reportTitle)
    : form_(form), action_(LCutText(action)), reportTitle_(LCutText(reportTitle)) {
  navText_ = LCutText(
      LHtmlFormatChecked("<a href=\"mainpage\" class=toptext>Main</a>&nbsp;|&nbsp;<a "
                         "href=\"logout\" class=toptext>Logout</a>&nbsp;|&nbsp;<a "
                         "href=\"help/%H\" target=\"_blank\" class=toptext>Help</a>",
                         helpFile),
      kMaxNavText);
}

void LKXWebPage::Open() {
  InitDialog();
  if (!reportTitle_.empty()) {
    WLReportStandardHeader(form_, navText_, reportTitle_);
  } else {
    WLStandardHeader(form_, navText_);
  }
  WLSendRaw(form_, "<table class=kx-page style=\"width: 100%; height: 100%\"><tr valign=top><td>");
  if (onApply_) {
    wfformat(form_, "<form action=\"%H\" method=post onSubmit=onapply()>", action_);
  } else {
    wfformat(form_, "<form action=\"%H\" method=post>", action_);
  }
  // Ids of valid sessions have a fixed shape of letters and digits.
  if (form_.Session().IsValid()) {
    wfformat(form_, "<input type=hidden name=sess value=%s>", form_.Session().Id());
  }
  Generate();
  if (!script_.empty()) {
    wfformat(form_,
             "\r\n<script language=javascript type=\"text/javascript\">\r\n<!--\r\n%s\r\n//-->"
             "\r\n</script>\r\n",
             script_);
  }
  WLSendRaw(form_, "</form></td></tr></table>");
  WLStandardFooter(form_);
}

void LKXWebPage::AddInputHidden(std::string_view name, int number) {
  wfformat(form_, "<input name=%s type=hidden value=\"%d\"/>", name, number);
}

void LKXWebPage::AddInputHidden(std::string_view name, std::string_view text) {
  wfformat(form_, "<input name=%s type=hidden value=\"%H\"/>", name, text);
}

void LKXWebPage::AddDateRangeSelect(std::string_view startId, std::string_view endId,
                                    std::string_view before, std::string_view after) {
  WLSendRaw(form_, before);
  WLSendRaw(form_, LDateRangeSelectHtml("daterange"));
  WLSendRaw(form_, after);
  AddJScriptFunction(LDateRangeScript(startId, endId));
}
