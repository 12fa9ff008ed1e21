#pragma once
// The whole of kavrixstation-sim behind its main(): parses the arguments,
// runs the chosen mode and returns the exit status (0 done, 1 failed, 2 bad
// arguments). Printed lines go to `out`, complaints to `err`, both flushed
// line by line so that a reader of a pipe sees each message as it arrives.

#include <cstdio>
#include <string>
#include <vector>

int KXSimMain(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);
