#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace tovasel {

// Stores what Write writes at Path, by what the path names, never losing
// what was there:
// - a regular file, or nothing yet: through StoreFileSafely, a new file
//   beside it renamed over it when complete;
// - a FIFO or a character device: the bytes, once complete, go into it as
//   into a pipe (the writer fills a scratch file in the temporary folder
//   first, since it may seek back); the FIFO or device itself stays;
// - /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N: the
//   descriptor they stand for, as StoreToDescriptor ("Cannot write to
//   standard output: <reason>" for /dev/stdout);
// - anything else is refused before Write runs: GIFException "Cannot write
//   file <path>: it is a socket" (a block device, a folder, ...).
// Raises what StoreFileSafely raises, and "Cannot write file <path>:
// <reason>" when the FIFO or device refuses the bytes.
void StoreOutput(const std::string& path, const std::function<void(std::ostream& stream)>& write);

// What Write writes, once complete, into the descriptor fd (standard output
// for "-"), through a scratch file in the temporary folder. A failed write
// raises GIFException "<failureText>: <reason>"; a scratch file that cannot
// be made raises "Cannot create a temporary file in <folder>: <reason>".
// A reader that went away is an error, never a signal that ends the
// process.
void StoreToDescriptor(int fd, const std::string& failureText,
                       const std::function<void(std::ostream& stream)>& write);

// The descriptor Path stands for (/dev/stdout is 1, /dev/fd/5 is 5), or -1.
int DescriptorNamedBy(const std::string& path);

}  // namespace tovasel
