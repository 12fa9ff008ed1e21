#pragma once
// Delivery through the local sendmail program. It is started without a
// shell, as "sendmail -f <sender> -oi -t" with each part one argument, so
// no text of the settings can become a command; the message goes to its
// standard input and its exit status decides the result.

#include <string>
#include <vector>

#include "foundation/process_result.h"

class LThread;

// How long sendmail may take to accept a message before it is given up.
inline constexpr int kLSendmailTimeoutMs = 60000;

struct LEmailSendProcessSendMail {
  std::string to;
  std::string from;
  std::string subject;
  std::string body;
  std::vector<std::string> attachments;
};

// The sendmail program: "sendmail" in a folder of PATH, or in /usr/sbin,
// which is where it lives although a service's PATH often lacks it. Empty
// when there is none.
std::string LFindSendmail();

// kLProcessDone when sendmail took the message and ended with status 0;
// kLProcessStopped when the thread was asked to stop (sendmail is then
// ended); kLProcessFailed otherwise, logged.
[[nodiscard]] LProcessResult Process(LThread* thread, const LEmailSendProcessSendMail& mail);
