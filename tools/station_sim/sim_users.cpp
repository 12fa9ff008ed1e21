#include "sim_users.h"

#include <cstdio>
#include <fstream>

#include "model/teams.h"
#include "model/users.h"
#include "sim_text.h"

bool KXSimReadUsersFile(const std::string& path, std::vector<KXSimAccount>& accounts, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read users file " + path;
    return false;
  }
  accounts.clear();
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::vector<std::string> words;
    if (!KXSimSplitWords(line, words, error)) {
      error = path + ":" + std::to_string(number) + ": " + error;
      return false;
    }
    if (words.empty()) continue;
    if (words.size() < 2 || words.size() > 3) {
      error = path + ":" + std::to_string(number) + ": expected: email password [team]";
      return false;
    }
    accounts.push_back({words[0], words[1], words.size() == 3 ? words[2] : std::string()});
  }
  return true;
}

std::vector<KXSimAccount> KXSimMakeAccounts(int count, int teams) {
  std::vector<KXSimAccount> accounts;
  for (int i = 0; i < count; ++i) {
    char email[64];
    char password[32];
    char team[32];
    std::snprintf(email, sizeof email, "sim%04d@example.com", i + 1);
    std::snprintf(password, sizeof password, "pw%04d", i + 1);
    std::snprintf(team, sizeof team, "Team%02d", i % (teams > 0 ? teams : 1) + 1);
    accounts.push_back({email, password, team});
  }
  return accounts;
}

bool KXSimMakeUsers(int count, int teams, const std::string& usersFile, std::string& error) {
  const std::vector<KXSimAccount> accounts = KXSimMakeAccounts(count, teams);
  for (const KXSimAccount& account : accounts) {
    if (!KXTeamExists(account.team)) KXAddTeam(account.team);
    if (KXUserExists(account.email)) continue;
    if (!KXAddUser(account.email, "Sim " + account.email.substr(0, 7), false, false, account.team, "",
                   account.password)) {
      error = "cannot add user " + account.email;
      return false;
    }
  }
  std::ofstream out(usersFile, std::ios::trunc);
  for (const KXSimAccount& account : accounts) {
    out << account.email << ' ' << account.password << ' ' << account.team << '\n';
  }
  out.close();
  if (!out) {
    error = "cannot write users file " + usersFile;
    return false;
  }
  return true;
}
