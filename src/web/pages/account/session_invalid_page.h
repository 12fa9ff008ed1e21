#pragma once
// "sessioninvalid": where a page sends a browser whose session has ended.

class LWebletForm;

// The session-expired page.
void WLSessionInvalidPage(LWebletForm& form);
