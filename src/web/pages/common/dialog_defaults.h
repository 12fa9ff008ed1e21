#pragma once
// Every dialog handler names the pages its dialog goes to after OK and
// after Cancel, unless the link that opened it named its own ("onok" and
// "oncancel" in the query string take precedence).

class LWebletForm;

// Sets the form fields "onok" and "oncancel" to the given pages where they
// are empty.
void WLDefaultDialogTargets(LWebletForm& form, const char* onOk, const char* onCancel);
