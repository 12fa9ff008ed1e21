#pragma once
// Collects one line of a request the way the connection receives it: every
// byte except CR is kept until the LF that ends the line; bytes beyond the
// capacity are dropped while the rest of the line is still consumed, so an
// overlong line is cut, never rejected, and the next line starts in step.
//
// The socket side peeks at what has arrived, hands it to Feed and then takes
// from the socket exactly the bytes Feed consumed; bytes after the LF stay in
// the socket for the next line (or for the body of a POST).

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/text_limits.h"

class LHttpLineReader {
 public:
  explicit LHttpLineReader(std::size_t capacity = kLMaxText) : capacity_(capacity) {}

  // Takes bytes up to and including the LF that completes the line (or all
  // of `data` when it holds no LF) and returns how many it took. Takes
  // nothing once the line is complete.
  std::size_t Feed(const char* data, std::size_t length);
  std::size_t Feed(std::string_view data) { return Feed(data.data(), data.size()); }

  // The peer closed the connection. A line of which some bytes arrived ends
  // there and is complete; true when that happened, false when nothing of
  // the line had arrived (the connection then ends).
  bool EndOfInput();

  bool Complete() const { return complete_; }
  // True once any byte of this line arrived, a CR included.
  bool Started() const { return started_; }
  // The line without CR bytes and without its LF, cut to the capacity.
  std::string_view Line() const { return line_; }
  // Makes the reader ready for the next line.
  void Reset();

 private:
  std::size_t capacity_;
  std::string line_;
  bool started_ = false;
  bool complete_ = false;
};
