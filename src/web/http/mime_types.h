#pragma once
// Content types of the static files of the web root and the help folder.

#include <string_view>

struct LMimeTypeEntry {
  const char* extension;  // lower case, without the dot
  const char* type;
};

// Searched in order; ended by an entry with an empty extension.
extern const LMimeTypeEntry LExtToMimeType[];

// The type of a file by the text after the last "." of its path, lowered;
// "application/octet-stream" when it is not in the table or there is no ".".
const char* LMimeTypeForPath(std::string_view path);
