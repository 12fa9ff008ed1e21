#pragma once
// Where a request for a static file is looked for.

#include <initializer_list>
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

// The one check every handler makes before it serves a file that a request
// names (pictures, activity logs, the system log). `parts` are the names
// under `root`, each a single name taken from the request or from the
// system's own folder names. True, with `path` the file's resolved path,
// only when every part is a plain name (not empty, not "." or "..", no "/",
// "\\", "%" or NUL: a name still holding "%" after the request was decoded
// was encoded twice), the path fits in 259 bytes, and it resolves, links
// followed, to a regular file inside the resolved `root`. Anything else is
// false with `path` empty; callers answer a plain 404 whatever the reason,
// so that a refusal tells nothing about what exists.
bool LWebletContainedFilePath(std::string_view root, std::initializer_list<std::string_view> parts,
                              std::string& path);
// The same for a folder that a request names (an archive sub-folder to
// list): true only when it resolves to a folder inside the resolved `root`.
bool LWebletContainedFolderPath(std::string_view root, std::initializer_list<std::string_view> parts,
                                std::string& path);
