#include "task/UniqueName.h"

#include "engine/Progress.h"
#include "platform/Files.h"

namespace tavora::task {

std::string MakeUniqueName(const std::string& path) {
    // Only a "." in the file name starts the extension, not one in a folder.
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExtension ? path.substr(0, dot) : path;
    const std::string ext = hasExtension ? path.substr(dot) : std::string();
    for (int k = 2;; ++k) {
        std::string candidate = engine::FormatText("%s (%d)%s", base.c_str(), k, ext.c_str());
        if (!platform::FileExists(candidate))
            return candidate;
    }
}

} // namespace tavora::task
