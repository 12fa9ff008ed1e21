#pragma once
// Lays out the static files that the pages refer to by name: every file of
// the web root and of the help pages that is missing on disk is written from
// the copy compiled into the program. Files already present are kept, so an
// office that replaced a style sheet or a help page keeps its own.

#include <span>
#include <string>

#include "web/http/embedded_files.h"

// Writes each missing file of `files` into `webRoot` (folder "webroot") or
// `helpFolder` (folder "help"), creating the folders on the way. Returns the
// number of files written; a file that cannot be written is logged and
// skipped.
int LInstallStaticFiles(std::span<const LEmbeddedFile> files, const std::string& webRoot,
                        const std::string& helpFolder);
