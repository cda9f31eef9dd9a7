#pragma once

#include "lame_enc/LameEncApi.h"
#include "platform/DynamicLibrary.h"

#include <memory>
#include <string>

namespace tavora::engine {

// The encoder library's entry points, looked up by name in the library that
// the encoding stage loads for one job. The library object is shared, so it
// stays mapped while any encoder still uses it.
struct LameInterface {
    std::shared_ptr<platform::DynamicLibrary> library;
    lame_enc::BeInitStreamFn initStream = nullptr;
    lame_enc::BeEncodeChunkFloatS16NIFn encodeChunk = nullptr;
    lame_enc::BeDeinitStreamFn deinitStream = nullptr;
    lame_enc::BeCloseStreamFn closeStream = nullptr;
    lame_enc::BeWriteVBRHeaderFn writeVbrHeader = nullptr;
    lame_enc::BeWriteInfoTagFn writeInfoTag = nullptr; // optional

    // The five required entry points were all found.
    bool Complete() const;
};

// Loads the encoder library anew (a null library when it cannot be loaded)
// and looks up its entry points. The library is never unloaded: the last one
// loaded is kept for the life of the process.
LameInterface LoadEncoderLibrary();

// The name the encoding stage loads, "lame_enc.dll" unless replaced. Tests
// replace it to run without the library, or with a library that lacks entry points.
std::string EncoderLibraryName();
void SetEncoderLibraryName(std::string name);

} // namespace tavora::engine
