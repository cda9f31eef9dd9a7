#pragma once

#include <atomic>

namespace tavora::controls {

// Process-wide flags shared by the main window, the list control and the busy
// dialog. Each has one writer at a time; writers store with release, readers
// load with acquire.

// 1 when the operating system counts as modern (always the case on Linux); the
// main window sets it once at start-up. While it is 0 the list control repaints
// more eagerly on resizes and scrolls.
extern std::atomic<int> g_modernOsFlag;

// 1 while the list control sorts its rows. The busy dialog's Cancel and Close
// also set it, and the next sort clears it; while it is 1 the main window ignores
// the list's item changes and starts no conversion.
extern std::atomic<int> g_sortingFlag;

inline int ModernOsFlag() {
    return g_modernOsFlag.load(std::memory_order_acquire);
}
inline void SetModernOsFlag(int value) {
    g_modernOsFlag.store(value, std::memory_order_release);
}
inline int SortingFlag() {
    return g_sortingFlag.load(std::memory_order_acquire);
}
inline void SetSortingFlag(int value) {
    g_sortingFlag.store(value, std::memory_order_release);
}

} // namespace tavora::controls
