#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavora::testing {

// One Ogg Vorbis stream (or link of a chained file) made of sine tones.
struct OggSpec {
    uint32_t rate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double frequency = 1000.0; // Hz; 0 writes silence
    double amplitude = 0.5;    // of full scale
    float quality = 0.1f;      // libvorbisenc VBR quality
};

// Writes a Vorbis file; a chained file when given several links. False on failure.
bool WriteOgg(const std::string& path, const OggSpec& spec);
bool WriteChainedOgg(const std::string& path, const std::vector<OggSpec>& links);

// Fills count frames from frame `first` on into one float plane per channel.
using SampleSource = std::function<void(uint64_t first, int count, float** planes)>;
// Writes a one-link Vorbis file of any content.
bool WriteOggFrom(const std::string& path, uint32_t rate, int channels, uint64_t frames,
                  float quality, const SampleSource& fill);

// Frames (samples per channel) that a spec produces.
uint64_t FramesOf(const OggSpec& spec);

// Broken inputs.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);
bool TruncateTo(const std::string& path, uint64_t size);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

// A fresh empty folder under the system's temp folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace tavora::testing
