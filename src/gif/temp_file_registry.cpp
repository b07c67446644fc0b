#include "gif/temp_file_registry.h"

#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace tovasel {

namespace {

// Enough for every job of the widest parallel batch, with room to spare.
constexpr int kSlots = 512;
constexpr std::size_t kPathBytes = 4096;

enum TSlotState : int { ssFree = 0, ssFilling = 1, ssInUse = 2 };

// Plain static storage: the handler reads it without any allocation. A slot
// is claimed (free -> filling), its path written, then published (in use);
// the handler only reads published slots.
std::array<std::atomic<int>, kSlots> gStates{};
char gPaths[kSlots][kPathBytes];

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free slot states");

extern "C" void RemoveTempFilesAndDie(int sig) {
  const int savedErrno = errno;
  TTempFileRegistry::UnlinkAll();
  // The default action reports the signal to the parent as the cause of the
  // end, as a process without this handler would.
  ::signal(sig, SIG_DFL);
  ::raise(sig);
  errno = savedErrno;
}

sigset_t TerminatingSignals() {
  sigset_t set;
  ::sigemptyset(&set);
  ::sigaddset(&set, SIGINT);
  ::sigaddset(&set, SIGTERM);
  ::sigaddset(&set, SIGHUP);
  return set;
}

int AddPath(const std::string& path) {
  if (path.size() >= kPathBytes) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    int expected = ssFree;
    if (!gStates[slot].compare_exchange_strong(expected, ssFilling)) continue;
    std::memcpy(gPaths[slot], path.c_str(), path.size() + 1);
    gStates[slot].store(ssInUse, std::memory_order_release);
    return slot;
  }
  return -1;
}

}  // namespace

int TTempFileRegistry::CreateTemporary(std::string& pattern, int& slot) {
  const sigset_t held = TerminatingSignals();
  sigset_t previous;
  ::pthread_sigmask(SIG_BLOCK, &held, &previous);
  const int fd = ::mkstemp(pattern.data());
  slot = fd >= 0 ? AddPath(pattern) : -1;
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return fd;
}

void TTempFileRegistry::Remove(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  gStates[slot].store(ssFree, std::memory_order_release);
}

void TTempFileRegistry::UnlinkAll() {
  for (int slot = 0; slot < kSlots; ++slot) {
    if (gStates[slot].load(std::memory_order_acquire) == ssInUse) ::unlink(gPaths[slot]);
  }
}

void InstallTempFileCleanup() {
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTempFilesAndDie;
    action.sa_mask = TerminatingSignals();
    ::sigaction(sig, &action, nullptr);
  }
}

}  // namespace tovasel
