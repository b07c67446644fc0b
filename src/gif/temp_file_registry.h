#pragma once

#include <string>

namespace tovasel {

// The temporary files being written right now, kept in a fixed table that a
// signal handler can read without locks or allocation, so that an
// interrupted program leaves none of them behind.
class TTempFileRegistry {
 public:
  // Creates a file from a mkstemp pattern (filled in place) and notes it,
  // with the terminating signals held off in between so that no signal can
  // find the file made but not yet noted. Returns the descriptor, or -1 with
  // nothing created; `slot` is -1 when the table is full or the path too
  // long (the file is then simply not removed on a signal).
  static int CreateTemporary(std::string& pattern, int& slot);
  // Forgets the slot, once its file has been renamed or removed.
  static void Remove(int slot);
  // Unlinks every file still noted. Async-signal-safe.
  static void UnlinkAll();
};

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the
// temporary files in flight and then end the process as the signal would
// have (the status a shell shows as 128 + signal). A signal the process
// inherited as ignored stays ignored.
void InstallTempFileCleanup();

}  // namespace tovasel
