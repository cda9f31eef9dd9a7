#include "controls/ColumnState.h"

#include <utility>

namespace tavora::controls {

void ReorderForShow(std::vector<int>& order, int column, const std::vector<ColumnState>& states) {
    const int n = static_cast<int>(order.size());
    const int savedPos = states[column].savedPos;
    int idx = -1;
    for (int i = 0; i < n; ++i) {
        const int c = order[i];
        if (c == column) {
            idx = i;
        } else if (idx != -1 && (i <= savedPos || !states[c].shown)) {
            std::swap(order[idx], order[i]);
            idx = i;
        }
    }
}

void ReorderForHide(std::vector<int>& order, int column, std::vector<ColumnState>& states) {
    const int n = static_cast<int>(order.size());
    int idx = -1;
    for (int i = n - 1; i >= 0; --i) {
        if (order[i] == column) {
            states[column].savedPos = n;
            idx = i;
        } else if (idx != -1) {
            std::swap(order[idx], order[i]);
            idx = i;
        }
    }
}

} // namespace tavora::controls
