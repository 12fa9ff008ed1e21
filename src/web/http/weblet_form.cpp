#include "web/http/weblet_form.h"

#include <utility>

#include "foundation/text_limits.h"
#include "web/http/content_coding.h"
#include "web/http/query_buttons.h"
#include "web/http/static_file.h"

LWebletForm::LWebletForm(LThread& thread, LIPSocketTCP& socket, LByteTransport& transport,
                         LHttpRequest&& request, std::string remoteAddress)
    : thread_(thread),
      socket_(socket),
      transport_(transport),
      params_(std::move(request.params)),
      cookies_(std::move(request.cookies)),
      remoteAddress_(LCutText(remoteAddress)),
      headers_(std::move(request.headers)),
      pageName_(std::move(request.pageName)),
      method_(std::move(request.method)),
      versionMilli_(request.versionMilli),
      response_(thread, transport, LHttpAcceptsGzip(headers_.GetParm("Accept-Encoding"))) {
  // Only a posted form acts: whatever a query says, a GET shows a page.
  if (method_ != "POST") LWebletDropQueryButtons(params_);
  session_.SetThread(&thread_);
  session_.LoadSession(cookies_.GetParm("sess"));
}

LWebletForm::~LWebletForm() {
  (void)response_.Finish();
  (void)session_.FlushSession();
}

bool LWebletForm::ServeFile(const char* path) {
  return LWebletServeFile(&thread_, transport_, path != nullptr ? path : "", "", "");
}
