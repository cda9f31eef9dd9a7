#include "platform/Instance.h"

#include <filesystem>
#include <mutex>

namespace tavora::platform {
namespace {
std::mutex g_nameMutex;
std::string g_name = "tavora";
} // namespace

std::string InstanceName() {
    std::lock_guard lock(g_nameMutex);
    return g_name;
}

void SetInstanceName(std::string name) {
    std::lock_guard lock(g_nameMutex);
    g_name = std::move(name);
}

std::string InstanceNameFromArgv0(const char* argv0) {
    std::filesystem::path p = (argv0 && *argv0) ? std::filesystem::path(argv0)
                                                : std::filesystem::read_symlink("/proc/self/exe");
    return p.stem().string();
}

} // namespace tavora::platform
