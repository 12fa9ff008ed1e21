#pragma once
// The whole panel URL table on a loopback port, on 2026-03-10 (UTC), with
// the default leave types and an office of six:
//   boss   administrator
//   hr     "AccessHR", managed by boss
//   mgr    managed by boss           staff   managed by mgr
//   mgr2   managed by boss           staff2  managed by mgr2, team "Sales"
// Every password is "pw".

#include <string>

#include "panel_fixture.h"

class LeavePagesTest : public PanelTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  static std::string LogPath(const std::string& user, const std::string& year);
  static std::string ReadLog(const std::string& user, const std::string& year);
  static void WriteLog(const std::string& user, const std::string& year, const std::string& bytes);
  // The session of a user, logged on once per test.
  std::string Session(const std::string& name);
  // Posts the leave form of `name`; `extra` is appended to the fields.
  std::string PostForm(const std::string& name, const std::string& from, const std::string& to,
                       const std::string& extra = "");
  static bool Flag(const std::string& user, const char* key);
  static std::string Text(const std::string& user, const char* key);
};

// Full addresses of the fixture's users.
std::string Mail(const std::string& name);
