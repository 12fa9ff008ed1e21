#pragma once
// The accounts a load run logs on with: a users file of one account a line,
// "email password team" (blank-separated, quotes allowed as in scripts; lines
// beginning with '#' are comments), and the set-up that creates such
// accounts in the registry of the data root the environment names.

#include <string>
#include <vector>

struct KXSimAccount {
  std::string email;
  std::string password;
  std::string team;  // may be empty when the file does not say
};

bool KXSimReadUsersFile(const std::string& path, std::vector<KXSimAccount>& accounts, std::string& error);

// The accounts KXSimMakeUsers creates: "sim0001@example.com" with password
// "pw0001" and so on, user i (from 0) in team "Team%02d" of number i % teams
// + 1, so that every team has count / teams members.
std::vector<KXSimAccount> KXSimMakeAccounts(int count, int teams);

// Adds the teams and users of KXSimMakeAccounts to the registry under
// KAVRIX_ROOT (users that exist already are kept) and writes them to
// `usersFile`. False with `error` set when a user or the file cannot be
// written.
bool KXSimMakeUsers(int count, int teams, const std::string& usersFile, std::string& error);
