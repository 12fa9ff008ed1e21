#include "web/pages/account/session_invalid_page.h"

#include "web/panel/access_rules.h"

void WLSessionInvalidPage(LWebletForm& form) { WLWriteSessionExpiredPage(form); }
