#include "desktop/user_autostart.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "desktop/desktop_entry.h"
#include "foundation/settings_sections.h"
#include "foundation/unique_fd.h"
#include "foundation/write_all.h"
#include "service/service_paths.h"

namespace {

// A session file larger than this is not one GNOME wrote; it is left alone.
constexpr off_t kMaxSessionFileBytes = 1 << 20;
constexpr char kScratchName[] = ".kavrixserver-autostart~";

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

void AddAccount(const passwd& entry, std::vector<LDesktopUserAccount>& accounts) {
  const std::string name = entry.pw_name != nullptr ? entry.pw_name : "";
  if (name.empty() || name == "root" || name == "nobody") return;
  accounts.push_back({name, entry.pw_uid, entry.pw_gid, entry.pw_dir != nullptr ? entry.pw_dir : ""});
}

bool OwnedBy(int fd, const LDesktopUserAccount& account, mode_t type) {
  struct stat info {};
  return fstat(fd, &info) == 0 && (info.st_mode & S_IFMT) == type && info.st_uid == account.uid;
}

// The folder `name` inside `parent`, never through a link, owned by the user;
// made (and handed to the user) when `create` and missing.
LUniqueFd OpenFolder(int parent, const char* name, const LDesktopUserAccount& account, bool create) {
  if (create && mkdirat(parent, name, 0755) == 0) {
    LUniqueFd made(openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!made || fchown(made.Get(), account.uid, account.gid) != 0) return {};
    return made;
  }
  LUniqueFd folder(openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder || !OwnedBy(folder.Get(), account, S_IFDIR)) return {};
  return folder;
}

bool Present(int parent, const char* name) {
  struct stat info {};
  return fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// Writes a fresh file of the user and renames it over `name`: whatever was
// planted under that name (a link included) is replaced, never written
// through.
bool ReplaceFile(int folder, const char* name, const std::string& bytes, const LDesktopUserAccount& account) {
  (void)unlinkat(folder, kScratchName, 0);
  LUniqueFd out(openat(folder, kScratchName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (!out) return false;
  const bool written = fchown(out.Get(), account.uid, account.gid) == 0 && LWriteAll(out.Get(), bytes) &&
                       fsync(out.Get()) == 0;
  out.Reset();
  if (!written || renameat(folder, kScratchName, folder, name) != 0) {
    (void)unlinkat(folder, kScratchName, 0);
    return false;
  }
  return true;
}

bool RemoveFile(int folder, const char* name) { return unlinkat(folder, name, 0) == 0 || errno == ENOENT; }

// The session file's text; false when it is there but is not a plain file
// of the user with one name (a hard link to a file the user may not read
// would otherwise be copied into the user's own file).
bool ReadSessionFile(int folder, const LDesktopUserAccount& account, std::string& text) {
  text.clear();
  LUniqueFd in(openat(folder, "session-manual", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!in) return errno == ENOENT;
  struct stat info {};
  if (fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != account.uid || info.st_nlink != 1 ||
      info.st_size > kMaxSessionFileBytes) {
    return false;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(in.Get(), buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) return true;
    text.append(buffer, static_cast<size_t>(got));
  }
}

bool SetGnomeSession(int gnome, const LDesktopUserAccount& account, bool on) {
  std::string text;
  if (!ReadSessionFile(gnome, account, text)) return false;
  if (!on && text.empty()) return true;
  const std::string changed = LGnomeSessionWithProgram(text, on);
  return changed == text || ReplaceFile(gnome, "session-manual", changed, account);
}

bool SetEntryIn(int folder, bool on, const LDesktopUserAccount& account) {
  return on ? ReplaceFile(folder, kLDesktopEntryName, LDesktopEntryText(LServiceProgramPath()), account)
            : RemoveFile(folder, kLDesktopEntryName);
}

// One "N,Key=value" line of section "Default": the client number, or -1.
int ClientIndex(const std::string& line, std::string* rest = nullptr) {
  const size_t comma = line.find(',');
  if (comma == 0 || comma == std::string::npos || line.find('=') < comma) return -1;
  for (size_t i = 0; i < comma; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
  }
  if (rest != nullptr) *rest = line.substr(comma);
  return atoi(line.substr(0, comma).c_str());
}

}  // namespace

std::vector<LDesktopUserAccount> LDesktopListUserAccounts(const std::string& passwdFile) {
  std::vector<LDesktopUserAccount> accounts;
  if (passwdFile.empty()) {
    setpwent();
    while (const passwd* entry = getpwent()) AddAccount(*entry, accounts);
    endpwent();
    return accounts;
  }
  std::unique_ptr<FILE, FileCloser> file(fopen(passwdFile.c_str(), "re"));
  if (file == nullptr) return accounts;
  while (const passwd* entry = fgetpwent(file.get())) AddAccount(*entry, accounts);
  return accounts;
}

namespace {

// The section's lines with our client added as client `count`, before the
// blank lines that end the section.
std::vector<std::string> SectionWithClient(const std::vector<std::string>& lines, size_t begin, size_t end,
                                           int count) {
  std::vector<std::string> section(lines.begin() + static_cast<long>(begin), lines.begin() + static_cast<long>(end));
  const std::string n = std::to_string(count);
  auto at = section.end();
  while (at != section.begin() && (at - 1)->empty()) --at;
  for (const std::string& key : {std::string("Program=") + kLAutostartProgram,
                                 std::string("RestartCommand=") + kLAutostartProgram, std::string("Priority=50"),
                                 std::string("RestartStyleHint=3")}) {
    at = section.insert(at, n + "," + key);
  }
  return section;
}

// The session manager reads clients 0 to num_clients - 1: the ones after a
// removed client move down to close the gap.
std::vector<std::string> SectionWithoutClients(const std::vector<std::string>& lines, size_t begin, size_t end,
                                               const std::vector<int>& ours) {
  std::vector<std::string> section;
  for (size_t i = begin; i < end; ++i) {
    std::string rest;
    const int index = ClientIndex(lines[i], &rest);
    if (index < 0) {
      section.push_back(lines[i]);
      continue;
    }
    int below = 0;
    bool removed = false;
    for (int gone : ours) {
      removed = removed || gone == index;
      below += gone < index ? 1 : 0;
    }
    if (!removed) section.push_back(std::to_string(index - below) + rest);
  }
  return section;
}

void SetClientCount(std::vector<std::string>& section, int count) {
  bool countWritten = false;
  for (std::string& line : section) {
    if (line.rfind("num_clients=", 0) == 0) {
      line = "num_clients=" + std::to_string(count);
      countWritten = true;
    }
  }
  // Right under the section name, where GNOME writes it.
  if (!countWritten) section.insert(section.begin(), "num_clients=" + std::to_string(count));
}

}  // namespace

std::string LGnomeSessionWithProgram(const std::string& text, bool on) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  size_t begin = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == "[Default]") begin = i + 1;
  }
  if (begin == lines.size() && (lines.empty() || lines.back() != "[Default]")) {
    if (!on) return text;
    lines.push_back("[Default]");
    begin = lines.size();
  }
  size_t end = begin;
  while (end < lines.size() && (lines[end].empty() || lines[end][0] != '[')) ++end;

  const std::string program = std::string(",Program=") + kLAutostartProgram;
  std::vector<int> ours;
  int count = 0;
  int highest = 0;
  for (size_t i = begin; i < end; ++i) {
    std::string rest;
    const int index = ClientIndex(lines[i], &rest);
    if (index >= 0 && rest == program) ours.push_back(index);
    if (index >= highest) highest = index + 1;
    if (lines[i].rfind("num_clients=", 0) == 0) count = atoi(lines[i].c_str() + 12);
  }
  // A count that lags behind the clients would make the new one overwrite
  // the last of them.
  if (count < highest) count = highest;
  if (on == !ours.empty()) return text;

  std::vector<std::string> section;
  if (on) {
    section = SectionWithClient(lines, begin, end, count);
    count += 1;
  } else {
    section = SectionWithoutClients(lines, begin, end, ours);
    count = std::max(0, count - static_cast<int>(ours.size()));
  }
  SetClientCount(section, count);
  std::string out;
  for (size_t i = 0; i < begin; ++i) out += lines[i] + "\n";
  for (const std::string& line : section) out += line + "\n";
  for (size_t i = end; i < lines.size(); ++i) out += lines[i] + "\n";
  return out;
}

bool LDesktopSetUserAutostart(const LDesktopUserAccount& account, bool on) {
  if (account.home.empty() || account.home[0] != '/') return true;
  LUniqueFd home(open(account.home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!home || !OwnedBy(home.Get(), account, S_IFDIR)) return true;

  if (!on) {
    // Whichever registration an earlier installation made is taken out.
    bool ok = true;
    if (Present(home.Get(), ".kde")) {
      LUniqueFd kde = OpenFolder(home.Get(), ".kde", account, false);
      if (!kde) return false;
      if (Present(kde.Get(), "Autostart")) {
        LUniqueFd folder = OpenFolder(kde.Get(), "Autostart", account, false);
        ok = folder && SetEntryIn(folder.Get(), false, account);
      }
    }
    if (Present(home.Get(), ".gnome2")) {
      LUniqueFd gnome = OpenFolder(home.Get(), ".gnome2", account, false);
      ok = gnome && SetGnomeSession(gnome.Get(), account, false) && ok;
    }
    if (Present(home.Get(), ".config")) {
      LUniqueFd config = OpenFolder(home.Get(), ".config", account, false);
      if (!config) return false;
      if (Present(config.Get(), "autostart")) {
        LUniqueFd folder = OpenFolder(config.Get(), "autostart", account, false);
        ok = folder && SetEntryIn(folder.Get(), false, account) && ok;
      }
    }
    return ok;
  }

  LUniqueFd kde = Present(home.Get(), ".kde") ? OpenFolder(home.Get(), ".kde", account, false) : LUniqueFd();
  if (kde && Present(kde.Get(), "Autostart")) {
    LUniqueFd folder = OpenFolder(kde.Get(), "Autostart", account, false);
    return folder && SetEntryIn(folder.Get(), true, account);
  }
  if (Present(home.Get(), ".gnome2")) {
    LUniqueFd gnome = OpenFolder(home.Get(), ".gnome2", account, false);
    return gnome && SetGnomeSession(gnome.Get(), account, true);
  }
  LUniqueFd config = OpenFolder(home.Get(), ".config", account, true);
  LUniqueFd folder = config ? OpenFolder(config.Get(), "autostart", account, true) : LUniqueFd();
  return folder && SetEntryIn(folder.Get(), true, account);
}

bool LDesktopSetAutoRunForAllUsers(bool on, const std::string& passwdFile) {
  bool ok = true;
  for (const LDesktopUserAccount& account : LDesktopListUserAccounts(passwdFile)) {
    ok = LDesktopSetUserAutostart(account, on) && ok;
  }
  return LSettingSetString("Settings", "AutoRun", on ? "1" : "0") && ok;
}
