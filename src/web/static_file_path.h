#pragma once
// Where a request for a static file is looked for.

#include <string>
#include <string_view>

// A page name beginning with "help/" names the rest of it inside the help
// folder; any other names a file inside the web root (sub-folders allowed).
// Slashes at the start of the name are dropped (the file is the same, and the
// path can never become absolute), and an empty folder gives an empty path,
// which opens nothing; the request parser has already refused "..". The name
// may still denote a folder ("help/", "img/"): the caller serves regular
// files only. The result is cut to 259 bytes like every path.
std::string LWebletStaticFilePath(std::string_view pageName, std::string_view webRoot,
                                  std::string_view helpFolder);
