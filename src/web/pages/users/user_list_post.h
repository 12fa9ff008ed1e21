#pragma once
// "userlistpost": the buttons of the staff list. Each acts on the ticked
// users: the form fields "check<N>" for N from 0 up to "count" minus 1.

#include <string>
#include <vector>

class LWebletForm;

void WLUserListPagePost(LWebletForm& form);

// The ticked addresses in the order of their numbers, blanks and line ends
// dropped, empty ones left out.
std::vector<std::string> KXUserListTicked(const LWebletForm& form);
