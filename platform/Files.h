#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavora::platform {

bool FileExists(const std::string& path);   // any kind of entry
bool FolderExists(const std::string& path); // a folder, or a link to one

// Renames from to to, failing (EEXIST) when to exists: unlike rename(), it
// never replaces a file. Returns 0 or an errno value.
int MoveFileNoReplace(const std::string& from, const std::string& to);

// Removes a file (not a folder). Returns 0 or an errno value.
int DeleteFileAt(const std::string& path);

// Creates one folder. Returns 0, EEXIST when it already exists, or another errno value.
int CreateFolder(const std::string& path);

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    uint64_t size = 0;
};
// Entries of a folder, without "." and "..". Returns 0 or an errno value.
int EnumerateFolder(const std::string& path, std::vector<FolderEntry>& entries);

// The system's text for an errno value.
std::string ErrorText(int error);

// Folder of the running executable, without a trailing "/".
std::string ExecutableFolder();

} // namespace tavora::platform
