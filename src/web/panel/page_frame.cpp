#include "web/panel/page_frame.h"

#include <atomic>

#include "web/http/redirect_target.h"
#include "web/http/weblet_send.h"

namespace {

void PlainHeader(LWebletForm& form) {
  WLSendRaw(form, kLHttpPageHeader);
  WLSendRaw(form,
            "<html><head><title>KavrixServer</title><meta name=viewport content=\"width=device-width, initial-scale=1\"><link href=s.css type=text/css "
            "rel=stylesheet><link href=print.css type=text/css media=print "
            "rel=stylesheet></head><body>");
}

void PlainFooter(LWebletForm& form) { WLSendRaw(form, "</body></html>"); }

void PlainMessage(LWebletForm& form, const char* okLabel, const char* message) {
  WLPageFrame().header(form);
  const std::string target = LWebletSafeTarget(form.Params().GetParm("onok"), "mainpage");
  wfformat(form,
           "<center><p>%H</p><form action=\"%H\" method=get><input type=submit "
           "value=\"%H\"></form></center>",
           message, target, okLabel);
  WLPageFrame().footer(form);
}

// Set once at start-up by the page framework, read by every connection
// thread: an atomic pointer to a frame that is never freed.
const LWebPageFrame kPlainFrame{PlainHeader, PlainFooter, PlainMessage};
std::atomic<const LWebPageFrame*> gFrame{&kPlainFrame};

}  // namespace

const LWebPageFrame& WLPageFrame() { return *gFrame.load(); }

void WLSetPageFrame(const LWebPageFrame& frame) {
  static LWebPageFrame installed;
  installed.header = frame.header != nullptr ? frame.header : PlainHeader;
  installed.footer = frame.footer != nullptr ? frame.footer : PlainFooter;
  installed.message = frame.message != nullptr ? frame.message : PlainMessage;
  gFrame.store(&installed);
}
