#include "web/http/static_file_path.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "foundation/paths.h"
#include "foundation/text_limits.h"

std::string LWebletStaticFilePath(std::string_view pageName, std::string_view webRoot,
                                  std::string_view helpFolder) {
  static constexpr std::string_view kHelpPrefix = "help/";
  std::string_view folder = webRoot;
  if (pageName.substr(0, kHelpPrefix.size()) == kHelpPrefix) {
    folder = helpFolder;
    pageName.remove_prefix(kHelpPrefix.size());
  }
  if (folder.empty()) return std::string();
  while (!pageName.empty() && pageName.front() == '/') pageName.remove_prefix(1);
  return LFile::FilePathCat(folder, pageName);
}

namespace {

bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\%\0", 4)) == std::string_view::npos;
}

// realpath(3) into a string; false when the path does not resolve.
bool Resolve(const std::string& path, std::string& out) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return false;
  out = resolved;
  return true;
}

bool Contained(std::string_view root, std::initializer_list<std::string_view> parts, bool folder,
               std::string& path) {
  path.clear();
  if (root.empty() || parts.size() == 0) return false;
  std::string joined(root);
  for (std::string_view part : parts) {
    if (!IsPlainName(part)) return false;
    joined += '/';
    joined += part;
  }
  if (joined.size() > kLMaxText) return false;
  std::string resolvedRoot;
  std::string resolvedFile;
  if (!Resolve(std::string(root), resolvedRoot) || !Resolve(joined, resolvedFile)) return false;
  // A link inside the folder may point anywhere; only where it ends counts.
  if (resolvedRoot != "/") resolvedRoot += '/';
  if (resolvedFile.compare(0, resolvedRoot.size(), resolvedRoot) != 0) return false;
  struct stat info {};
  if (::stat(resolvedFile.c_str(), &info) != 0) return false;
  if (folder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode)) return false;
  path = std::move(resolvedFile);
  return true;
}

}  // namespace

bool LWebletContainedFilePath(std::string_view root, std::initializer_list<std::string_view> parts,
                              std::string& path) {
  return Contained(root, parts, false, path);
}

bool LWebletContainedFolderPath(std::string_view root, std::initializer_list<std::string_view> parts,
                                std::string& path) {
  return Contained(root, parts, true, path);
}
