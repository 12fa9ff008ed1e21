#pragma once
// The text encoders of outgoing mail: subjects, attachments, the boundary
// between parts, the Date header, and the cleaning that keeps any text out
// of a header line it does not belong to.

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

// Attachments are read this many bytes at a time, which base64 turns into
// one line of 76 characters.
inline constexpr std::size_t kLBase64LineBytes = 57;
// How many boundary candidates are tried before the last one is taken.
inline constexpr int kLBoundaryCandidates = 100;

// A subject of bytes below 0x80 as it is; otherwise one encoded word
// "=?utf-8?q?...?=" in which bytes 0x80..0xFF, bytes up to 32 and the
// characters "?", "_" and "=" are written "=XX" (upper-case hex). Cut at
// 259 characters.
void LRFC2047Encode(std::string& out, std::string_view text);

// Standard base64 with "=" padding, appended to `out`.
void LBase64Encode(const void* data, std::size_t length, std::string& out);
// The data in base64 lines: every 57 bytes give one line, each ending CR LF.
std::string LBase64Lines(std::string_view data);

// "gc0p4Jq0M2Yt08jU534c%d" with the first n from 0 whose text does not occur
// in `body`; the hundredth candidate is taken regardless.
std::string LEmailFindBoundary(std::string_view body);

// "Sun, 07 Dec 2026 04:16:18 +0100": the local time `local` with its UTC
// offset in seconds (east positive).
std::string LEmailDateText(const struct tm& local, long utc_offset_seconds);
// The Date header text of the current moment.
std::string LEmailDateNow();

// The text with every CR, LF and other control byte replaced by a space, so
// that a name, subject or address can never start a header line of its own.
std::string LEmailHeaderText(std::string_view text);

// Every bare CR and bare LF made CR LF: a lone LF before a full stop would
// otherwise end the data early on some servers and let the rest of the body
// be read as commands.
std::string LEmailNormalizeLineEnds(std::string_view text);
