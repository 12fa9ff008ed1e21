// Arbitrary bytes through the station protocol's parsers: every byte a
// station or a server sends passes through them before anything is stored
// or relayed. The input is parsed once as it is and once with its first four
// bytes made into a valid magic and a type chosen by its third byte, so the
// fuzzer spends its time in the fixed parts and strings rather than on
// finding the magic. Besides crashes and undefined behaviour it checks the
// promises the sessions rely on: a parsed message lies within the bytes
// given, builds back into bytes that parse to the same message, and the
// texts the server keeps are cut and free of NUL bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/text_limits.h"
#include "station/name_list.h"
#include "station/server_connection.h"
#include "station/station_wire.h"

namespace {

void Require(bool promise) {
  if (!promise) std::abort();
}

constexpr std::uint16_t kTypes[] = {
    kLKXMsgHello,      kLKXMsgLogonRequest, kLKXMsgLogonReply,     kLKXMsgScreenRequest,
    kLKXMsgActivity,   kLKXMsgScreenshot,   kLKXMsgManualHours,    kLKXMsgPresence,
    kLKXMsgScreenMonitorRequest, kLKXMsgUserState, kLKXMsgPopupRequest, kLKXMsgPopupMessage,
    kLKXMsgStationVersion, kLKXMsgStationVersionRequest, kLKXMsgBusinessPrograms,
    kLKXMsgBusinessProgramsRequest,
};

void CheckText(std::string_view raw) {
  const std::string kept = LKXWireText(raw);
  Require(kept.size() <= kLMaxText && kept.find('\0') == std::string::npos);
  Require(raw.substr(0, kept.size()) == kept);
  const std::string whole = LKXWireText(raw, true);
  Require(whole.find('\0') == std::string::npos && raw.substr(0, whole.size()) == whole);
  Require(whole.size() == raw.size() || raw[whole.size()] == '\0');
}

// A parsed message's strings and fixed part fit in what was given, and its
// rebuilt bytes parse back to the same fields.
template <typename Message, typename Parse, typename Build, typename Same>
void RoundTrip(std::string_view bytes, Parse parse, Build build, Same same) {
  Message first;
  if (parse(bytes, first) != LKXWireStatus::kOk) return;
  const std::string rebuilt = build(first);
  Require(rebuilt.size() <= bytes.size());
  Message second;
  Require(parse(rebuilt, second) == LKXWireStatus::kOk);
  Require(same(first, second));
}

void CheckHeaderAndBody(std::string_view bytes) {
  LKXWireHeader header;
  if (LKXDecodeHeader(bytes, header) != LKXWireStatus::kOk) {
    Require(bytes.size() < kLKXHeaderBytes);
    return;
  }
  const std::size_t fixed = LKXFixedPartBytes(header.type);
  std::size_t body = 0;
  const bool known = LKXBodyBytes(bytes, body);
  Require(!known || (fixed != 0 && bytes.size() >= fixed));
  if (known && header.type != kLKXMsgScreenshot) Require(body <= 6 * kLKXMaxWireString);
  // A reader takes at least the fixed part, and the logon reply exactly its
  // fixed part and its id, whatever its total says.
  std::size_t whole = 0;
  if (LKXWireBytes(bytes, whole)) {
    Require(known && whole >= fixed);
    if (header.type == kLKXMsgLogonReply) Require(whole == fixed + body);
  }
}

void CheckAll(std::string_view b) {
  CheckHeaderAndBody(b);
  RoundTrip<LKXHello>(b, LKXParseHello, LKXBuildHello, [](const LKXHello& x, const LKXHello& y) {
    return x.challenge == y.challenge && x.features == y.features;
  });
  RoundTrip<LKXLogonRequest>(b, LKXParseLogonRequest, LKXBuildLogonRequest,
                             [](const LKXLogonRequest& x, const LKXLogonRequest& y) {
                               CheckText(x.userName);
                               return x.stationFlags == y.stationFlags && x.timeZone == y.timeZone &&
                                      x.userName == y.userName && x.digest == y.digest;
                             });
  RoundTrip<LKXLogonReply>(b, LKXParseLogonReply, LKXBuildLogonReply, [](const LKXLogonReply& x, const LKXLogonReply& y) {
    return x.result == y.result && x.recordingFlags == y.recordingFlags && x.sessionId == y.sessionId;
  });
  LKXParseScreenRequest(b);
  RoundTrip<LKXActivityRecord>(b, LKXParseActivity, LKXBuildActivity,
                               [](const LKXActivityRecord& x, const LKXActivityRecord& y) {
                                 CheckText(x.application);
                                 CheckText(x.caption);
                                 return x.start == y.start && x.duration == y.duration && x.flags == y.flags &&
                                        x.keys == y.keys && x.clicks == y.clicks &&
                                        x.application == y.application && x.caption == y.caption;
                               });
  LKXScreenshot shot;
  if (LKXParseScreenshot(b, shot) == LKXWireStatus::kOk) {
    Require(shot.image.size() + 16 == LKXGetU32(reinterpret_cast<const std::uint8_t*>(b.data()) + 4));
    Require(shot.image.size() + 16 <= kLKXMaxScreenshotMessage && shot.image.size() + 16 <= b.size());
    Require(LKXBuildScreenshot(shot) .substr(0, 14) == b.substr(0, 14));
  }
  RoundTrip<LKXManualHours>(b, LKXParseManualHours, LKXBuildManualHours, [](const LKXManualHours& x, const LKXManualHours& y) {
    CheckText(x.comment);
    return x.start == y.start && x.duration == y.duration && x.flags == y.flags && x.comment == y.comment;
  });
  RoundTrip<LKXPresence>(b, LKXParsePresence, LKXBuildPresence, [](const LKXPresence& x, const LKXPresence& y) {
    for (const std::string* s : {&x.location, &x.application, &x.caption, &x.phone}) CheckText(*s);
    return x.stateFlags == y.stateFlags && x.location == y.location && x.application == y.application &&
           x.caption == y.caption && x.phone == y.phone;
  });
  RoundTrip<LKXScreenMonitorRequest>(b, LKXParseScreenMonitorRequest, LKXBuildScreenMonitorRequest,
                                     [](const LKXScreenMonitorRequest& x, const LKXScreenMonitorRequest& y) {
                                       return x.userName == y.userName;
                                     });
  RoundTrip<LKXUserState>(b, LKXParseUserState, LKXBuildUserState, [](const LKXUserState& x, const LKXUserState& y) {
    return x.state == y.state && x.email == y.email && x.name == y.name && x.location == y.location &&
           x.application == y.application && x.caption == y.caption && x.phone == y.phone;
  });
  RoundTrip<LKXPopupRequest>(b, LKXParsePopupRequest, LKXBuildPopupRequest,
                             [](const LKXPopupRequest& x, const LKXPopupRequest& y) {
                               CheckText(x.message);
                               return x.recipients == y.recipients && x.message == y.message;
                             });
  RoundTrip<LKXPopupMessage>(b, LKXParsePopupMessage, LKXBuildPopupMessage,
                             [](const LKXPopupMessage& x, const LKXPopupMessage& y) {
                               return x.senderName == y.senderName && x.message == y.message;
                             });
  std::string text;
  LKXParseStationVersion(b, text);
  if (LKXParseBusinessPrograms(b, text) == LKXWireStatus::kOk) {
    std::string again;
    Require(LKXParseBusinessPrograms(LKXBuildBusinessPrograms(text), again) == LKXWireStatus::kOk && again == text);
  }
}

// The team and manager lists decide who sees whom: the decision must not
// depend on which side's list comes first, and a plain name is found in a
// list exactly when the one-item list of it shares an item with it.
void CheckLists(std::string_view bytes) {
  const std::size_t cut = bytes.find('\n');
  const std::string_view a = bytes.substr(0, cut);
  const std::string_view b = cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1);
  Require(LKXTeamsIntersect(a, b) == LKXTeamsIntersect(b, a));
  if (a.empty()) Require(!LKXTeamsIntersect(a, b));
  if (!a.empty() && a.find(',') == std::string_view::npos && static_cast<unsigned char>(a[0]) > 32) {
    Require(LKXListHasName(b, a) == LKXTeamsIntersect(a, b));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckAll(bytes);
  CheckLists(bytes);
  if (size >= 4) {
    std::string steered(bytes);
    std::uint8_t* p = reinterpret_cast<std::uint8_t*>(steered.data());
    LKXPutU16(p, kLKXWireMagic);
    LKXPutU16(p + 2, kTypes[data[2] % (sizeof kTypes / sizeof kTypes[0])]);
    CheckAll(steered);
  }
  return 0;
}
