#include "web/session/session_end.h"

#include <dirent.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/log.h"
#include "model/registry_text.h"
#include "web/session/weblet_session.h"

namespace {

constexpr std::string_view kSessionSuffix = ".sess";

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

std::vector<std::string> SessionIds(const std::string& folder) {
  std::vector<std::string> ids;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return ids;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() <= kSessionSuffix.size() || !name.ends_with(kSessionSuffix)) continue;
    ids.emplace_back(name.substr(0, name.size() - kSessionSuffix.size()));
  }
  return ids;
}

}  // namespace

int LWebletEndUserSessions(std::string_view email, std::string_view keepId) {
  if (email.empty()) return 0;
  int ended = 0;
  for (const std::string& id : SessionIds(LWebletSessionData::Folder())) {
    if (id == keepId) continue;
    LWebletSessionData session;
    session.LoadSession(id);
    if (!session.IsValid() || session.GetBool("stacon", false)) continue;
    if (!KXSameName(session.GetParm("user"), email)) continue;
    session.DeleteSession();
    ++ended;
  }
  if (ended > 0) {
    LOGF("The password of %.*s changed: %d other web session(s) ended.",
         static_cast<int>(email.size()), email.data(), ended);
  }
  return ended;
}
