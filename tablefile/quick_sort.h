#pragma once
// An unstable quicksort over a vector, driven by a three-way comparison. It
// stays within bounds and terminates even when the comparison is not a
// consistent order (NaN values, records that compare equal to everything),
// which std::sort does not promise.

#include <cstddef>
#include <utility>
#include <vector>

namespace tablefile {

template <typename T, typename Compare>
void QuickSort(std::vector<T>& items, Compare compare) {
  struct Range {
    std::ptrdiff_t low;
    std::ptrdiff_t high;  // inclusive
  };
  std::vector<Range> pending{{0, static_cast<std::ptrdiff_t>(items.size()) - 1}};
  while (!pending.empty()) {
    auto [low, high] = pending.back();
    pending.pop_back();
    while (low < high) {
      const T pivot = items[low + (high - low) / 2];
      std::ptrdiff_t i = low;
      std::ptrdiff_t j = high;
      while (i <= j) {
        while (i <= high && compare(items[i], pivot) < 0) ++i;
        while (j >= low && compare(items[j], pivot) > 0) --j;
        if (i <= j) std::swap(items[i++], items[j--]);
      }
      if (j >= high || i <= low) break;  // no progress: the order is not consistent here
      // Keep the smaller part for the next round so the pending list stays short.
      if (j - low < high - i) {
        pending.push_back({i, high});
        high = j;
      } else {
        pending.push_back({low, j});
        low = i;
      }
    }
  }
}

}  // namespace tablefile
