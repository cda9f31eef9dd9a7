#include "task/DirectoryTree.h"

#include "platform/Files.h"

#include <cerrno>

namespace tavora::task {

bool CreateDirectoryTree(const std::string& path) {
    if (path.empty() || path.size() > kMaxTreePath)
        return false;
    // Walk back to the deepest folder that can be created, then forward again
    // to the end, one separator at a time.
    std::string buffer = path;
    const size_t end = path.size();
    size_t cut = end;
    for (;;) {
        const int error = platform::CreateFolder(buffer);
        if (error == ENOENT) {
            const size_t slash = cut == 0 ? std::string::npos : buffer.rfind('/', cut - 1);
            if (slash == std::string::npos || slash == 0)
                return false; // nothing left to create beneath
            cut = slash;
            buffer.resize(cut);
            continue;
        }
        // EEXIST is also what a file of that name gives: only a folder will do.
        if (error != 0 && !(error == EEXIST && platform::FolderExists(buffer)))
            return false;
        if (cut == end)
            return true;
        cut = path.find('/', cut + 1);
        if (cut == std::string::npos)
            cut = end;
        buffer = path.substr(0, cut);
    }
}

} // namespace tavora::task
