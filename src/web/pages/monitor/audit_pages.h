#pragma once
// "auditlog": the access audit of a day for administrators; "myaudit": who
// looked at the current user's own data on a day. The day is the field
// "date" ("YYYY-MM-DD"), today when absent or not a date.

class LWebletForm;

void WLAuditLogPage(LWebletForm& form);
void WLMyAuditPage(LWebletForm& form);
