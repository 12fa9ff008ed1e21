#pragma once
// The "Today" panel written out: HTML for the main page, JSON for its
// refresh.

#include <string>

#include "web/pages/account/today_panel.h"

class LWebletForm;

// The panel as HTML (every value escaped) and as JSON.
void WLWriteTodayPanel(LWebletForm& form, const LKXToday& today);
std::string KXTodayJson(const LKXToday& today);

// "today.json": a session is needed; without one the answer is 403.
void WLTodayJson(LWebletForm& form);
