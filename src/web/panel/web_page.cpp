#include "web/panel/web_page.h"

#include "web/text/format_language.h"

void LWebPage::SetNavLinks(const LNavLinkData* links) {
  if (links == nullptr) return;
  LStringAppender out(navLinks_);
  for (const LNavLinkData* link = links; link->text != nullptr && *link->text != '\0'; ++link) {
    tplformat(out, "<a href=\"%H\" class=toptext%s>%H</a>&nbsp;&nbsp;", link->url,
              link->newWindow ? " target=_blank" : "", link->text);
  }
}
