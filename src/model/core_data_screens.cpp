// Storing screenshots: the picture and its thumbnail in the screenshot
// folder of the day, named by the clock time of the moment it was taken.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "foundation/file_modes.h"
#include "foundation/log.h"
#include "foundation/unique_fd.h"
#include "model/core_data.h"
#include "model/screenshot_image.h"
#include "foundation/write_all.h"

namespace {

// Replaces the file's contents under an exclusive lock taken without
// waiting: a file that is locked is being stored by a picture of the same
// second right now, and that one is kept. A picture that could not be
// written whole (a full disk) is removed rather than left half-written for
// the screenshot page to show.
bool WriteScreenFile(const std::string& path, const std::string& bytes) {
  LUniqueFd fd = LOpenCreating(path, O_WRONLY | O_CREAT);
  if (!fd) return false;
  int locked;
  while ((locked = flock(fd.Get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (locked != 0) return false;
  if (ftruncate(fd.Get(), 0) == 0 && LWriteAll(fd.Get(), bytes)) return true;
  unlink(path.c_str());
  return false;
}

// The address as it may stand in a log line: no control byte can break the
// line.
std::string LoggableUser(std::string_view user) {
  std::string text(user.substr(0, 259));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return text;
}

// `folder` + "/" + `name`, or false when the path would not fit a buffer.
bool ScreenFilePath(const std::string& folder, const std::string& name, std::string& out) {
  out = folder + "/" + name;
  return out.size() <= LKXCoreData::kMaxPath;
}

}  // namespace

bool LKXCoreData::LogScreenShot(std::string_view user, LDateTime time, bool is_jpeg, const void* data,
                                std::size_t size) {
  if (!time.IsSet()) return false;
  // Decoded before anything is created, so that bad bytes leave no empty
  // folder behind.
  LKXScreenShotJpegs jpegs;
  std::string error;
  if (!KXConvertScreenShot(is_jpeg, data, size, jpegs, error)) {
    LOGWARNF("Screenshot of %s not stored: %s", LoggableUser(user).c_str(), error.c_str());
    return false;
  }
  std::string folder;
  if (!GetScreenFolder(user, time, folder, true)) return false;
  const std::string name = time.GetTimeHHHMMHSS() + ".jpg";
  std::string picture_path;
  std::string thumbnail_path;
  if (!ScreenFilePath(folder, name, picture_path) || !ScreenFilePath(folder, "_" + name, thumbnail_path)) {
    return false;
  }
  if (!WriteScreenFile(picture_path, jpegs.picture)) return false;
  return !jpegs.thumbnail.empty() && WriteScreenFile(thumbnail_path, jpegs.thumbnail);
}
