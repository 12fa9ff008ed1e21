#pragma once
// "api/v1/leave?user=&year=": the leave records of a year.

#include <string>
#include <vector>

class LWebletForm;

void WLApiLeave(LWebletForm& form);

// The body, apart from the request so that the benchmarks time it.
std::string KXApiLeaveJson(const std::vector<std::string>& emails, const std::string& year);
