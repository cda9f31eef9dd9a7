#pragma once

#include <memory>
#include <string>

namespace tavora::platform {

// A shared library loaded at run time. Windows library names map to ours:
// "lame_enc.dll" is "liblame_enc.so", looked for in the executable's folder
// first and then on the system's library path.
class DynamicLibrary {
public:
    // Null when the library cannot be loaded; error (when given) says why.
    static std::unique_ptr<DynamicLibrary> Load(const std::string& name,
                                                std::string* error = nullptr);
    static std::string MapLibraryName(const std::string& name);

    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    void* Symbol(const char* name) const;
    template <typename Fn> Fn Function(const char* name) const {
        return reinterpret_cast<Fn>(Symbol(name));
    }

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

} // namespace tavora::platform
