#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace tavora::controls {

// -1, 0 or 1 by unsigned byte order; a prefix sorts first. Case-sensitive, no
// locale: "Zebra" < "apple" and "10" < "9".
inline int CompareBytes(std::string_view a, std::string_view b) {
    const int r = a.compare(b); // char_traits<char> compares as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// -1 or 1 when the numbers are ordered, 0 when equal or when either is not a number.
inline int CompareNumbers(double a, double b) {
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    return 0;
}

// Sorts the row indexes v[lo..hi] by compare(rowA, rowB) -> -1/0/1, reversed when
// descending. Partitions around the middle element's row; not stable. The scans
// only ever compare against that one pivot row, so even a comparison that is not
// a strict weak order (numbers that are NaN) cannot run them out of bounds.
template <typename Compare>
void QuickSortRows(std::vector<int>& v, int lo, int hi, bool ascending, const Compare& compare) {
    for (;;) {
        const int pivot = v[static_cast<size_t>((lo + hi) / 2)];
        int i = lo;
        int j = hi;
        do {
            if (ascending) {
                while (compare(v[static_cast<size_t>(i)], pivot) < 0)
                    ++i;
                while (compare(v[static_cast<size_t>(j)], pivot) > 0)
                    --j;
            } else {
                while (compare(v[static_cast<size_t>(i)], pivot) > 0)
                    ++i;
                while (compare(v[static_cast<size_t>(j)], pivot) < 0)
                    --j;
            }
            if (j < i)
                break;
            if (i != j)
                std::swap(v[static_cast<size_t>(i)], v[static_cast<size_t>(j)]);
            ++i;
            --j;
        } while (i <= j);
        // Recurse into the smaller part and loop on the larger, so the depth stays
        // logarithmic whatever the input; the parts are disjoint, so the order in
        // which they are sorted changes nothing in the result.
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSortRows(v, lo, j, ascending, compare);
            if (i >= hi)
                return;
            lo = i;
        } else {
            if (i < hi)
                QuickSortRows(v, i, hi, ascending, compare);
            if (lo >= j)
                return;
            hi = j;
        }
    }
}

} // namespace tavora::controls
