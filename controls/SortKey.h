#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavora::controls {

// One sort key, primary key first in the list. The owner persists the list as
// consecutive 8-byte records of exactly this layout.
struct SortKey {
    int32_t column = 0;
    int32_t ascending = 1; // nonzero: ascending

    friend bool operator==(const SortKey&, const SortKey&) = default;
};
static_assert(sizeof(SortKey) == 8);

inline constexpr size_t kMaxSortKeys = 6;

// A click on the header of column: the clicked column becomes the primary key.
// Clicking the primary key reverses it; a secondary key keeps its direction; a new
// key starts ascending. At most kMaxSortKeys keys remain, the oldest dropped.
void ApplyColumnClick(std::vector<SortKey>& keys, int32_t column);

} // namespace tavora::controls
