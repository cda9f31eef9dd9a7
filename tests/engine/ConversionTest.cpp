// Whole jobs through the real pipeline: decoder, libsox chain, encoder library.
#include "tests/engine/EngineHarness.h"
#include "tests/engine/Mp3Expect.h"
#include "tests/support/OggFixture.h"

#include "engine/Progress.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavora;
using namespace tavora::testing;
using engine::CConversionTask;

namespace {

struct FormatCase {
    const char* name;
    OggSpec source;
    int16_t bitrateIndex, frequencyIndex, channelMode;
    long rate;
    int channels, kbps;
};

OggSpec Tone(uint32_t rate, int channels, double seconds, double frequency = 1000.0,
             double amplitude = 0.5) {
    OggSpec spec;
    spec.rate = rate;
    spec.channels = channels;
    spec.seconds = seconds;
    spec.frequency = frequency;
    spec.amplitude = amplitude;
    return spec;
}

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, OutputHasTheTargetFormatAndTheSourcesLength) {
    const FormatCase& c = GetParam();
    TempFolder dir;
    const std::string source = dir / "in.ogg", dest = dir / "out.mp3";
    ASSERT_TRUE(WriteOgg(source, c.source));
    EngineHarness h;
    g_settings().bitrateIndex = c.bitrateIndex;
    g_settings().frequencyIndex = c.frequencyIndex;
    g_settings().channelMode = c.channelMode;
    const CConversionTask job = MakeJob(source, dest, g_settings());
    ASSERT_EQ(job.targetRate, static_cast<uint32_t>(c.rate));
    ASSERT_EQ(job.targetChannels, static_cast<uint32_t>(c.channels));

    const auto outcome = h.Convert(job);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.running);
    EXPECT_TRUE(outcome.effectsStarted && outcome.encoderStarted && outcome.workersEnded);
    EXPECT_TRUE(h.Errors().empty()) << h.Errors().front();

    const uint64_t expected = static_cast<uint64_t>(
        std::llround(double(FramesOf(c.source)) * double(c.rate) / double(c.source.rate)));
    EXPECT_TRUE(IsMp3(dest, c.rate, c.channels, c.kbps, expected));

    // Every sample the chain delivered was counted, and the final report,
    // sent when the file was done, carries the final counters.
    const uint64_t done = h.state->fileDone.load();
    EXPECT_NEAR(double(done), double(job.totalSamples), double(c.channels * 64));
    EXPECT_EQ(h.state->overallDone.load(), done);
    EXPECT_NEAR(h.state->fileSeconds.load(), c.source.seconds, 0.01);
    ASSERT_FALSE(h.progress.empty());
    EXPECT_FLOAT_EQ(h.progress.back().first, engine::CurrentPercent(*h.state, job.totalSamples));
    EXPECT_NEAR(h.progress.back().first, 100.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Formats,
    ::testing::Values(
        FormatCase{"Stereo44100", Tone(44100, 2, 1.5), 11, 0, CHANNELS_AUTOMATIC, 44100, 2, 128},
        FormatCase{"Rate48000To44100", Tone(48000, 2, 1.5), 11, 0, CHANNELS_AUTOMATIC, 44100, 2,
                   128},
        FormatCase{"SixChannelsToStereo", Tone(48000, 6, 1.0), 11, 0, CHANNELS_AUTOMATIC, 44100, 2,
                   128},
        FormatCase{"MonoStaysMono", Tone(22050, 1, 1.5), 7, 0, CHANNELS_AUTOMATIC, 22050, 1, 64},
        FormatCase{"StereoToMono", Tone(44100, 2, 1.0), 9, 0, CHANNELS_MONO, 44100, 1, 96},
        FormatCase{"MonoToStereoUpsampled", Tone(16000, 1, 1.0), 11, 8, CHANNELS_STEREO, 44100, 2,
                   128},
        FormatCase{"ShorterThanASecond", Tone(44100, 2, 0.3), 11, 0, CHANNELS_AUTOMATIC, 44100, 2,
                   128},
        FormatCase{"Mono8000BelowTheLowpass", Tone(44100, 2, 1.0, 440.0), 3, 1, CHANNELS_MONO, 8000,
                   1, 32}),
    [](const auto& p) { return std::string(p.param.name); });

// Level of a tone after conversion, in dB of full scale.
double ConvertedLevel(double frequency, bool effects) {
    TempFolder dir;
    const std::string source = dir / "tone.ogg", dest = dir / "tone.mp3";
    EXPECT_TRUE(WriteOgg(source, Tone(44100, 2, 2.0, frequency, 0.25)));
    EngineHarness h;
    CConversionTask job = MakeJob(source, dest);
    job.needsEffects = effects ? 1 : 0;
    const auto outcome = h.Convert(job);
    EXPECT_EQ(outcome.result, 1);
    const Mp3Report r = InspectMp3(dest);
    EXPECT_TRUE(r.ok) << r.error;
    return LevelDb(r.pcm, r.channels, 0, 8820);
}

TEST(Filters, TheChainCutsBelow100HzAndAbove7000Hz) {
    const double mid = ConvertedLevel(1000, true);
    EXPECT_GT(mid, -16.0); // about -15 dBFS for a sine at a quarter of full scale
    // Two-pole filters: 10 kHz lies 8.6 dB down the low-pass slope at
    // 44.1 kHz, 14 kHz 16 dB; 40 Hz lies 16 dB down the high-pass slope.
    EXPECT_LE(ConvertedLevel(10000, true), mid - 8.0);
    EXPECT_LE(ConvertedLevel(14000, true), mid - 14.0);
    EXPECT_LE(ConvertedLevel(40, true), mid - 14.0);
}

TEST(Filters, TheDirectPathLeavesTheSpectrumAlone) {
    const double mid = ConvertedLevel(1000, false);
    EXPECT_NEAR(ConvertedLevel(10000, false), mid, 1.5);
}

TEST(Conversion, DirectPathEndsOnTheDecoderAlone) {
    TempFolder dir;
    const std::string source = dir / "in.ogg", dest = dir / "out.mp3";
    const OggSpec spec = Tone(44100, 2, 1.0);
    ASSERT_TRUE(WriteOgg(source, spec));
    EngineHarness h;
    CConversionTask job = MakeJob(source, dest);
    job.needsEffects = 0;
    const auto outcome = h.Convert(job);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.running);
    EXPECT_FALSE(outcome.effectsStarted);
    EXPECT_TRUE(outcome.encoderStarted && outcome.workersEnded);
    EXPECT_TRUE(h.Errors().empty());
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(spec)));
    // Every decoded sample reached the encoder: the decoder's count exactly.
    EXPECT_EQ(h.state->fileDone.load(), FramesOf(spec) * 2);
}

// Short links are a single audio page each; opening such a chain leaves the
// library at the end of the first link, which must not be lost.
TEST(Conversion, ChainedLinksOfOneFormatMakeOneFile) {
    for (double seconds : {0.6, 3.0}) {
        SCOPED_TRACE(seconds);
        TempFolder dir;
        const std::string source = dir / "chain.ogg", dest = dir / "chain.mp3";
        const std::vector<OggSpec> links = {Tone(44100, 2, seconds + 0.1, 500),
                                            Tone(44100, 2, seconds, 1500),
                                            Tone(44100, 2, seconds, 700)};
        ASSERT_TRUE(WriteChainedOgg(source, links));
        EngineHarness h;
        const auto outcome = h.Convert(MakeJob(source, dest));
        EXPECT_EQ(outcome.result, 1);
        EXPECT_TRUE(outcome.running);
        EXPECT_TRUE(h.Errors().empty());
        EXPECT_TRUE(IsMp3(dest, 44100, 2, 128,
                          FramesOf(links[0]) + FramesOf(links[1]) + FramesOf(links[2])));
    }
}

TEST(Conversion, NamesWithSpacesAndNonAsciiLetters) {
    TempFolder dir;
    const std::string folder = dir / "Müsik für Ålice";
    ASSERT_EQ(platform::CreateFolder(folder), 0);
    const std::string source = folder + "/Straße nº 5 – ça.ogg";
    const std::string dest = folder + "/Straße nº 5 – ça.mp3";
    ASSERT_TRUE(WriteOgg(source, Tone(44100, 2, 0.5)));
    EngineHarness h;
    const auto outcome = h.Convert(MakeJob(source, dest));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(h.Errors().empty());
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(Tone(44100, 2, 0.5))));
}

} // namespace
