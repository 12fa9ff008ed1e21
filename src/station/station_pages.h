#pragma once
// The handlers of the URL table that belong to stations: the station
// hand-over ("connect", "stationlogon").

#include <string>
#include <string_view>

class LIPSocketTCP;
class LThread;
class LWebletForm;

// "connect": the fixed 200 header, then the socket belongs to the station
// protocol (LKXServerConnectionRun). Stations speak it on the plain port
// only: on the HTTPS port the path is not found.
void WLConnect(LWebletForm& form);

// Runs a station protocol on a socket that has just received the "connect"
// header; returns when the station's session ends.
using LStationProtocolHandler = void (*)(LThread& thread, LIPSocketTCP& socket,
                                         const std::string& remoteAddress);
// What "connect" does, with `protocol` in place of the station protocol (a
// test's own "connect" row hands the socket to a stand-in).
void WLHandOverConnection(LWebletForm& form, LStationProtocolHandler protocol);
inline constexpr std::string_view kLStationConnectPage = "connect";
// The session value that holds the address (without port) of the station
// connection that made the session.
inline constexpr char kLKXStationAddressKey[] = "staaddr";

// "stationlogon": hands the browser the session "sess" of a station
// connection as its cookie and redirects to the page "cmd" (with
// "?seluser=" and the field "seluser" when that is set). Only a browser on
// the station's own computer gets it: a link carrying some station's
// session id would otherwise log whoever follows it on as that station's
// user without their noticing. Any other request (a session of another
// address, a session no station made, an unknown id) is logged and sent to
// the logon dialog, without a cookie.
void WLStationLogon(LWebletForm& form);

// The Location of "stationlogon": `cmd` made safe (LWebletSafeTarget with
// "mainpage"), then "?seluser=" and `seluser` when that is not empty, cut to
// 259 bytes.
std::string LStationLogonTarget(const std::string& cmd, const std::string& seluser);
