#pragma once
// When a response goes out gzip-encoded: the client asked for it, and the
// body is text. Pictures are compressed already and never pass through gzip.

#include <cstddef>
#include <string>
#include <string_view>

// Web responses are handed to the kernel in pieces of this size.
inline constexpr std::size_t kLWebSendPieceBytes = 256 * 1024;

// The headers a gzip-encoded response adds to its head.
inline constexpr char kLHttpGzipHeaders[] = "Content-Encoding: gzip\r\nVary: Accept-Encoding\r\n";
inline constexpr char kLHttpLastChunk[] = "0\r\n\r\n";

// True when the Accept-Encoding value lists "gzip" (or "x-gzip", or "*")
// without "q=0". Codings and parameters are compared without case.
bool LHttpAcceptsGzip(std::string_view acceptEncoding);
// Text types: "text/..." and the script and data types of the panel. Only
// the part before ";" counts, without case.
bool LHttpCompressibleType(std::string_view contentType);
// The line that opens a chunk of `size` bytes: hexadecimal size, CR LF.
std::string LHttpChunkHead(std::size_t size);
