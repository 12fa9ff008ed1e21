#include "station/station_wire.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "foundation/text_limits.h"

namespace {

// Where each message keeps the lengths of the strings that follow its fixed
// part, in the order the strings come.
// `totalCountsStrings` is false for the one message whose total length
// stops at its fixed part although a string follows (the logon reply):
// stations in the field read 16 bytes and then the session id by its length.
struct LKXLayout {
  std::uint16_t type;
  std::uint16_t fixedBytes;
  std::uint8_t stringCount;
  std::array<std::uint8_t, 6> lengthOffsets;
  bool totalCountsStrings = true;
};

constexpr LKXLayout kLayouts[] = {
    {kLKXMsgHello, 16, 0, {}},
    {kLKXMsgLogonRequest, 16, 2, {8, 10}},
    {kLKXMsgLogonReply, 16, 1, {10}, false},
    {kLKXMsgScreenRequest, 16, 0, {}},
    {kLKXMsgActivity, 24, 2, {20, 22}},
    {kLKXMsgScreenshot, 16, 0, {}},
    {kLKXMsgManualHours, 24, 1, {16}},
    {kLKXMsgPresence, 24, 4, {16, 18, 20, 22}},
    {kLKXMsgScreenMonitorRequest, 16, 1, {8}},
    {kLKXMsgUserState, 24, 6, {8, 10, 14, 16, 18, 20}},
    {kLKXMsgPopupRequest, 16, 2, {8, 10}},
    {kLKXMsgPopupMessage, 16, 2, {8, 10}},
    {kLKXMsgStationVersion, 16, 1, {8}},
    {kLKXMsgStationVersionRequest, 8, 0, {}},
    {kLKXMsgBusinessPrograms, 16, 1, {8}},
    {kLKXMsgBusinessProgramsRequest, 8, 0, {}},
};

const LKXLayout* FindLayout(std::uint16_t type) {
  for (const LKXLayout& layout : kLayouts) {
    if (layout.type == type) return &layout;
  }
  return nullptr;
}

const std::uint8_t* Bytes(std::string_view s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }
std::uint8_t* Bytes(std::string& s) { return reinterpret_cast<std::uint8_t*>(s.data()); }

std::string_view WireCut(std::string_view s) { return s.substr(0, kLKXMaxWireString); }

// A message of `type` with its header filled in, the fixed part zeroed and
// the strings appended; the caller fills the other fixed fields. Each
// string's length goes to its place in the layout.
std::string Assemble(std::uint16_t type, std::initializer_list<std::string_view> strings) {
  const LKXLayout* layout = FindLayout(type);
  std::string out(layout->fixedBytes, '\0');
  std::size_t i = 0;
  for (std::string_view s : strings) {
    const std::string_view cut = WireCut(s);
    LKXPutU16(Bytes(out) + layout->lengthOffsets[i++], static_cast<std::uint16_t>(cut.size()));
    out.append(cut);
  }
  LKXPutU16(Bytes(out), kLKXWireMagic);
  LKXPutU16(Bytes(out) + 2, type);
  LKXPutU32(Bytes(out) + 4, static_cast<std::uint32_t>(layout->totalCountsStrings ? out.size() : layout->fixedBytes));
  return out;
}

// Checks header and fixed part of a message of `type` and cuts out its
// strings into `strings` (as many as the layout has).
LKXWireStatus Split(std::string_view bytes, std::uint16_t type, std::string_view* strings) {
  LKXWireHeader header;
  LKXWireStatus status = LKXDecodeHeader(bytes, header);
  if (status != LKXWireStatus::kOk) return status;
  if (header.magic != kLKXWireMagic) return LKXWireStatus::kBadMagic;
  if (header.type != type) return LKXWireStatus::kWrongType;
  const LKXLayout* layout = FindLayout(type);
  if (bytes.size() < layout->fixedBytes) return LKXWireStatus::kShort;
  if (type == kLKXMsgScreenshot) {
    if (header.totalLength < layout->fixedBytes) return LKXWireStatus::kBadLength;
    if (header.totalLength > kLKXMaxScreenshotMessage) return LKXWireStatus::kTooLarge;
  }
  std::size_t body = 0;
  if (!LKXBodyBytes(bytes, body)) return LKXWireStatus::kShort;
  // A total that only undercuts the fixed part is tolerated, as the fixed
  // part is always read; strings past the total are not.
  if (type != kLKXMsgScreenshot && layout->totalCountsStrings && body > 0 &&
      header.totalLength < layout->fixedBytes + body) {
    return LKXWireStatus::kBadLength;
  }
  if (bytes.size() < layout->fixedBytes + body) return LKXWireStatus::kShort;
  std::size_t at = layout->fixedBytes;
  for (std::size_t i = 0; i < layout->stringCount; ++i) {
    const std::size_t length = LKXGetU16(Bytes(bytes) + layout->lengthOffsets[i]);
    strings[i] = bytes.substr(at, length);
    at += length;
  }
  return LKXWireStatus::kOk;
}

}  // namespace

std::size_t LKXFixedPartBytes(std::uint16_t type) {
  const LKXLayout* layout = FindLayout(type);
  return layout ? layout->fixedBytes : 0;
}

void LKXPutU16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

void LKXPutU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void LKXPutI16(std::uint8_t* p, std::int16_t value) { LKXPutU16(p, static_cast<std::uint16_t>(value)); }

std::uint16_t LKXGetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t LKXGetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int16_t LKXGetI16(const std::uint8_t* p) { return static_cast<std::int16_t>(LKXGetU16(p)); }

LKXWireStatus LKXDecodeHeader(std::string_view bytes, LKXWireHeader& out) {
  if (bytes.size() < kLKXHeaderBytes) return LKXWireStatus::kShort;
  out.magic = LKXGetU16(Bytes(bytes));
  out.type = LKXGetU16(Bytes(bytes) + 2);
  out.totalLength = LKXGetU32(Bytes(bytes) + 4);
  return LKXWireStatus::kOk;
}

bool LKXBodyBytes(std::string_view fixed, std::size_t& out) {
  out = 0;
  if (fixed.size() < kLKXHeaderBytes) return false;
  const std::uint16_t type = LKXGetU16(Bytes(fixed) + 2);
  const LKXLayout* layout = FindLayout(type);
  if (!layout || fixed.size() < layout->fixedBytes) return false;
  if (type == kLKXMsgScreenshot) {
    const std::uint32_t total = LKXGetU32(Bytes(fixed) + 4);
    out = total > layout->fixedBytes ? total - layout->fixedBytes : 0;
    return true;
  }
  for (std::size_t i = 0; i < layout->stringCount; ++i) out += LKXGetU16(Bytes(fixed) + layout->lengthOffsets[i]);
  return true;
}

bool LKXWireBytes(std::string_view fixed, std::size_t& out) {
  out = 0;
  std::size_t body = 0;
  if (!LKXBodyBytes(fixed, body)) return false;
  const LKXLayout* layout = FindLayout(LKXGetU16(Bytes(fixed) + 2));
  const std::size_t total = LKXGetU32(Bytes(fixed) + 4);
  if (!layout->totalCountsStrings) {
    out = layout->fixedBytes + body;
    return true;
  }
  if (layout->type != kLKXMsgScreenshot && body > 0 && total < layout->fixedBytes + body) return false;
  out = std::max<std::size_t>(total, layout->fixedBytes);
  return true;
}

std::string LKXWireText(std::string_view raw, bool keepLong) {
  const std::size_t nul = raw.find('\0');
  if (nul != std::string_view::npos) raw = raw.substr(0, nul);
  return keepLong ? std::string(raw) : LCutText(raw);
}

std::string LKXBuildHello(const LKXHello& m) {
  std::string out = Assemble(kLKXMsgHello, {});
  LKXPutU32(Bytes(out) + 8, m.challenge);
  LKXPutU32(Bytes(out) + 12, m.features);
  return out;
}

std::string LKXBuildLogonRequest(const LKXLogonRequest& m) {
  std::string out = Assemble(kLKXMsgLogonRequest, {m.userName, m.digest});
  LKXPutU16(Bytes(out) + 12, m.stationFlags);
  LKXPutI16(Bytes(out) + 14, m.timeZone);
  return out;
}

std::string LKXBuildLogonReply(const LKXLogonReply& m) {
  std::string out = Assemble(kLKXMsgLogonReply, {m.sessionId});
  LKXPutU16(Bytes(out) + 8, m.result);
  LKXPutU32(Bytes(out) + 12, m.recordingFlags);
  return out;
}

std::string LKXBuildScreenRequest() {
  std::string out = Assemble(kLKXMsgScreenRequest, {});
  LKXPutU16(Bytes(out) + 8, 1);
  return out;
}

std::string LKXBuildActivity(const LKXActivityRecord& m) {
  std::string out = Assemble(kLKXMsgActivity, {m.application, m.caption});
  LKXPutU32(Bytes(out) + 8, m.start);
  LKXPutU16(Bytes(out) + 12, m.duration);
  LKXPutU16(Bytes(out) + 14, m.flags);
  LKXPutU16(Bytes(out) + 16, m.keys);
  LKXPutU16(Bytes(out) + 18, m.clicks);
  return out;
}

std::string LKXBuildScreenshot(const LKXScreenshot& m) {
  std::string out = Assemble(kLKXMsgScreenshot, {});
  out.append(m.image);
  LKXPutU32(Bytes(out) + 4, static_cast<std::uint32_t>(out.size()));
  LKXPutU32(Bytes(out) + 8, m.time);
  LKXPutU16(Bytes(out) + 12, m.flags);
  return out;
}

std::string LKXBuildManualHours(const LKXManualHours& m) {
  std::string out = Assemble(kLKXMsgManualHours, {m.comment});
  LKXPutU32(Bytes(out) + 8, m.start);
  LKXPutU16(Bytes(out) + 12, m.duration);
  LKXPutU16(Bytes(out) + 14, m.flags);
  return out;
}

std::string LKXBuildPresence(const LKXPresence& m) {
  std::string out = Assemble(kLKXMsgPresence, {m.location, m.application, m.caption, m.phone});
  LKXPutU16(Bytes(out) + 8, m.stateFlags);
  return out;
}

std::string LKXBuildScreenMonitorRequest(const LKXScreenMonitorRequest& m) {
  return Assemble(kLKXMsgScreenMonitorRequest, {m.userName});
}

std::string LKXBuildUserState(const LKXUserState& m) {
  std::string out = Assemble(kLKXMsgUserState, {m.email, m.name, m.location, m.application, m.caption, m.phone});
  LKXPutU16(Bytes(out) + 12, m.state);
  return out;
}

std::string LKXBuildPopupRequest(const LKXPopupRequest& m) {
  return Assemble(kLKXMsgPopupRequest, {m.recipients, m.message});
}

std::string LKXBuildPopupMessage(const LKXPopupMessage& m) {
  return Assemble(kLKXMsgPopupMessage, {m.senderName, m.message});
}

std::string LKXBuildStationVersion() { return Assemble(kLKXMsgStationVersion, {kLKXStationVersionText}); }

std::string LKXBuildStationVersionRequest() { return Assemble(kLKXMsgStationVersionRequest, {}); }

std::string LKXBuildBusinessPrograms(std::string_view text) { return Assemble(kLKXMsgBusinessPrograms, {text}); }

std::string LKXBuildBusinessProgramsRequest() { return Assemble(kLKXMsgBusinessProgramsRequest, {}); }

LKXWireStatus LKXParseHello(std::string_view bytes, LKXHello& out) {
  const LKXWireStatus status = Split(bytes, kLKXMsgHello, nullptr);
  if (status != LKXWireStatus::kOk) return status;
  out.challenge = LKXGetU32(Bytes(bytes) + 8);
  out.features = LKXGetU32(Bytes(bytes) + 12);
  return status;
}

LKXWireStatus LKXParseLogonRequest(std::string_view bytes, LKXLogonRequest& out) {
  std::string_view s[2];
  const LKXWireStatus status = Split(bytes, kLKXMsgLogonRequest, s);
  if (status != LKXWireStatus::kOk) return status;
  out.stationFlags = LKXGetU16(Bytes(bytes) + 12);
  out.timeZone = LKXGetI16(Bytes(bytes) + 14);
  out.userName = std::string(s[0]);
  out.digest = std::string(s[1]);
  return status;
}

LKXWireStatus LKXParseLogonReply(std::string_view bytes, LKXLogonReply& out) {
  std::string_view s[1];
  const LKXWireStatus status = Split(bytes, kLKXMsgLogonReply, s);
  if (status != LKXWireStatus::kOk) return status;
  out.result = LKXGetU16(Bytes(bytes) + 8);
  out.recordingFlags = LKXGetU32(Bytes(bytes) + 12);
  out.sessionId = std::string(s[0]);
  return status;
}

LKXWireStatus LKXParseScreenRequest(std::string_view bytes) { return Split(bytes, kLKXMsgScreenRequest, nullptr); }

LKXWireStatus LKXParseActivity(std::string_view bytes, LKXActivityRecord& out) {
  std::string_view s[2];
  const LKXWireStatus status = Split(bytes, kLKXMsgActivity, s);
  if (status != LKXWireStatus::kOk) return status;
  out.start = LKXGetU32(Bytes(bytes) + 8);
  out.duration = LKXGetU16(Bytes(bytes) + 12);
  out.flags = LKXGetU16(Bytes(bytes) + 14);
  out.keys = LKXGetU16(Bytes(bytes) + 16);
  out.clicks = LKXGetU16(Bytes(bytes) + 18);
  out.application = std::string(s[0]);
  out.caption = std::string(s[1]);
  return status;
}

LKXWireStatus LKXParseScreenshot(std::string_view bytes, LKXScreenshot& out) {
  const LKXWireStatus status = Split(bytes, kLKXMsgScreenshot, nullptr);
  if (status != LKXWireStatus::kOk) return status;
  const std::uint32_t total = LKXGetU32(Bytes(bytes) + 4);
  out.time = LKXGetU32(Bytes(bytes) + 8);
  out.flags = LKXGetU16(Bytes(bytes) + 12);
  out.image = std::string(bytes.substr(16, total - 16));
  return status;
}

LKXWireStatus LKXParseManualHours(std::string_view bytes, LKXManualHours& out) {
  std::string_view s[1];
  const LKXWireStatus status = Split(bytes, kLKXMsgManualHours, s);
  if (status != LKXWireStatus::kOk) return status;
  out.start = LKXGetU32(Bytes(bytes) + 8);
  out.duration = LKXGetU16(Bytes(bytes) + 12);
  out.flags = LKXGetU16(Bytes(bytes) + 14);
  out.comment = std::string(s[0]);
  return status;
}

LKXWireStatus LKXParsePresence(std::string_view bytes, LKXPresence& out) {
  std::string_view s[4];
  const LKXWireStatus status = Split(bytes, kLKXMsgPresence, s);
  if (status != LKXWireStatus::kOk) return status;
  out.stateFlags = LKXGetU16(Bytes(bytes) + 8);
  out.location = std::string(s[0]);
  out.application = std::string(s[1]);
  out.caption = std::string(s[2]);
  out.phone = std::string(s[3]);
  return status;
}

LKXWireStatus LKXParseScreenMonitorRequest(std::string_view bytes, LKXScreenMonitorRequest& out) {
  std::string_view s[1];
  const LKXWireStatus status = Split(bytes, kLKXMsgScreenMonitorRequest, s);
  if (status == LKXWireStatus::kOk) out.userName = std::string(s[0]);
  return status;
}

LKXWireStatus LKXParseUserState(std::string_view bytes, LKXUserState& out) {
  std::string_view s[6];
  const LKXWireStatus status = Split(bytes, kLKXMsgUserState, s);
  if (status != LKXWireStatus::kOk) return status;
  out.state = LKXGetU16(Bytes(bytes) + 12);
  out.email = std::string(s[0]);
  out.name = std::string(s[1]);
  out.location = std::string(s[2]);
  out.application = std::string(s[3]);
  out.caption = std::string(s[4]);
  out.phone = std::string(s[5]);
  return status;
}

LKXWireStatus LKXParsePopupRequest(std::string_view bytes, LKXPopupRequest& out) {
  std::string_view s[2];
  const LKXWireStatus status = Split(bytes, kLKXMsgPopupRequest, s);
  if (status != LKXWireStatus::kOk) return status;
  out.recipients = std::string(s[0]);
  out.message = std::string(s[1]);
  return status;
}

LKXWireStatus LKXParsePopupMessage(std::string_view bytes, LKXPopupMessage& out) {
  std::string_view s[2];
  const LKXWireStatus status = Split(bytes, kLKXMsgPopupMessage, s);
  if (status != LKXWireStatus::kOk) return status;
  out.senderName = std::string(s[0]);
  out.message = std::string(s[1]);
  return status;
}

LKXWireStatus LKXParseStationVersion(std::string_view bytes, std::string& version) {
  std::string_view s[1];
  const LKXWireStatus status = Split(bytes, kLKXMsgStationVersion, s);
  if (status == LKXWireStatus::kOk) version = std::string(s[0]);
  return status;
}

LKXWireStatus LKXParseBusinessPrograms(std::string_view bytes, std::string& text) {
  std::string_view s[1];
  const LKXWireStatus status = Split(bytes, kLKXMsgBusinessPrograms, s);
  if (status == LKXWireStatus::kOk) text = std::string(s[0]);
  return status;
}
