#pragma once
// The script language of kavrixstation-sim: one command a line, words as
// KXSimSplitWords splits them (see KXSimUsageText for the commands). Sends
// happen at once; messages from the server are read and printed only while
// the script waits ("wait", "listen"), so the printed lines come in the
// order the server sent them.

#include <functional>
#include <string>
#include <string_view>

#include "sim_station.h"

class KXSimScriptRunner {
 public:
  using Printer = std::function<void(const std::string& line)>;

  // `answerPicture`: when not empty, every screen request is answered at
  // once with these bytes (JPEG when they begin FF D8, else a bitmap).
  KXSimScriptRunner(KXSimStation& station, Printer print, std::string answerPicture = {});

  // Runs one script line. False with `error` set for a malformed command
  // or a send that failed; empty and comment lines do nothing.
  bool RunLine(std::string_view line, std::string& error);

  // Reads and prints messages for `ms` milliseconds (or, with ms < 0, until
  // the server closes). Prints "closed" once when the connection ends.
  void Pump(int ms);

  bool Closed() const { return closed_; }

 private:
  bool RunWords(const std::vector<std::string>& words, std::string& error);
  bool Presence(const std::vector<std::string>& words, std::string& error);
  bool Screenshot(const std::string& file, std::string& error);
  void HandleMessage(const KXSimMessage& message);

  KXSimStation& station_;
  Printer print_;
  std::string answerPicture_;
  bool closed_ = false;
};

// Reads a whole file into `bytes`; false when it cannot be read.
bool KXSimReadFile(const std::string& path, std::string& bytes);
