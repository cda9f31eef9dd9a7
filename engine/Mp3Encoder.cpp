// The encoding stage: CConversionTask::Encode.
#include "engine/Mp3Encoder.h"

#include "engine/ConversionTask.h"
#include "engine/EncoderLibrary.h"
#include "engine/PipelineContext.h"
#include "engine/Progress.h"
#include "platform/MessageBox.h"
#include "platform/Ticks.h"
#include "settings/EncoderSettings.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tavora::engine {

using namespace lame_enc;

BeConfig MakeEncoderConfig(const CConversionTask& job, int bitrateKbps, int quality) {
    BeConfig config;
    std::memset(&config, 0, sizeof config);
    config.configKind = kConfigLame;
    config.structVersion = kConfigVersion;
    config.structSize = sizeof(BeConfig);
    config.sampleRate = job.targetRate;
    config.reSampleRate = 0;
    config.mode = job.targetChannels == 1 ? kModeMono : kModeStereo;
    config.bitrate = static_cast<uint32_t>(bitrateKbps);
    config.maxBitrate = 0;
    config.preset = kPresetNone;
    config.mpegVersion = kMpeg1;
    config.writeVbrHeader = 1;
    config.enableVbr = 0;
    config.noBitReservoir = 1;
    config.strictIso = 0;
    config.quality = QualityWord(static_cast<unsigned>(quality));
    return config;
}

std::unique_ptr<char[]> WideToAnsiAlloc(const char* text) {
    const size_t length = text ? std::strlen(text) : 0;
    auto bytes = std::make_unique<char[]>(2 * length + 1); // zero-filled
    if (length)
        std::memcpy(bytes.get(), text, length);
    return bytes;
}

namespace {

// The destination file; closing reports whether everything reached the disk.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) : file_(std::fopen(path.c_str(), "w+b")) {}
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Write(const uint8_t* bytes, size_t count) {
        return count == 0 || std::fwrite(bytes, 1, count, file_) == count;
    }
    bool Close() {
        if (!file_)
            return true;
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_;
};

void ReportProgress(ConversionState& state, const CConversionTask& job, bool synchronous) {
    PostProgress(state, CurrentPercent(state, job.totalSamples), OverallPercent(state),
                 synchronous);
}

} // namespace

int CConversionTask::Encode() {
    const PipelineContext context = ContextFor(*this);
    if (!context.state)
        return 0;
    ConversionState& state = *context.state;
    if (!encoderInput)
        throw std::logic_error("the encoder has no input ring");
    SampleRing& input = *encoderInput; // one of the context's rings, kept alive by it

    const LameInterface lame = LoadEncoderLibrary();
    if (!lame.library) {
        StopWithError(state, "Error loading lame_enc.dll");
        platform::ShowMessage(nullptr, "Error Loading Lame_enc.dll", platform::MsgButtons::Ok,
                              platform::MsgIcon::Error);
        return 0;
    }
    if (!lame.Complete()) {
        StopWithError(state, "Unable to get LAME interfaces");
        platform::ShowMessage(nullptr, "Unable to Get LAME Interfaces", platform::MsgButtons::Ok,
                              platform::MsgIcon::Error);
        return 0;
    }

    const EncoderSettings& settings = g_settings();
    const BeConfig config =
        MakeEncoderConfig(*this, settings.BitrateKbps(), settings.encoderQuality);

    OutputFile file(destPath);
    if (!file.IsOpen()) {
        StopWithError(state, FormatText("Error creating file %s", destPath.c_str()));
        return 0;
    }

    uint32_t chunk = 0, outputSize = 0;
    BeStream stream = 0;
    static const wchar_t kEmpty[] = L"";
    const BeErr initError =
        lame.initStream(&config, &chunk, &outputSize, &stream, 0, 0, kEmpty, kEmpty, kEmpty, kEmpty,
                        kEmpty, kEmpty, kEmpty, 0, 0, 30, 5, 16000, 2400);
    if (initError != kBeErrSuccessful || chunk == 0 || outputSize == 0) {
        StopWithError(state, FormatText("Error opening encoding stream (%lu)",
                                        static_cast<unsigned long>(initError)));
        lame.closeStream(stream);
        return 0;
    }

    const bool mono = targetChannels == 1;
    std::vector<uint8_t> output(outputSize);
    std::vector<int32_t> samples(chunk);
    std::vector<float> left(mono ? chunk : chunk / 2);
    std::vector<float> right(mono ? 0 : chunk / 2);

    // Writes what the library produced. A short write stops the task, is
    // reported once, and the file is then finalised as far as it goes.
    bool writeFailed = false;
    auto writeOutput = [&](uint32_t produced) {
        if (writeFailed)
            return;
        if (produced > output.size() || !file.Write(output.data(), produced)) {
            writeFailed = true;
            StopWithError(state, "Output file write error");
        }
    };

    bool last = false;
    uint32_t lastReport = platform::TickCount();
    while (state.Running()) {
        if (state.Paused()) {
            platform::SleepMs(kPauseSleepMs);
            continue;
        }
        const uint32_t now = platform::TickCount();
        if (now - lastReport > kProgressIntervalMs) {
            lastReport = now;
            ReportProgress(state, *this, false);
        }

        uint32_t n = chunk;
        if (input.Available(0) < chunk) {
            if (Decoding() || Processing()) {
                platform::SleepMs(1);
                continue;
            }
            // Samples written just before the producers cleared their flags count too.
            const uint32_t remaining = input.Available(0);
            if (remaining < chunk) {
                n = remaining;
                last = true;
            }
        }
        input.Read(samples.data(), n, 0);

        uint32_t produced = 0;
        BeErr error;
        if (mono) {
            for (uint32_t i = 0; i < n; ++i)
                left[i] = static_cast<float>(samples[i]) * kEncoderScale;
            error = lame.encodeChunk(stream, n, left.data(), nullptr, output.data(), &produced);
        } else {
            const uint32_t h = n / 2;
            for (uint32_t i = 0; i < h; ++i) {
                left[i] = static_cast<float>(samples[2 * i]) * kEncoderScale;
                right[i] = static_cast<float>(samples[2 * i + 1]) * kEncoderScale;
            }
            error =
                lame.encodeChunk(stream, h, left.data(), right.data(), output.data(), &produced);
        }
        if (error != kBeErrSuccessful) {
            lame.closeStream(stream);
            StopWithError(state, FormatText("beEncodeChunk() failed (%lu)",
                                            static_cast<unsigned long>(error)));
            return 0;
        }
        writeOutput(produced);
        state.AddEncoded(*this, n);
        if (last)
            break;
    }

    // Also after a stop: the file written so far is flushed, closed and tagged.
    uint32_t produced = 0;
    const BeErr flushError = lame.deinitStream(stream, output.data(), &produced);
    if (flushError != kBeErrSuccessful) {
        lame.closeStream(stream);
        StopWithError(
            state, FormatText("beExitStream failed (%lu)", static_cast<unsigned long>(flushError)));
        return 0;
    }
    writeOutput(produced);
    lame.closeStream(stream);
    // Buffered bytes that never reached the disk are a short write too.
    if (!file.Close() && !writeFailed)
        StopWithError(state, "Output file write error");

    const auto path = WideToAnsiAlloc(destPath.c_str());
    if (lame.writeInfoTag)
        lame.writeInfoTag(stream, path.get());
    else
        lame.writeVbrHeader(path.get());

    // The window shows this file's final state before the stage ends; the send
    // gives up when the task is stopped, so it never holds up a stopping task.
    ReportProgress(state, *this, true);
    return 1;
}

} // namespace tavora::engine
