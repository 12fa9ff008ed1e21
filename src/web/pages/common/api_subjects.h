#pragma once
// Which users a call of the read API covers.

#include <string>
#include <string_view>
#include <vector>

#include "model/user.h"

class LWebletForm;

// The users a call covers: `user` itself, or when empty every user `viewer`
// may see. False when the call cannot go on; its refusal (404 for an unknown
// address, 403 for one the viewer may not see) has then been sent.
bool WLApiSubjects(LWebletForm& form, LKXUser& viewer, std::string_view user, std::vector<std::string>& emails);
