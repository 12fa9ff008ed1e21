#include "service/data_modes.h"

#include "foundation/file_modes.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "model/core_data.h"

namespace {

constexpr LTreeModes kDataModes{kLDataFileMode, kLDataFolderMode};
constexpr LTreeModes kSessionModes{kLOwnerFileMode, kLOwnerFolderMode};

bool Inside(const std::string& path, const std::string& folder) {
  return path == folder || path.rfind(folder + "/", 0) == 0;
}

}  // namespace

LModeTightening LTightenDataModes(const std::function<bool()>& stopRequested) {
  const std::string shared = LFile::GetSharedDataFolderApp();
  LModeTightening total = LTightenTreeModes(shared, kDataModes, {{"SessionData", kSessionModes}}, stopRequested);
  const std::string archive = LKXCoreData::GetArchiveRoot();
  if (!archive.empty() && !Inside(archive, shared)) {
    const LModeTightening more = LTightenTreeModes(archive, kDataModes, {}, stopRequested);
    total.narrowed += more.narrowed;
    total.failed += more.failed;
  }
  if (total.narrowed != 0 || total.failed != 0) {
    LOGWARNF(
        "Data folder: %d files and folders could be read by other accounts and are now for the service's user "
        "and group only; %d could not be changed.",
        total.narrowed, total.failed);
  }
  return total;
}

void LDataModesThread::ThreadFunction() { (void)LTightenDataModes([this] { return IsStopRequested(); }); }
