#pragma once
// The shared main() of the benchmark programs: each run gets a temporary data
// root (KAVRIX_ROOT and HOME point into it, as in the tests), so a benchmark
// never touches /opt or the machine's home folder, and the folder is removed
// afterwards.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "foundation/test_hooks.h"

// `prepare` runs once the temporary root is in place, before the benchmarks.
inline int KavrixBenchMain(int argc, char** argv, const std::function<void()>& prepare = {}) {
  char pattern[] = "/tmp/kavrix-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string root = pattern;
  setenv("KAVRIX_ROOT", (root + "/root").c_str(), 1);
  setenv("HOME", (root + "/home").c_str(), 1);
  std::filesystem::create_directories(root + "/home");
  LFoundationResetForTests();
  if (prepare) prepare();

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  LFoundationResetForTests();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
