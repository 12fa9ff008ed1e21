#pragma once
// "api/v1/presence": who is connected now, in which state, since when.

class LWebletForm;

void WLApiPresence(LWebletForm& form);
