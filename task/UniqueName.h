#pragma once

#include <string>

namespace tavora::task {

// The first of "base (2).ext", "base (3).ext", ... that names no file or
// folder, where ext is the path's extension with its "." (empty when the file
// name has none). Called when a job starts, so jobs of one task never collide.
std::string MakeUniqueName(const std::string& path);

} // namespace tavora::task
