#pragma once

#include <string>

namespace tavora::filelist {

// Why a probed file cannot be converted. The file list shows only "Unknown";
// the command-line converter says which.
enum class UnusableReason {
    None,
    CannotOpen,  // with an errno value
    NotAFile,    // a pipe, a socket or a device
    Empty,       // zero bytes
    UnknownType, // extension not in the type table
    NotOggType,  // a known type that is not converted (MP3)
    NotVorbis,   // libvorbisfile rejected the stream
    NoAudio,     // no channels, no rate or no samples
};

struct ProbeOutcome {
    UnusableReason reason = UnusableReason::None;
    int error = 0; // errno for CannotOpen

    bool Usable() const { return reason == UnusableReason::None; }
};

// A short English phrase, e.g. "not an Ogg Vorbis stream".
std::string UnusableReasonText(const ProbeOutcome& outcome);

} // namespace tavora::filelist
