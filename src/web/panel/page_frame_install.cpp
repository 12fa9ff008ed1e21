#include "web/panel/page_frame_install.h"

#include "web/panel/message_page.h"
#include "web/panel/page_frame.h"
#include "web/panel/standard_header.h"

namespace {

void FrameHeader(LWebletForm& form) { WLStandardHeader(form); }

void FrameMessage(LWebletForm& form, const char* okLabel, const char* message) {
  LKXMessagePage page(form, okLabel != nullptr ? okLabel : "", message != nullptr ? message : "");
  page.Run();
}

}  // namespace

void WLInstallPageFrame() {
  WLSetPageFrame(LWebPageFrame{FrameHeader, WLStandardFooter, FrameMessage});
}
