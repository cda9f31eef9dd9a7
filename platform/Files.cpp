#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavora::platform {

bool FileExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MoveFileNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                1u /*RENAME_NOREPLACE*/) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    // File systems without renameat2: a hard link fails when the target exists.
    struct stat st {};
    if (lstat(from.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (link(from.c_str(), to.c_str()) != 0)
            return errno;
        if (unlink(from.c_str()) != 0) {
            int err = errno;
            unlink(to.c_str());
            return err;
        }
        return 0;
    }
    if (FileExists(to))
        return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int DeleteFileAt(const std::string& path) {
    return unlink(path.c_str()) == 0 ? 0 : errno;
}

int CreateFolder(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int EnumerateFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return errno;
    while (dirent* d = readdir(dir)) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        FolderEntry e;
        e.name = d->d_name;
        struct stat st {};
        if (fstatat(dirfd(dir), d->d_name, &st, 0) == 0) {
            e.isFolder = S_ISDIR(st.st_mode);
            e.size = static_cast<uint64_t>(st.st_size);
        }
        entries.push_back(std::move(e));
    }
    closedir(dir);
    return 0;
}

std::string ErrorText(int error) {
    char buffer[256];
    // GNU strerror_r returns the text, which may not be in buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

std::string ExecutableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return ".";
    return exe.parent_path().string();
}

} // namespace tavora::platform
