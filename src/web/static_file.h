#pragma once
// Static files of the web root and the help folder, and files that pages
// hand out (images, CSV logs, the system log). Files are streamed in 1024-byte
// pieces under a shared lock, never loaded whole, and carry an entity tag of
// their modification time and size so that browsers can revalidate cheaply.

#include <string>
#include <string_view>

#include "engine/ip_socket_tcp.h"

class LThread;

enum class LStaticFileOutcome {
  kFileSent,     // 200 and the whole file went out
  kNotModified,  // 304: the browser's copy is current
  kNotFound,     // 404 with "Content-Length: 0": no such regular file
  kSendFailed,   // the peer is gone or stalled; the response is incomplete
};

// The static-file procedure. Only a regular file is served: a folder (the
// web root itself for "/"), a device or a pipe gets the 404 like a missing
// file. After any outcome but kSendFailed the connection is still in step
// for a next request.
LStaticFileOutcome LServeStaticFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                                    std::string_view ifNoneMatch, std::string_view ifModifiedSince);

// The same; true only when the whole file was sent.
bool LWebletServeFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                      std::string_view ifNoneMatch, std::string_view ifModifiedSince);

// A file that a page hands out (pictures, logs): the type given, never
// cached by the browser, "nosniff" so that no browser guesses a page out of
// it, and, when `attachmentName` is not empty, "Content-Disposition:
// attachment" under that name (a plain file name: the caller passes a name
// that holds no quote or line end). Only a regular file is served; anything
// else gets the plain 404.
LStaticFileOutcome LServeHandedOutFile(LThread* thread, LIPSocketTCP& socket, const std::string& path,
                                       std::string_view contentType, std::string_view attachmentName);
