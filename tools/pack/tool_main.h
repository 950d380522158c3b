// The command line of kestrava-pack:
//
//   kestrava-pack pack --program IMAGE.exe --output OUT.exe --version TEXT
//                      --platform "NAME=FOLDER" [--platform "NAME=FOLDER"]...
//   kestrava-pack list PROGRAM.exe
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrava::pack {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // a refused request, a failure, a file without container
inline constexpr int kExitUsage = 2;

// Runs one command; `args` excludes the program name. The list command prints
//   version "TEXT"
//   record "NAME" SIZE bytes        (one line per record, in file order)
// to `out`; messages go to `err`. Returns one of the exit codes above.
int PackToolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrava::pack
