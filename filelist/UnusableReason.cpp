#include "filelist/UnusableReason.h"

#include "platform/Files.h"

namespace tavora::filelist {

std::string UnusableReasonText(const ProbeOutcome& outcome) {
    switch (outcome.reason) {
    case UnusableReason::None:
        return "";
    case UnusableReason::CannotOpen:
        return "cannot be opened (" + platform::ErrorText(outcome.error) + ")";
    case UnusableReason::NotAFile:
        return "not a regular file";
    case UnusableReason::Empty:
        return "the file is empty";
    case UnusableReason::UnknownType:
        return "unknown file type";
    case UnusableReason::NotOggType:
        return "not an Ogg Vorbis file";
    case UnusableReason::NotVorbis:
        return "not an Ogg Vorbis stream";
    case UnusableReason::NoAudio:
        return "the stream holds no audio";
    }
    return "";
}

} // namespace tavora::filelist
