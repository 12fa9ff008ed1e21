#include "web/panel/standard_header.h"

#include "web/http/http_responses.h"
#include "web/http/weblet_send.h"
#include "web/panel/confirmation_line.h"

namespace {

constexpr char kHead[] =
    "<html><head><title>KavrixServer</title><meta name=viewport content=\"width=device-width, initial-scale=1\"><link href=s.css type=text/css "
    "rel=stylesheet><link href=print.css type=text/css media=print rel=stylesheet>";

// Grey page, white main table; its first row holds the title table.
constexpr char kBodyStart[] =
    "</head><body bgcolor=#e8e8e8><table class=kx-frame align=center width=96% height=96% cellpadding=20 "
    "cellspacing=0 bgcolor=#ffffff><tr valign=top height=1><td><table width=100% cellpadding=0 "
    "cellspacing=0 border=0>";

constexpr char kTitleCell[] =
    "<tr><td class=title><b>KavrixServer</b></td><td align=right valign=bottom>";

constexpr char kTitleEnd[] =
    "</td></tr><tr><td colspan=2><hr style=\"height:1px; color:#036\"></td></tr><tr><td "
    "colspan=2 height=5></td></tr></table></td></tr>";

// The save tool only works where the browser offers execCommand('SaveAs'),
// so the script writes it only there.
constexpr char kReportTools[] =
    "<tr><td colspan=2 align=right><div class=noprint><a href=\"javascript:window.print()\">"
    "<img src=\"print.gif\" width=16 height=16 border=0 alt=\"\">&nbsp;Print This Page</a>"
    "<script type=\"text/javascript\">if (IsIE()) document.write('&nbsp;&nbsp;<a "
    "href=\"javascript:document.execCommand(\\'SaveAs\\',true,\\'file.html\\')\"><img "
    "src=\"save.gif\" width=16 height=16 border=0 alt=\"\">&nbsp;Save This Page</a>');"
    "</script></div></td></tr>";

void WriteLinks(LWebletForm& form, std::string_view links) {
  wfformat(form, "<div class=noprint>%s</div>", links);
}

// `links` null: the head without the navigation division.
void WriteHeader(LWebletForm& form, const std::string_view* links, std::string_view contentRow) {
  WLSendRaw(form, kLHttpPageHeader);
  WLSendRaw(form, kHead);
  WLSendRaw(form, kBodyStart);
  WLSendRaw(form, kTitleCell);
  if (links != nullptr) WriteLinks(form, *links);
  WLSendRaw(form, kTitleEnd);
  WLSendRaw(form, contentRow);
  WLWriteConfirmation(form);
}

}  // namespace

void WLStandardHeader(LWebletForm& form) { WriteHeader(form, nullptr, "<tr valign=top><td>"); }

void WLStandardHeader(LWebletForm& form, std::string_view links) {
  WriteHeader(form, &links, "<tr valign=top><td>");
}

void WLStandardHeaderCenter(LWebletForm& form, std::string_view links) {
  WriteHeader(form, &links, "<tr valign=middle><td>");
}

void WLReportStandardHeader(LWebletForm& form, std::string_view links, std::string_view title) {
  WLSendRaw(form, kLHttpPageHeader);
  WLSendRaw(form, kHead);
  WLSendRaw(form,
            "<script type=\"text/javascript\">function IsIE() {return "
            "(navigator.userAgent.indexOf(\"IE\") != -1);}</script>");
  WLSendRaw(form, kBodyStart);
  wfformat(form, "<tr><td class=title>KavrixServer - %H</td><td align=right valign=bottom>",
           title);
  WriteLinks(form, links);
  WLSendRaw(form,
            "</td></tr><tr><td colspan=2><hr style=\"height:1px; color:#036\"></td></tr>");
  WLSendRaw(form, kReportTools);
  WLSendRaw(form, "<tr><td colspan=2 height=5></td></tr></table></td></tr><tr valign=top><td>");
  WLWriteConfirmation(form);
}

void WLStandardFooter(LWebletForm& form) {
  WLSendRaw(form,
            "</td></tr><tr height=1><td align=center class=noprint><small>KavrixServer &middot; "
            "staff time and leave by Mardel &middot; <a href=\"help/index.html\" "
            "target=\"_blank\">About</a></small></td></tr></table></body></html>");
}
