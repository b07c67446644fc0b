#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tovasel::testing {

struct TRun {
  int Exit = -1;
  int Signal = 0;
  std::string Out;
  std::string Err;
};

struct TRunStreams {
  std::string Stdin;   // a file for standard input; "" leaves it alone
  std::string Stdout;  // a file for standard output; "" captures it
  std::string TmpDir;  // TMPDIR for the program; "" leaves it alone
};

// Starts a program (found on PATH) in `folder`, with standard error and
// captured output in files there and the termination signals at their
// default action, whatever the test runner inherited.
pid_t StartProgram(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                   const TRunStreams& streams = {});
// Waits for the program and reads what it wrote.
TRun FinishProgram(pid_t pid, const std::filesystem::path& folder);

inline TRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                       const TRunStreams& streams = {}) {
  return FinishProgram(StartProgram(argv, folder, streams), folder);
}

#ifdef TOVASEL_CLI
inline TRun RunCli(std::vector<std::string> args, const std::filesystem::path& folder,
                   const TRunStreams& streams = {}) {
  args.insert(args.begin(), TOVASEL_CLI);
  return RunProgram(args, folder, streams);
}
#endif

std::string ReadText(const std::filesystem::path& path);

}  // namespace tovasel::testing
