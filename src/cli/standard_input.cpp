#include "cli/standard_input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>

#include "app/app_error.h"
#include "flic/flic_decoder.h"
#include "flic/flic_header.h"

namespace tovasel::cli {

namespace {

constexpr const char* kName = "standard input";

// Reads until count bytes are in or the stream ends; returns how many came.
std::size_t ReadInto(std::uint8_t* data, std::size_t count) {
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = ::read(STDIN_FILENO, data + got, count - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EAppError(std::string("Cannot read ") + kName + ": " + std::strerror(errno));
    }
    got += static_cast<std::size_t>(n);
  }
  return got;
}

}  // namespace

std::vector<std::uint8_t> ReadStandardInput(const TFlicDecoder& decoder) {
  std::vector<std::uint8_t> bytes(TFlicHeader::kSize);
  bytes.resize(ReadInto(bytes.data(), bytes.size()));
  if (const std::string reason = decoder.HeaderRefusal(bytes); !reason.empty()) {
    throw EAppError(std::string("Cannot open FLIC file ") + kName + ": " + reason);
  }
  // The block is reserved once, so that no growth copies it, and filled as
  // the bytes come: a header that claims more than the stream holds costs
  // address space only.
  const std::uint64_t claimed = TFlicHeader::Parse(bytes).Size;
  const std::size_t wanted = static_cast<std::size_t>(std::clamp<std::uint64_t>(claimed, bytes.size(), kMaxStandardInputBytes));
  bytes.reserve(wanted);
  constexpr std::size_t kChunk = std::size_t{1} << 16;
  while (bytes.size() < wanted) {
    const std::size_t at = bytes.size();
    bytes.resize(std::min(wanted, at + kChunk));
    const std::size_t got = ReadInto(bytes.data() + at, bytes.size() - at);
    bytes.resize(at + got);
    if (got == 0) break;
  }
  // The walk never reads past the header's size: what follows is not the
  // file's, unless it runs past the largest file taken at all.
  if (bytes.size() == kMaxStandardInputBytes) {
    std::uint8_t probe = 0;
    if (claimed > kMaxStandardInputBytes && ReadInto(&probe, 1) == 1) {
      throw EAppError("Standard input holds more than " + std::to_string(kMaxStandardInputBytes >> 20) +
                      " MiB, too much for a FLIC file");
    }
  }
  return bytes;
}

}  // namespace tovasel::cli
