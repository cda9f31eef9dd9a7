#include "engine/EncoderLibrary.h"

#include <mutex>

namespace tavora::engine {

namespace {
std::mutex g_libraryMutex;
std::string g_libraryName = "lame_enc.dll";
// Keeps the most recently loaded library mapped between jobs.
std::shared_ptr<platform::DynamicLibrary> g_lastLibrary;
} // namespace

bool LameInterface::Complete() const {
    return initStream && encodeChunk && deinitStream && closeStream && writeVbrHeader;
}

std::string EncoderLibraryName() {
    std::lock_guard lock(g_libraryMutex);
    return g_libraryName;
}

void SetEncoderLibraryName(std::string name) {
    std::lock_guard lock(g_libraryMutex);
    g_libraryName = std::move(name);
}

LameInterface LoadEncoderLibrary() {
    LameInterface lame;
    lame.library = platform::DynamicLibrary::Load(EncoderLibraryName());
    if (!lame.library)
        return lame;
    {
        std::lock_guard lock(g_libraryMutex);
        g_lastLibrary = lame.library;
    }
    const auto& lib = *lame.library;
    using namespace lame_enc;
    lame.initStream = lib.Function<BeInitStreamFn>(kBeInitStream);
    lame.encodeChunk = lib.Function<BeEncodeChunkFloatS16NIFn>(kBeEncodeChunkFloatS16NI);
    lame.deinitStream = lib.Function<BeDeinitStreamFn>(kBeDeinitStream);
    lame.closeStream = lib.Function<BeCloseStreamFn>(kBeCloseStream);
    lame.writeVbrHeader = lib.Function<BeWriteVBRHeaderFn>(kBeWriteVBRHeader);
    lame.writeInfoTag = lib.Function<BeWriteInfoTagFn>(kBeWriteInfoTag);
    return lame;
}

} // namespace tavora::engine
