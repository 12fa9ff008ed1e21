#pragma once
// Static files of the web root and the help folder, and files that pages
// hand out (images, CSV logs, the system log). Files are never loaded whole:
// small ones go out with their header in one send, larger ones with
// sendfile, text to a client that accepts gzip through a streaming
// compressor in chunks. Every file carries an entity tag of its
// modification time and size, so that browsers can revalidate cheaply.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/byte_transport.h"
#include "web/text/hash_table.h"

class LThread;

enum class LStaticFileOutcome {
  kFileSent,     // 200 and the whole file went out
  kNotModified,  // 304: the browser's copy is current
  kNotFound,     // 404 with "Content-Length: 0": no such regular file
  kSendFailed,   // the peer is gone or stalled; the response is incomplete
};

// What the request says about the file it wants.
struct LFileConditions {
  std::string ifNoneMatch;
  std::string ifModifiedSince;
  // The client accepts gzip and a chunked body (HTTP/1.1): text files go
  // out compressed.
  bool gzip = false;
};

// The conditions of a request's headers ("If-None-Match",
// "If-Modified-Since", "Accept-Encoding") and its HTTP version.
LFileConditions LFileConditionsOf(const LHashTable& headers, std::int64_t versionMilli);

// The static-file procedure. Only a regular file is served: a folder (the
// web root itself for "/"), a device or a pipe gets the 404 like a missing
// file. After any outcome but kSendFailed the connection is still in step
// for a next request.
LStaticFileOutcome LServeStaticFile(LThread* thread, LByteTransport& out, const std::string& path,
                                    const LFileConditions& conditions);

// The same without compression; true only when the whole file was sent.
bool LWebletServeFile(LThread* thread, LByteTransport& out, const std::string& path,
                      std::string_view ifNoneMatch, std::string_view ifModifiedSince);

// A file that a page hands out (pictures, logs), after the page's access
// check: the type given, "private, no-cache" (the browser keeps it but asks
// each time, and a matching entity tag gets the 304), "nosniff" so that no
// browser guesses a page out of it, and, when `attachmentName` is not empty,
// "Content-Disposition: attachment" under that name (a plain file name: the
// caller passes a name that holds no quote or line end). Only a regular file
// is served; anything else gets the plain 404.
LStaticFileOutcome LServeHandedOutFile(LThread* thread, LByteTransport& out, const std::string& path,
                                       std::string_view contentType, std::string_view attachmentName,
                                       const LFileConditions& conditions = {});
