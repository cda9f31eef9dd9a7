#include "controls/SortKey.h"

#include <algorithm>

namespace tavora::controls {

void ApplyColumnClick(std::vector<SortKey>& keys, int32_t column) {
    int32_t ascending = 1;
    auto found = std::find_if(keys.begin(), keys.end(),
                              [column](const SortKey& k) { return k.column == column; });
    if (found != keys.end()) {
        ascending = found == keys.begin() ? (found->ascending ? 0 : 1) : found->ascending;
        keys.erase(found);
    }
    keys.insert(keys.begin(), SortKey{column, ascending});
    if (keys.size() > kMaxSortKeys)
        keys.resize(kMaxSortKeys);
}

} // namespace tavora::controls
