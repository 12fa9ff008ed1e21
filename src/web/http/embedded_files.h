#pragma once
// The static files of the web root and the help pages, compiled into the
// program (the build generates the table from the folders webroot/ and help/
// of the source tree, see cmake/EmbedFiles.cmake).

#include <cstddef>
#include <span>

struct LEmbeddedFile {
  const char* folder;  // "webroot" or "help"
  const char* name;    // path inside that folder, sub-folders joined by "/"
  const unsigned char* data;
  std::size_t size;
};

std::span<const LEmbeddedFile> LEmbeddedStaticFiles();
