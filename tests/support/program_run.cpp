#include "support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tovasel::testing {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOut = ".run-stdout";
constexpr const char* kErr = ".run-stderr";

// The argv and envp form of a list: pointers into it, ending in null.
std::vector<char*> Pointers(std::vector<std::string>& list) {
  std::vector<char*> pointers;
  for (std::string& s : list) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

pid_t StartProgram(const std::vector<std::string>& args, const fs::path& folder, const TRunStreams& streams) {
  std::vector<std::string> all = args, env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (streams.TmpDir.empty() || std::strncmp(*e, "TMPDIR=", 7) != 0) env.emplace_back(*e);
  }
  if (!streams.TmpDir.empty()) env.push_back("TMPDIR=" + streams.TmpDir);
  const std::vector<char*> argv = Pointers(all), envp = Pointers(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const fs::path out = streams.Stdout.empty() ? folder / kOut : fs::path(streams.Stdout);
  if (!streams.Stdin.empty()) posix_spawn_file_actions_addopen(&actions, 0, streams.Stdin.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (folder / kErr).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return pid;
}

TRun FinishProgram(pid_t pid, const fs::path& folder) {
  TRun r;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
    if (WIFEXITED(status)) r.Exit = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.Signal = WTERMSIG(status);
  }
  r.Out = ReadText(folder / kOut);
  r.Err = ReadText(folder / kErr);
  std::error_code ec;
  fs::remove(folder / kOut, ec);
  fs::remove(folder / kErr, ec);
  return r;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tovasel::testing
