#pragma once

#include <string>

namespace tavora::task {

// Longest folder path CreateDirectoryTree accepts, in bytes.
inline constexpr size_t kMaxTreePath = 4095;

// Creates path with every missing parent, outermost first. True when path is a
// folder afterwards (also when it already was); false when a parent cannot be
// created, when a file is in the way, or when path is longer than kMaxTreePath.
bool CreateDirectoryTree(const std::string& path);

} // namespace tavora::task
