#include "web/static_file_path.h"

#include "foundation/paths.h"

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
