#include "imaging/limits.h"

#include <unistd.h>

#include <algorithm>

namespace tovasel {

std::int64_t DefaultFrameBudget() {
  constexpr std::int64_t kFloor = std::int64_t{1} << 30;
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return kFloor;
  return std::max(kFloor, static_cast<std::int64_t>(pages) * pageSize / 4);
}

}  // namespace tovasel
