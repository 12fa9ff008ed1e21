#pragma once
// "mainpage": the start page of every logged-on user. Its sections and links
// follow the user's roles (administrator, accountant, manager) and the three
// modules the organisation has switched on (activity monitoring, work hours,
// leave).

class LWebletForm;

void WLMainPage(LWebletForm& form);
