#pragma once
// "userlist.csv" and "userimport": the user list as a CSV file for
// administrators, in the layout of the control window's export and import
// (model/user_list_csv.h). An import is shown first, row by row, with what
// it would add or change and any row the add-user form would refuse; it is
// stored only when every row passes, and only by a POST of "Import".

#include <string>

#include "web/panel/kx_web_page.h"

void WLUserListCSV(LWebletForm& form);
void WLUserImportPage(LWebletForm& form);

class LKXUserImportPage : public LKXWebPage {
 public:
  explicit LKXUserImportPage(LWebletForm& form);
  void Generate() override;

 private:
  // True when it wrote the whole answer (a confirmation or a result).
  bool WritePreview(const std::string& csv, bool apply);
};

inline constexpr char kKXImportPreview[] = "Preview";
inline constexpr char kKXImportApply[] = "Import";
inline constexpr char kKXImportEmpty[] = "The file holds no users.";
inline constexpr char kKXImportRefused[] = "Nothing was imported: please correct the rows marked below.";
inline constexpr char kKXImportFailed[] = "Some users could not be stored. Please try again.";
