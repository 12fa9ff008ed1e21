#pragma once
// Running a command with root rights: directly when this process is root,
// otherwise through the first graphical root prompt found on the machine.

#include <string>

// True when the real user id is 0 or USER is "root" (unset counts as not).
bool LIsUserRoot();

// Runs `command` with the system shell; true when it exits normally with 0.
[[nodiscard]] bool LRunShellCommand(const std::string& command);

// Runs `command` as root: with the system shell when the user is root, else
// through "gksu -- %s", "kdesudo -- %s" or "kdesu -- %s", the first whose
// program `which` finds. When there is none, the message "You must run this
// program as a Root User to be able to execute this command %s" titled
// "Neither gksu or kdesu were found" is shown and the result is false.
[[nodiscard]] bool LRunCommandAsRootPrompt(const std::string& command);
// The same with the root test given, so that both ways can be exercised.
[[nodiscard]] bool LRunCommandAsRootPromptAs(const std::string& command, bool userIsRoot);

// The command line that runs `command` through the first root prompt found,
// or an empty text when none is installed.
std::string LRootPromptCommand(const std::string& command);

// Where messages for the person at the machine go. Without a handler (the
// console and the service) they are printed on standard output.
using LServiceMessageHandler = void (*)(const std::string& title, const std::string& text);
void LServiceSetMessageHandler(LServiceMessageHandler handler);
void LServiceShowMessage(const std::string& title, const std::string& text);
