#pragma once
// "api/v1/users": the users the caller may see.

class LWebletForm;

void WLApiUsers(LWebletForm& form);
