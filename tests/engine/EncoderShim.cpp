// A stand-in for the encoder library in the engine tests. It forwards every
// call to the real liblame_enc.so in its own folder and fails on request, so
// the tests reach the encoding stage's error paths. Built once with and once
// without beWriteInfoTag.
#include "lame_enc/LameEncApi.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#define SHIM_EXPORT extern "C" __attribute__((visibility("default")))

using namespace tavora::lame_enc;

namespace {

struct RealLibrary {
    BeInitStreamFn initStream = nullptr;
    BeEncodeChunkFloatS16NIFn encodeChunk = nullptr;
    BeDeinitStreamFn deinitStream = nullptr;
    BeCloseStreamFn closeStream = nullptr;
    BeWriteVBRHeaderFn writeVbrHeader = nullptr;
    BeWriteInfoTagFn writeInfoTag = nullptr;
};

const RealLibrary& Real() {
    static const RealLibrary real = [] {
        RealLibrary r;
        Dl_info self{};
        dladdr(reinterpret_cast<void*>(&Real), &self);
        std::string folder = self.dli_fname ? self.dli_fname : "";
        folder = folder.substr(0, folder.find_last_of('/') + 1);
        void* handle = dlopen((folder + "liblame_enc.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            std::abort(); // the tests cannot mean anything without the real encoder
        r.initStream = reinterpret_cast<BeInitStreamFn>(dlsym(handle, kBeInitStream));
        r.encodeChunk =
            reinterpret_cast<BeEncodeChunkFloatS16NIFn>(dlsym(handle, kBeEncodeChunkFloatS16NI));
        r.deinitStream = reinterpret_cast<BeDeinitStreamFn>(dlsym(handle, kBeDeinitStream));
        r.closeStream = reinterpret_cast<BeCloseStreamFn>(dlsym(handle, kBeCloseStream));
        r.writeVbrHeader = reinterpret_cast<BeWriteVBRHeaderFn>(dlsym(handle, kBeWriteVBRHeader));
        r.writeInfoTag = reinterpret_cast<BeWriteInfoTagFn>(dlsym(handle, kBeWriteInfoTag));
        return r;
    }();
    return real;
}

std::atomic<int> g_failStage{0};
std::atomic<BeErr> g_failCode{0};
std::atomic<int> g_chunksBeforeFailure{0};
std::atomic<int> g_chunks{0};
std::mutex g_pathMutex;
std::string g_vbrHeaderPath;
int g_vbrHeaderCalls = 0;

bool Fails(int stage) {
    return g_failStage.load() == stage;
}

} // namespace

// Stage 1 fails beInitStream, 2 beEncodeChunkFloatS16NI after chunksBefore
// successful chunks, 3 beDeinitStream; 0 fails nothing. Also resets the records.
SHIM_EXPORT void shimConfigure(int stage, BeErr code, int chunksBefore) {
    g_failStage = stage;
    g_failCode = code;
    g_chunksBeforeFailure = chunksBefore;
    g_chunks = 0;
    std::lock_guard lock(g_pathMutex);
    g_vbrHeaderPath.clear();
    g_vbrHeaderCalls = 0;
}

// How often beWriteVBRHeader was called, and the last path it was given.
SHIM_EXPORT int shimVbrHeaderCalls(char* path, size_t size) {
    std::lock_guard lock(g_pathMutex);
    if (size)
        path[g_vbrHeaderPath.copy(path, size - 1)] = '\0';
    return g_vbrHeaderCalls;
}

SHIM_EXPORT BeErr beInitStream(const BeConfig* config, std::uint32_t* samplesPerCall,
                               std::uint32_t* outputBufferBytes, BeStream* stream, std::uint32_t r1,
                               std::uint32_t r2, const wchar_t* t1, const wchar_t* t2,
                               const wchar_t* t3, const wchar_t* t4, const wchar_t* t5,
                               const wchar_t* t6, const wchar_t* t7, std::uint32_t r3,
                               std::uint32_t r4, std::uint32_t r5, std::uint32_t r6,
                               std::uint32_t r7, std::uint32_t r8) {
    if (Fails(1)) {
        *stream = 0;
        return g_failCode;
    }
    return Real().initStream(config, samplesPerCall, outputBufferBytes, stream, r1, r2, t1, t2, t3,
                             t4, t5, t6, t7, r3, r4, r5, r6, r7, r8);
}

SHIM_EXPORT BeErr beEncodeChunkFloatS16NI(BeStream stream, std::uint32_t samples, const float* left,
                                          const float* right, std::uint8_t* output,
                                          std::uint32_t* outputBytes) {
    if (Fails(2) && g_chunks++ >= g_chunksBeforeFailure) {
        *outputBytes = 0;
        return g_failCode;
    }
    return Real().encodeChunk(stream, samples, left, right, output, outputBytes);
}

SHIM_EXPORT BeErr beDeinitStream(BeStream stream, std::uint8_t* output,
                                 std::uint32_t* outputBytes) {
    if (Fails(3)) {
        *outputBytes = 0;
        return g_failCode;
    }
    return Real().deinitStream(stream, output, outputBytes);
}

SHIM_EXPORT BeErr beCloseStream(BeStream stream) {
    return Real().closeStream(stream);
}

SHIM_EXPORT BeErr beWriteVBRHeader(const char* path) {
    {
        std::lock_guard lock(g_pathMutex);
        g_vbrHeaderPath = path ? path : "";
        ++g_vbrHeaderCalls;
    }
    return Real().writeVbrHeader(path);
}

#ifndef SHIM_WITHOUT_INFO_TAG
SHIM_EXPORT BeErr beWriteInfoTag(BeStream stream, const char* path) {
    return Real().writeInfoTag(stream, path);
}
#endif
