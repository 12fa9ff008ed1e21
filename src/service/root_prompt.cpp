#include "service/root_prompt.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Set once by the desktop before its window runs; read by any thread.
std::atomic<LServiceMessageHandler> gMessageHandler{nullptr};

struct RootPrompt {
  const char* program;
  const char* prefix;  // the prompt's command line before the command
};

// The order is the order of preference.
constexpr RootPrompt kRootPrompts[] = {
    {"gksu", "gksu -- "},
    {"kdesudo", "kdesudo -- "},
    {"kdesu", "kdesu -- "},
};

bool ProgramIsInstalled(const char* program) {
  // which prints the path it finds; only its exit status matters here.
  return LRunShellCommand(std::string("which ") + program + " >/dev/null 2>&1");
}

}  // namespace

bool LIsUserRoot() {
  if (getuid() == 0) return true;
  const char* user = getenv("USER");
  return user != nullptr && strcmp(user, "root") == 0;
}

bool LRunShellCommand(const std::string& command) {
  const int status = system(command.c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string LRootPromptCommand(const std::string& command) {
  for (const RootPrompt& prompt : kRootPrompts) {
    if (ProgramIsInstalled(prompt.program)) return prompt.prefix + command;
  }
  return {};
}

bool LRunCommandAsRootPromptAs(const std::string& command, bool userIsRoot) {
  if (userIsRoot) return LRunShellCommand(command);
  const std::string prompted = LRootPromptCommand(command);
  if (prompted.empty()) {
    LServiceShowMessage("Neither gksu or kdesu were found",
                        "You must run this program as a Root User to be able to execute this command " +
                            command);
    return false;
  }
  return LRunShellCommand(prompted);
}

bool LRunCommandAsRootPrompt(const std::string& command) {
  return LRunCommandAsRootPromptAs(command, LIsUserRoot());
}

void LServiceSetMessageHandler(LServiceMessageHandler handler) { gMessageHandler.store(handler); }

void LServiceShowMessage(const std::string& title, const std::string& text) {
  if (LServiceMessageHandler handler = gMessageHandler.load()) {
    handler(title, text);
    return;
  }
  printf("%s\n%s\n", title.c_str(), text.c_str());
  fflush(stdout);
}
