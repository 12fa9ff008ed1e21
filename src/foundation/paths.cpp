#include "foundation/paths.h"

#include <cstdlib>

#include "foundation/text_limits.h"

std::string LFile::GetInstallRoot() {
  const char* root = std::getenv("KAVRIX_ROOT");
  if (root != nullptr && root[0] != '\0') return LCutText(root);
  return "/opt/mardel";
}

std::string LFile::FilePathCat(std::string_view left, std::string_view right) {
  std::string joined(left);
  if (!joined.empty() && joined.back() != '/' && joined.back() != '\\') joined += '/';
  joined += right;
  LCutTextInPlace(joined);
  return joined;
}

bool LFile::CreateFolder(const std::string& path, mode_t mode) { return LCreateFolderWithMode(path, mode); }

std::string LFile::GetSharedDataFolderApp() {
  const std::string root = GetInstallRoot();
  CreateFolder(root);
  const std::string app = FilePathCat(root, "kavrixserver");
  CreateFolder(app);
  return FilePathCat(app, "etc");
}

std::string LFile::GetSharedDataFolderAppSubFolder(std::string_view name, mode_t mode) {
  const std::string shared = GetSharedDataFolderApp();
  CreateFolder(shared);
  const std::string sub = FilePathCat(shared, name);
  CreateFolder(sub, mode);
  return sub;
}

std::string LFile::GetUserDataFolderApp() {
  const char* home = std::getenv("HOME");
  const std::string base = (home != nullptr) ? LCutText(home) : std::string("/opt");
  const std::string mardel = FilePathCat(base, ".mardel");
  CreateFolder(mardel);
  const std::string app = FilePathCat(mardel, "kavrixserver");
  CreateFolder(app);
  return app;
}

std::string LFile::GetUserDataFolderAppSubFolder(std::string_view name) {
  const std::string sub = FilePathCat(GetUserDataFolderApp(), name);
  CreateFolder(sub);
  return sub;
}

std::string LFile::GetHelpFolder() {
  return FilePathCat(FilePathCat(FilePathCat(GetInstallRoot(), "kavrixserver"), "share"), "help");
}
