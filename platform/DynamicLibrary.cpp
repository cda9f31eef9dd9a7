#include "platform/DynamicLibrary.h"

#include "platform/Files.h"

#include <cctype>
#include <dlfcn.h>

namespace tavora::platform {

std::string DynamicLibrary::MapLibraryName(const std::string& name) {
    std::string base = name;
    const std::string dll = ".dll";
    if (base.size() > dll.size()) {
        std::string tail = base.substr(base.size() - dll.size());
        for (auto& c : tail)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (tail == dll)
            base = "lib" + base.substr(0, base.size() - dll.size()) + ".so";
    }
    return base;
}

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& name, std::string* error) {
    const std::string file = MapLibraryName(name);
    void* handle = nullptr;
    if (file.find('/') == std::string::npos) {
        const std::string local = ExecutableFolder() + "/" + file;
        if (FileExists(local))
            handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!handle)
        handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* e = dlerror();
            *error = e ? e : "cannot load " + file;
        }
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_)
        dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
    return dlsym(handle_, name);
}

} // namespace tavora::platform
