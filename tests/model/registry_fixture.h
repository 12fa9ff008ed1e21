#pragma once
// A fresh data root per test, with the paths of the registry's files.

#include <string>

#include "support/temp_root.h"

class RegistryTest : public KavrixTempRoot {
 protected:
  std::string UsersFile() const { return SharedFolder() + "/userslist"; }
  std::string UserRecord(int id) const { return UsersFile() + "_/" + std::to_string(id); }
  std::string TeamRecord(int id) const { return SharedFolder() + "/teamlist_/" + std::to_string(id); }
  std::string HolidayRecord(int id) const { return SharedFolder() + "/publicholidaylist_/" + std::to_string(id); }
  std::string LeaveTypeRecord(int id) const { return SharedFolder() + "/leavetypes_/" + std::to_string(id); }
  // The archive folder of a user whose folder name is `folder`.
  std::string ArchiveFolder(const std::string& folder) const { return SharedFolder() + "/Archive/" + folder; }
};
