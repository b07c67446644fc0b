#pragma once

#include <utility>
#include <vector>

namespace tovasel {

// The quicksort every colour-map ordering uses. Its exact steps matter:
// items with equal keys end up in the order this procedure leaves them, and
// that order decides the colour indices written to the file, so it is not
// interchangeable with std::sort or std::stable_sort.
//
// `compare(a, b)` is negative when a belongs before b, positive when after.
// The pivot is the middle item's value, copied before any swap.
template <class T, class Compare>
void QuickSort(std::vector<T>& items, int left, int right, Compare compare) {
  if (left >= right) return;
  int i;
  do {
    i = left;
    int j = right;
    const T pivot = items[static_cast<std::size_t>((left + right) / 2)];
    do {
      while (compare(items[static_cast<std::size_t>(i)], pivot) < 0) ++i;
      while (compare(items[static_cast<std::size_t>(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (left < j) QuickSort(items, left, j, compare);
    left = i;
  } while (i < right);
}

template <class T, class Compare>
void QuickSort(std::vector<T>& items, Compare compare) {
  if (items.size() > 1) QuickSort(items, 0, static_cast<int>(items.size()) - 1, compare);
}

// Three-way comparison of 64-bit keys, largest first, without the overflow
// of subtracting them.
inline int LargestFirst(long long a, long long b) { return a > b ? -1 : (a < b ? 1 : 0); }

}  // namespace tovasel
