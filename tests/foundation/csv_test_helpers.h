#pragma once
// Small helpers shared by the CSV tests.

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "foundation/csv_reader.h"

// Every line the reader hands out for the file at `path`.
inline std::vector<std::string> CsvLines(const std::string& path) {
  LCSVFileReader reader(path, 1000);
  std::vector<std::string> lines;
  while (reader.Next()) lines.push_back(reader.Line());
  return lines;
}

// Every column of `line` as LCSVReaderRow sees it.
inline std::vector<std::string> CsvColumns(const std::string& line) {
  LCSVReaderRow row(line);
  std::vector<std::string> columns;
  std::string column;
  while (row.GetCol(column)) columns.push_back(column);
  return columns;
}

// Names in `folder` (without "." and "..").
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

// How many descriptors of this process refer to the file `info` describes.
inline int OpenDescriptorsOf(const struct stat& info) {
  int count = 0;
  for (const std::string& name : FolderEntries("/proc/self/fd")) {
    struct stat other {};
    if (stat(("/proc/self/fd/" + name).c_str(), &other) == 0 && other.st_dev == info.st_dev &&
        other.st_ino == info.st_ino) {
      ++count;
    }
  }
  return count;
}

// Waits until another thread has the file open `count` times in all: that is
// how a test knows an appender is waiting on the file it holds locked.
inline bool WaitForOpenDescriptors(const struct stat& info, int count) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (OpenDescriptorsOf(info) < count) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
