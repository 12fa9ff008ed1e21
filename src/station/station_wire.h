#pragma once
// The byte format of the station protocol: the common header, the message
// types with their fixed parts, and builders and parsers of every message of
// both directions. Everything here works on byte buffers only (no sockets),
// so the server, the station simulator and the fuzzers share one definition.
//
// Every message starts with 8 bytes: u16 magic 0x0EE0, u16 type, u32 total
// length (header included; the logon reply alone leaves its session id out). All integers are little-endian. Strings carry no
// terminator: their byte lengths stand in the fixed part and the strings
// follow it back to back. The grammar is in doc/station_protocol.md.
//
// Parsers are total: any byte input gives one of the LKXWireStatus values
// and never reads outside the given bytes. They keep strings as they arrived
// (NUL bytes included); the server applies LKXWireText to what it stores.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint16_t kLKXWireMagic = 0x0EE0;
inline constexpr std::size_t kLKXHeaderBytes = 8;

enum LKXMessageType : std::uint16_t {
  kLKXMsgHello = 1,                     // server to station
  kLKXMsgLogonRequest = 2,              // station to server
  kLKXMsgLogonReply = 3,                // server to station; also the screen monitor reply
  kLKXMsgScreenRequest = 5,             // server to station
  kLKXMsgActivity = 6,                  // station to server
  kLKXMsgScreenshot = 7,                // both
  kLKXMsgManualHours = 8,               // station to server
  kLKXMsgPresence = 9,                  // station to server
  kLKXMsgScreenMonitorRequest = 10,     // station to server
  kLKXMsgUserState = 11,                // server to station
  kLKXMsgPopupRequest = 12,             // station to server
  kLKXMsgPopupMessage = 13,             // server to station
  kLKXMsgStationVersion = 14,           // server to station
  kLKXMsgStationVersionRequest = 15,    // station to server
  kLKXMsgBusinessPrograms = 16,         // server to station
  kLKXMsgBusinessProgramsRequest = 17,  // station to server
};

// Header plus fixed part of each type; 0 for a number that is no type.
std::size_t LKXFixedPartBytes(std::uint16_t type);

// A screenshot message longer than this ends the session: the server holds
// a whole picture in memory, and no real screen comes near 10 MB.
inline constexpr std::uint32_t kLKXMaxScreenshotMessage = 10000000;
// Popup texts travel with u16 lengths; a longer message is cut to this.
inline constexpr std::size_t kLKXMaxPopupText = 65535;
// The largest string any u16 length field can announce.
inline constexpr std::size_t kLKXMaxWireString = 65535;
// The station version the server announces.
inline constexpr std::string_view kLKXStationVersionText = "1.61";

// Hello feature flags: set when the feature is switched off.
inline constexpr std::uint32_t kLKXFeatureNoActivity = 1u << 0;  // "ModeQA"
inline constexpr std::uint32_t kLKXFeatureNoHours = 1u << 1;     // "ModeHours"
inline constexpr std::uint32_t kLKXFeatureNoLeave = 1u << 2;     // "ModeLeave"
// Logon reply recording flags.
inline constexpr std::uint32_t kLKXRecordNoActivity = 1u << 0;
inline constexpr std::uint32_t kLKXRecordNoScreenshots = 1u << 1;
// Logon request station flags: the station's main session.
inline constexpr std::uint16_t kLKXStationMainSession = 1u << 0;
// Presence state flags.
inline constexpr std::uint16_t kLKXPresenceActive = 1u << 0;
inline constexpr std::uint16_t kLKXPresencePrivate = 1u << 1;
// Activity, manual hours: private time. Screenshot: the bytes are a JPEG.
inline constexpr std::uint16_t kLKXFlagPrivate = 1u << 0;
inline constexpr std::uint16_t kLKXFlagJpeg = 1u << 0;
// User state values.
inline constexpr std::uint16_t kLKXUserStateOffline = 0;
inline constexpr std::uint16_t kLKXUserStateIdle = 4;
inline constexpr std::uint16_t kLKXUserStateActive = 5;
inline constexpr std::uint16_t kLKXUserStatePrivateBit = 2;
// Logon reply results.
inline constexpr std::uint16_t kLKXLogonAccepted = 0;
inline constexpr std::uint16_t kLKXLogonRefused = 1;
// Screen monitor reply results.
enum LKXMonitorResult : std::uint16_t {
  kLKXMonitorAccepted = 0,
  kLKXMonitorNotManager = 1,   // not a manager of the user, or no such user
  kLKXMonitorNotConnected = 2, // the user has no connected main session
  kLKXMonitorSwitchedOff = 4,  // "Settings"/"ModeQA" begins with "0"
  kLKXMonitorSelf = 5,         // nobody watches their own screen
};

// Little-endian access; `p` must hold the bytes.
void LKXPutU16(std::uint8_t* p, std::uint16_t value);
void LKXPutU32(std::uint8_t* p, std::uint32_t value);
void LKXPutI16(std::uint8_t* p, std::int16_t value);
std::uint16_t LKXGetU16(const std::uint8_t* p);
std::uint32_t LKXGetU32(const std::uint8_t* p);
std::int16_t LKXGetI16(const std::uint8_t* p);

struct LKXWireHeader {
  std::uint16_t magic = 0;
  std::uint16_t type = 0;
  std::uint32_t totalLength = 0;
};

enum class LKXWireStatus {
  kOk,
  kShort,      // fewer bytes than the header, fixed part or strings need
  kBadMagic,   // the first u16 is not 0x0EE0
  kWrongType,  // a well-formed header of another message type
  kBadLength,  // strings reach past the total length (a screenshot: total below 16)
  kTooLarge,   // a screenshot above kLKXMaxScreenshotMessage
};

// Decodes the first 8 bytes as they are, without judging them.
LKXWireStatus LKXDecodeHeader(std::string_view bytes, LKXWireHeader& out);

// The bytes that follow the fixed part by the lengths in it: the sum of the
// string lengths, or for a screenshot total length - 16 (0 below 16).
// `fixed` holds at least LKXFixedPartBytes(type) bytes of the message;
// false when it does not or the type has no fixed part.
bool LKXBodyBytes(std::string_view fixed, std::size_t& out);

// How many bytes the whole message takes on the wire, header included, as
// its reader must take them: the total length for every message but the
// logon reply, whose total (16) counts only the fixed part and whose
// session id follows it by the length at offset 10. A total below the fixed
// part counts as the fixed part (that is always read). False when `fixed`
// is short or no known type, or when strings reach past the total.
bool LKXWireBytes(std::string_view fixed, std::size_t& out);

// The text the server keeps of a received string: up to its first NUL byte,
// then cut to 259 bytes unless `keepLong` (popup texts).
std::string LKXWireText(std::string_view raw, bool keepLong = false);

// ---- messages; builders cut every string to kLKXMaxWireString bytes ----

struct LKXHello {
  std::uint32_t challenge = 0;
  std::uint32_t features = 0;
};
struct LKXLogonRequest {
  std::uint16_t stationFlags = 0;
  std::int16_t timeZone = 0;  // minutes east of UTC
  std::string userName;
  std::string digest;
};
// The logon reply, and with an empty session id and flags 0 also the
// screen monitor reply. Its total length is always 16: the session id
// follows the fixed part without being counted in it.
struct LKXLogonReply {
  std::uint16_t result = 0;
  std::uint32_t recordingFlags = 0;
  std::string sessionId;
};
struct LKXActivityRecord {
  std::uint32_t start = 0;
  std::uint16_t duration = 0;
  std::uint16_t flags = 0;
  std::uint16_t keys = 0;
  std::uint16_t clicks = 0;
  std::string application;
  std::string caption;
};
struct LKXScreenshot {
  std::uint32_t time = 0;  // 0 when relayed to a watcher
  std::uint16_t flags = 0;
  std::string image;
};
struct LKXManualHours {
  std::uint32_t start = 0;
  std::uint16_t duration = 0;
  std::uint16_t flags = 0;
  std::string comment;
};
struct LKXPresence {
  std::uint16_t stateFlags = 0;
  std::string location;
  std::string application;
  std::string caption;
  std::string phone;
};
struct LKXScreenMonitorRequest {
  std::string userName;
};
struct LKXUserState {
  std::uint16_t state = 0;
  std::string email;
  std::string name;
  std::string location;
  std::string application;
  std::string caption;
  std::string phone;
};
struct LKXPopupRequest {
  std::string recipients;
  std::string message;
};
struct LKXPopupMessage {
  std::string senderName;
  std::string message;
};

std::string LKXBuildHello(const LKXHello& m);
std::string LKXBuildLogonRequest(const LKXLogonRequest& m);
std::string LKXBuildLogonReply(const LKXLogonReply& m);
std::string LKXBuildScreenRequest();
std::string LKXBuildActivity(const LKXActivityRecord& m);
// A screenshot above kLKXMaxScreenshotMessage is still built (tests and the
// simulator need one); the server refuses it.
std::string LKXBuildScreenshot(const LKXScreenshot& m);
std::string LKXBuildManualHours(const LKXManualHours& m);
std::string LKXBuildPresence(const LKXPresence& m);
std::string LKXBuildScreenMonitorRequest(const LKXScreenMonitorRequest& m);
std::string LKXBuildUserState(const LKXUserState& m);
std::string LKXBuildPopupRequest(const LKXPopupRequest& m);
std::string LKXBuildPopupMessage(const LKXPopupMessage& m);
std::string LKXBuildStationVersion();
std::string LKXBuildStationVersionRequest();
std::string LKXBuildBusinessPrograms(std::string_view text);
std::string LKXBuildBusinessProgramsRequest();

// Parsers of one message that starts at bytes[0]. Bytes beyond the fixed
// part and the strings are not looked at (the total length may announce
// more; a reader discards those). A screenshot needs all total-length bytes.
LKXWireStatus LKXParseHello(std::string_view bytes, LKXHello& out);
LKXWireStatus LKXParseLogonRequest(std::string_view bytes, LKXLogonRequest& out);
LKXWireStatus LKXParseLogonReply(std::string_view bytes, LKXLogonReply& out);
LKXWireStatus LKXParseScreenRequest(std::string_view bytes);
LKXWireStatus LKXParseActivity(std::string_view bytes, LKXActivityRecord& out);
LKXWireStatus LKXParseScreenshot(std::string_view bytes, LKXScreenshot& out);
LKXWireStatus LKXParseManualHours(std::string_view bytes, LKXManualHours& out);
LKXWireStatus LKXParsePresence(std::string_view bytes, LKXPresence& out);
LKXWireStatus LKXParseScreenMonitorRequest(std::string_view bytes, LKXScreenMonitorRequest& out);
LKXWireStatus LKXParseUserState(std::string_view bytes, LKXUserState& out);
LKXWireStatus LKXParsePopupRequest(std::string_view bytes, LKXPopupRequest& out);
LKXWireStatus LKXParsePopupMessage(std::string_view bytes, LKXPopupMessage& out);
LKXWireStatus LKXParseStationVersion(std::string_view bytes, std::string& version);
LKXWireStatus LKXParseBusinessPrograms(std::string_view bytes, std::string& text);
