#include "sim_script.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "sim_text.h"

namespace {

bool ParseU16(const std::string& text, std::uint16_t& out) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 65535) return false;
  out = static_cast<std::uint16_t>(value);
  return true;
}

// Seconds as a decimal with an optional fraction ("2", "0.5"), at most a day.
bool ParseSeconds(const std::string& text, int& ms) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(seconds >= 0) || seconds > 86400) return false;
  ms = static_cast<int>(seconds * 1000);
  return true;
}

std::uint32_t NowSeconds() { return static_cast<std::uint32_t>(std::time(nullptr)); }

bool IsJpeg(const std::string& bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8;
}

bool Usage(std::string& error, const char* form) {
  error = std::string("usage: ") + form;
  return false;
}

}  // namespace

bool KXSimReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

KXSimScriptRunner::KXSimScriptRunner(KXSimStation& station, Printer print, std::string answerPicture)
    : station_(station), print_(std::move(print)), answerPicture_(std::move(answerPicture)) {}

bool KXSimScriptRunner::RunLine(std::string_view line, std::string& error) {
  std::vector<std::string> words;
  if (!KXSimSplitWords(line, words, error)) return false;
  if (words.empty()) return true;
  if (!RunWords(words, error)) return false;
  return true;
}

bool KXSimScriptRunner::RunWords(const std::vector<std::string>& w, std::string& error) {
  const std::string& verb = w[0];
  const std::size_t n = w.size();
  bool sent = true;
  if (verb == "activity") {
    LKXActivityRecord r;
    const bool isPrivate = n == 7 && w[6] == "private";
    if ((n != 6 && !isPrivate) || !ParseU16(w[3], r.duration) || !ParseU16(w[4], r.keys) ||
        !ParseU16(w[5], r.clicks)) {
      return Usage(error, "activity APP CAPTION SECONDS KEYS CLICKS [private]");
    }
    // The record describes the time just passed, as a station reports it.
    r.start = NowSeconds() - r.duration;
    r.flags = isPrivate ? kLKXFlagPrivate : 0;
    r.application = w[1];
    r.caption = w[2];
    sent = station_.SendActivity(r);
  } else if (verb == "manual") {
    LKXManualHours r;
    const bool isPrivate = n == 4 && w[3] == "private";
    if ((n != 3 && !isPrivate) || !ParseU16(w[1], r.duration)) {
      return Usage(error, "manual SECONDS COMMENT [private]");
    }
    r.start = NowSeconds() - r.duration;
    r.flags = isPrivate ? kLKXFlagPrivate : 0;
    r.comment = w[2];
    sent = station_.SendManualHours(r);
  } else if (verb == "presence") {
    return Presence(w, error);
  } else if (verb == "screenshot") {
    if (n != 2) return Usage(error, "screenshot FILE");
    return Screenshot(w[1], error);
  } else if (verb == "popup") {
    if (n != 3) return Usage(error, "popup RECIPIENTS TEXT");
    sent = station_.SendPopup({w[1], w[2]});
  } else if (verb == "monitor") {
    if (n != 2) return Usage(error, "monitor USER");
    sent = station_.SendScreenMonitorRequest(w[1]);
  } else if (verb == "version" || verb == "programs") {
    if (n != 1) return Usage(error, verb == "version" ? "version" : "programs");
    sent = verb == "version" ? station_.SendVersionRequest() : station_.SendProgramsRequest();
  } else if (verb == "wait") {
    int ms = 0;
    if (n != 2 || !ParseSeconds(w[1], ms)) return Usage(error, "wait SECONDS");
    Pump(ms);
  } else if (verb == "listen") {
    if (n != 1) return Usage(error, "listen");
    Pump(-1);
  } else {
    error = "unknown command " + KXSimQuote(verb);
    return false;
  }
  if (!sent) error = verb + ": the send failed";
  return sent;
}

bool KXSimScriptRunner::Presence(const std::vector<std::string>& w, std::string& error) {
  LKXPresence p;
  if (w.size() != 6) return Usage(error, "presence active|idle|private LOCATION APP CAPTION PHONE");
  if (w[1] == "active") {
    p.stateFlags = kLKXPresenceActive;
  } else if (w[1] == "idle") {
    p.stateFlags = 0;
  } else if (w[1] == "private") {
    // Private time is time at the computer on one's own business.
    p.stateFlags = kLKXPresenceActive | kLKXPresencePrivate;
  } else {
    return Usage(error, "presence active|idle|private LOCATION APP CAPTION PHONE");
  }
  p.location = w[2];
  p.application = w[3];
  p.caption = w[4];
  p.phone = w[5];
  if (station_.SendPresence(p)) return true;
  error = "presence: the send failed";
  return false;
}

bool KXSimScriptRunner::Screenshot(const std::string& file, std::string& error) {
  LKXScreenshot s;
  if (!KXSimReadFile(file, s.image)) {
    error = "screenshot: cannot read " + file;
    return false;
  }
  s.time = NowSeconds();
  s.flags = IsJpeg(s.image) ? kLKXFlagJpeg : 0;
  if (station_.SendScreenshot(s)) return true;
  error = "screenshot: the send failed";
  return false;
}

void KXSimScriptRunner::Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
  while (!closed_) {
    int left = 200;
    if (ms >= 0) {
      const auto remaining =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
      if (remaining <= 0) return;
      left = static_cast<int>(std::min<long long>(remaining, 200));
    }
    KXSimMessage message;
    const KXSimReceive got = station_.Receive(message, left);
    if (got == KXSimReceive::kClosed) {
      closed_ = true;
      print_("closed");
    } else if (got == KXSimReceive::kMessage) {
      HandleMessage(message);
    }
  }
}

void KXSimScriptRunner::HandleMessage(const KXSimMessage& message) {
  print_(KXSimFormatMessage(message));
  if (message.type != kLKXMsgScreenRequest || answerPicture_.empty()) return;
  LKXScreenshot s;
  s.time = NowSeconds();
  s.flags = IsJpeg(answerPicture_) ? kLKXFlagJpeg : 0;
  s.image = answerPicture_;
  station_.SendScreenshot(s);
}
