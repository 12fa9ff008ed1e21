// kavrixstation-sim: a simulated KavrixStation for trying out and loading a
// KavrixServer. See sim_options.h and the README for what it does.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim_cli.h"

int main(int argc, char** argv) {
  // A server that closes while a message is on its way must not kill the
  // simulator; the failed send is reported instead.
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return KXSimMain(args, stdin, stdout, stderr);
}
