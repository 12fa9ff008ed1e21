#include "web/pages/account/session_invalid_page.h"

#include "web/panel/current_user.h"

void WLSessionInvalidPage(LWebletForm& form) { WLWriteSessionExpiredPage(form); }
