#pragma once
// Questions about a path's parts and what it names.

#include <string>

// The folder part of `path`: "." without a "/", "/" for a file at the root.
std::string LFolderOf(const std::string& path);
// Whether `path` names a folder (links followed).
bool LIsFolder(const std::string& path);
