#include "flic/dynamic_array.h"

#include <new>

namespace tovasel {

void TDynamicArray::SetCount(int n) {
  if (n < 0 || n > kMaxCount) throw EAllocateFailed();
  try {
    std::vector<std::int32_t> fresh(static_cast<std::size_t>(n), 0);
    items_.swap(fresh);
  } catch (const std::bad_alloc&) {
    throw EAllocateFailed();
  } catch (const std::length_error&) {
    throw EAllocateFailed();
  }
}

}  // namespace tovasel
