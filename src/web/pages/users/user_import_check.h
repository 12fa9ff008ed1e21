#pragma once
// Checking the rows of a user list file before the control panel imports
// it: each row must pass what the add-user form asks of a new user, and the
// file must leave at least one administrator.

#include <string>
#include <vector>

#include "model/user_list_csv.h"

struct LKXImportPlan {
  struct Row {
    LKXUserListCSVRow data;
    bool exists = false;
    std::string changes;  // the changed fields of an existing user, joined by ", "
    std::string problem;  // empty when the row may be stored
  };
  std::vector<Row> rows;
  bool ok = true;  // no row has a problem
};

LKXImportPlan KXPlanUserImport(const std::vector<LKXUserListCSVRow>& rows);

inline constexpr char kKXImportTwice[] = "This Email address appears twice in the file.";
inline constexpr char kKXImportBadCarryOver[] =
    "The days carried over must read year:days, joined by commas (2026:3,2027:1).";
