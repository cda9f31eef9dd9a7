// Broken inputs, unwritable destinations and encoder library failures: each
// gives its own log line, stops the task, never hangs, and loses nothing.
#include "tests/engine/EngineHarness.h"
#include "tests/engine/Mp3Expect.h"
#include "tests/support/OggFixture.h"

#include "engine/EncoderLibrary.h"
#include "engine/EngineGlobals.h"
#include "engine/Progress.h"
#include "platform/Files.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace tavora;
using namespace tavora::testing;
using namespace tavora::engine;

namespace {

OggSpec Tone(uint32_t rate, int channels, double seconds) {
    OggSpec spec;
    spec.rate = rate;
    spec.channels = channels;
    spec.seconds = seconds;
    return spec;
}

bool WriteNoise(const std::string& path, size_t size) {
    std::mt19937 random(7);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(random());
    return WriteBytes(path, bytes);
}

// Long and detailed enough to span many pages, so a cut or a damaged page
// leaves good pages on both sides.
OggSpec ManyPages() {
    OggSpec spec = Tone(44100, 2, 20.0);
    spec.quality = 0.5f;
    return spec;
}

bool WriteCorrupted(const std::string& path) {
    if (!WriteOgg(path, ManyPages()))
        return false;
    auto bytes = ReadBytes(path);
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 400; ++i)
        bytes[i] ^= 0x5A;
    return WriteBytes(path, bytes);
}

bool WriteTruncated(const std::string& path) {
    return WriteOgg(path, ManyPages()) && TruncateTo(path, ReadBytes(path).size() * 6 / 10);
}

struct BadSource {
    const char* name;
    std::function<bool(const std::string&)> make; // null: no file at all
    std::string error;                            // the one error line expected
    bool workersStarted;
};

std::string Mismatch(const std::string& path, int channels, long rate, unsigned wantChannels,
                     unsigned wantRate) {
    return FormatText("Unsupported stream format in %s: %d channels at %ld Hz where %u channels "
                      "at %u Hz were expected",
                      path.c_str(), channels, rate, wantChannels, wantRate);
}

class BadSources : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadSources, StopTheTaskWithTheirOwnLineAndLoseNothing) {
    const BadSource& c = GetParam();
    TempFolder dir;
    const std::string source = dir / "bad input.ogg";
    if (c.make) {
        ASSERT_TRUE(c.make(source));
    }
    ASSERT_TRUE(WriteText(dir / "bad input.mp3.keep", "kept"));
    const auto before = ReadBytes(source);

    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(source, dir / "bad input.mp3"));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.workersEnded);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.running);
    EXPECT_EQ(outcome.effectsStarted, c.workersStarted);
    std::string error = c.error;
    if (error.find("%s") != std::string::npos)
        error.replace(error.find("%s"), 2, source);
    EXPECT_EQ(h.Errors(), std::vector<std::string>{error});
    EXPECT_EQ(ReadBytes(source), before);
    EXPECT_EQ(ReadBytes(dir / "bad input.mp3.keep").size(), 4u);
    EXPECT_TRUE(h.boxes->Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Engine, BadSources,
    ::testing::Values(
        BadSource{"Missing", nullptr, "File Error: No such file or directory", false},
        BadSource{"ZeroBytes", [](const std::string& p) { return WriteBytes(p, {}); },
                  "Invalid ogg vorbis stream", true},
        BadSource{"Text", [](const std::string& p) { return WriteText(p, "This is not audio.\n"); },
                  "Invalid ogg vorbis stream", true},
        BadSource{"RandomBytes", [](const std::string& p) { return WriteNoise(p, 65536); },
                  "Invalid ogg vorbis stream", true},
        BadSource{"CorruptPages", WriteCorrupted, "Fatal read error: -3", true},
        BadSource{"ChainStereoThenMono",
                  [](const std::string& p) {
                      return WriteChainedOgg(p, {Tone(44100, 2, 0.5), Tone(44100, 1, 0.5)});
                  },
                  Mismatch("%s", 1, 44100, 2, 44100), true},
        BadSource{"ChainMonoThenStereo",
                  [](const std::string& p) {
                      return WriteChainedOgg(p, {Tone(44100, 1, 0.5), Tone(44100, 2, 0.5)});
                  },
                  Mismatch("%s", 2, 44100, 1, 44100), true},
        BadSource{"ChainRateChange",
                  [](const std::string& p) {
                      return WriteChainedOgg(p, {Tone(44100, 2, 0.5), Tone(48000, 2, 0.5)});
                  },
                  Mismatch("%s", 2, 48000, 2, 44100), true}),
    [](const auto& p) { return std::string(p.param.name); });

// A cut file has no end page: what is there converts, and the file stays good.
TEST(BadSources, ATruncatedFileConvertsAsFarAsItGoes) {
    TempFolder dir;
    ASSERT_TRUE(WriteTruncated(dir / "cut.ogg"));
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(dir / "cut.ogg", dir / "cut.mp3"));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.workersEnded);
    for (const auto& e : h.Errors())
        ADD_FAILURE() << e;
    const Mp3Report r = InspectMp3(dir / "cut.mp3");
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(outcome.running);
    EXPECT_GT(r.frames, FramesOf(ManyPages()) / 2);
    EXPECT_LT(r.frames, FramesOf(ManyPages()) * 7 / 10);
}

struct BadDestination {
    const char* name;
    std::string (*make)(const TempFolder&); // the destination path
    std::string error;
};

class BadDestinations : public ::testing::TestWithParam<BadDestination> {};

TEST_P(BadDestinations, StopTheTaskWithTheirOwnLine) {
    const BadDestination& c = GetParam();
    TempFolder dir;
    ASSERT_TRUE(WriteOgg(dir / "in.ogg", Tone(44100, 2, 1.0)));
    const std::string dest = c.make(dir);
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(dir / "in.ogg", dest));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.workersEnded);
    EXPECT_FALSE(outcome.running);
    std::string error = c.error;
    if (error.find("%s") != std::string::npos)
        error.replace(error.find("%s"), 2, dest);
    EXPECT_EQ(h.Errors(), std::vector<std::string>{error});
    EXPECT_EQ(ReadBytes(dir / "in.ogg").size() > 0, true);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, BadDestinations,
    ::testing::Values(BadDestination{"BelowARegularFile",
                                     [](const TempFolder& d) {
                                         WriteText(d / "file", "x");
                                         return d / "file/out.mp3";
                                     },
                                     "Error creating file %s"},
                      BadDestination{"InAMissingFolder",
                                     [](const TempFolder& d) { return d / "none/out.mp3"; },
                                     "Error creating file %s"},
                      BadDestination{"AFolder",
                                     [](const TempFolder& d) {
                                         platform::CreateFolder(d / "out.mp3");
                                         return d / "out.mp3";
                                     },
                                     "Error creating file %s"},
                      BadDestination{"AFullDisk",
                                     [](const TempFolder&) { return std::string("/dev/full"); },
                                     "Output file write error"}),
    [](const auto& p) { return std::string(p.param.name); });

// Runs the encoding stage against another library for the guard's lifetime.
struct ScopedEncoderLibrary {
    explicit ScopedEncoderLibrary(const std::string& name) { SetEncoderLibraryName(name); }
    ~ScopedEncoderLibrary() { SetEncoderLibraryName("lame_enc.dll"); }
};

struct LibraryCase {
    const char* name;
    std::string library; // below the test's folder unless absolute or a bare name
    std::string error, box;
};

class LibraryFailures : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(LibraryFailures, ShowTheirBoxAndWriteNoFile) {
    const LibraryCase& c = GetParam();
    TempFolder dir;
    ASSERT_TRUE(WriteOgg(dir / "in.ogg", Tone(44100, 2, 1.0)));
    ScopedEncoderLibrary library(c.library[0] == '.' ? dir / c.library : c.library);
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(dir / "in.ogg", dir / "out.mp3"));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.workersEnded);
    EXPECT_FALSE(outcome.running);
    EXPECT_EQ(h.Errors(), std::vector<std::string>{c.error});
    ASSERT_EQ(h.boxes->Count(), 1u);
    EXPECT_EQ(h.boxes->Boxes()[0].text, c.box);
    EXPECT_EQ(h.boxes->Boxes()[0].icon, platform::MsgIcon::Error);
    EXPECT_FALSE(platform::FileExists(dir / "out.mp3"));
}

INSTANTIATE_TEST_SUITE_P(Engine, LibraryFailures,
                         ::testing::Values(LibraryCase{"Missing", "./liblame_enc.so",
                                                       "Error loading lame_enc.dll",
                                                       "Error Loading Lame_enc.dll"},
                                           LibraryCase{"WithoutTheEntryPoints", "libm.so.6",
                                                       "Unable to get LAME interfaces",
                                                       "Unable to Get LAME Interfaces"}),
                         [](const auto& p) { return std::string(p.param.name); });

// The stand-in encoder libraries, built next to the tests.
struct Shim {
    explicit Shim(const char* variant)
        : path(platform::ExecutableFolder() + "/libtavora_encoder_shim_" + variant + ".so"),
          handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)), library(path) {
        if (handle) {
            configure =
                reinterpret_cast<void (*)(int, uint32_t, int)>(dlsym(handle, "shimConfigure"));
            vbrHeaderCalls =
                reinterpret_cast<int (*)(char*, size_t)>(dlsym(handle, "shimVbrHeaderCalls"));
        }
    }
    ~Shim() {
        if (configure)
            configure(0, 0, 0);
        if (handle)
            dlclose(handle);
    }
    std::string path;
    void* handle;
    ScopedEncoderLibrary library;
    void (*configure)(int, uint32_t, int) = nullptr;
    int (*vbrHeaderCalls)(char*, size_t) = nullptr;
};

struct EncoderFailure {
    const char* name;
    int stage, chunksBefore;
    uint32_t code;
    std::string error;
    bool fileDecodes;
};

class EncoderFailures : public ::testing::TestWithParam<EncoderFailure> {};

TEST_P(EncoderFailures, StopTheTaskWithTheLibrarysNumber) {
    const EncoderFailure& c = GetParam();
    TempFolder dir;
    ASSERT_TRUE(WriteOgg(dir / "in.ogg", Tone(44100, 2, 2.0)));
    Shim shim("full");
    ASSERT_TRUE(shim.configure) << dlerror();
    shim.configure(c.stage, c.code, c.chunksBefore);
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(dir / "in.ogg", dir / "out.mp3"));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.workersEnded);
    EXPECT_FALSE(outcome.running);
    EXPECT_EQ(h.Errors(), std::vector<std::string>{c.error});
    EXPECT_TRUE(h.boxes->Texts().empty());
    EXPECT_EQ(InspectMp3(dir / "out.mp3").ok, c.fileDecodes);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, EncoderFailures,
    ::testing::Values(EncoderFailure{"Init", 1, 0, 2, "Error opening encoding stream (2)", false},
                      EncoderFailure{"Chunk", 2, 10, 7, "beEncodeChunk() failed (7)", true},
                      EncoderFailure{"Flush", 3, 0, 6, "beExitStream failed (6)", true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(EncoderLibrary, WithoutWriteInfoTagTheHeaderIsWrittenByPath) {
    TempFolder dir;
    const std::string dest = dir / "tagged by path ü.mp3";
    const OggSpec spec = Tone(44100, 2, 1.0);
    ASSERT_TRUE(WriteOgg(dir / "in.ogg", spec));
    Shim shim("noinfotag");
    ASSERT_TRUE(shim.configure) << dlerror();
    shim.configure(0, 0, 0);
    ASSERT_EQ(dlsym(shim.handle, "beWriteInfoTag"), nullptr);
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(dir / "in.ogg", dest));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.running);
    EXPECT_TRUE(h.Errors().empty());
    char path[4096];
    EXPECT_EQ(shim.vbrHeaderCalls(path, sizeof path), 1);
    EXPECT_EQ(std::string(path), dest);
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(spec)));
    EXPECT_GT(InspectMp3(dest).encoderDelay, 0);
}

TEST(Guards, AnEncoderWithoutInputReportsTheEncodingError) {
    EngineHarness h;
    h.state->running = 1;
    CConversionTask job = MakeJob("/nowhere/in.ogg", "/nowhere/out.mp3");
    EXPECT_EQ(job.EncodeGuarded(), 0);
    EXPECT_FALSE(job.Encoding());
    EXPECT_FALSE(h.state->Running());
    h.Pump(0);
    EXPECT_EQ(h.Errors(),
              std::vector<std::string>{"An error occurred while encoding /nowhere/out.mp3"});
}

// The encoder is configured for the target format, so a chain that cannot
// make it fails the stage before any encoder starts.
TEST(Guards, AChainWithoutTheTargetFormatStartsNoEncoder) {
    EngineHarness h;
    h.state->running = 1;
    CConversionTask job = MakeJob("/nowhere/in.ogg", "/nowhere/out.mp3");
    job.targetRate = 3000000000u; // beyond what "rate" accepts
    EXPECT_EQ(job.Process(), 0);
    EXPECT_FALSE(job.Processing());
    EXPECT_FALSE(h.state->Running());
    EXPECT_EQ(h.state->encoderThread.load(), nullptr);
    h.Pump(0);
    EXPECT_EQ(h.Errors(),
              std::vector<std::string>{"An error occurred while processing audio data"});
}

TEST(Guards, ADirectJobOutsideTheTargetFormatStartsNoWorker) {
    TempFolder dir;
    ASSERT_TRUE(WriteOgg(dir / "in.ogg", Tone(48000, 2, 0.5)));
    EngineHarness h;
    CConversionTask job = MakeJob(dir / "in.ogg", dir / "out.mp3");
    job.needsEffects = 0; // 48 kHz would be encoded as 44.1 kHz
    const auto outcome = h.Convert(job);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.running);
    EXPECT_FALSE(outcome.encoderStarted);
    EXPECT_EQ(h.Errors(),
              std::vector<std::string>{"An error occurred while decoding " + dir / "in.ogg"});
}

} // namespace
