// The decoding stage on its own: sample conversion and the decoded ring.
#include "tests/engine/EngineHarness.h"
#include "tests/support/OggFixture.h"

#include "engine/EngineGlobals.h"
#include "engine/VorbisDecoder.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

using namespace tavora;
using namespace tavora::testing;
using namespace tavora::engine;

namespace {

TEST(FloatToInt32, ScalesRoundsSaturatesAndMasks) {
    struct Case {
        float in;
        int32_t converted, masked;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float tiny = std::ldexp(1.0f, -12); // below 2^-9: nothing survives the mask
    const Case cases[] = {
        {1.0f, 2147483647, 2143289344},
        {-1.0f, INT32_MIN, INT32_MIN},
        {0.5f, 1073741824, 1073741824},
        {2.0f, 2147483647, 2143289344},
        {-3.0f, INT32_MIN, INT32_MIN},
        {nan, INT32_MIN, INT32_MIN},
        {tiny, 524288, 0},
        {-tiny, -524288, -4194304},
        {std::ldexp(0.5f, -31), 0, 0}, // a tie goes to the even neighbour...
        {std::ldexp(1.5f, -31), 2, 0}, // ...from both sides
        {std::ldexp(-2.5f, -31), -2, -4194304},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(FloatToInt32(c.in), c.converted);
        EXPECT_EQ(FloatToInt32(c.in) & kSampleMask, c.masked);
    }
}

TEST(FloatToInt32, ConvertsInPlace) {
    union {
        float f[4];
        int32_t i[4];
    } buffer{{0.25f, -0.25f, 1.0f, 0.0f}};
    FloatToInt32(buffer.f, buffer.i, 4);
    EXPECT_EQ(buffer.i[0], 536870912);
    EXPECT_EQ(buffer.i[1], -536870912);
    EXPECT_EQ(buffer.i[2], 2147483647);
    EXPECT_EQ(buffer.i[3], 0);
}

struct DecodeFixture : ::testing::Test {
    TempFolder dir;
    EngineHarness h;
    CConversionTask job;

    void Prepare(const OggSpec& spec) {
        ASSERT_TRUE(WriteOgg(dir / "in.ogg", spec));
        job = MakeJob(dir / "in.ogg", dir / "out.mp3");
        h.state->running = 1;
    }
};

TEST_F(DecodeFixture, AStreamShorterThanOneReadFillsTheRingWithExactlyItsSamples) {
    OggSpec spec;
    spec.channels = 2;
    spec.seconds = 300.0 / 44100.0;
    Prepare(spec);
    EXPECT_EQ(job.Decode(), 1);
    EXPECT_EQ(job.planeBuffer, nullptr);
    ASSERT_EQ(g_decodedRing->Available(0), 600u);
    std::vector<int> samples(600);
    g_decodedRing->Read(samples.data(), 600, 0);
    int nonZero = 0;
    for (int s : samples) {
        EXPECT_EQ(s & ~kSampleMask, 0);
        nonZero += s != 0;
    }
    EXPECT_GT(nonZero, 500);
    EXPECT_TRUE(h.state->Running());
}

TEST_F(DecodeFixture, AFullRingHoldsTheStageUntilItIsStopped) {
    Prepare(OggSpec{});
    std::vector<int> filler(kRingSamples - 1 - 1000, 7);
    ASSERT_EQ(g_decodedRing->Write(filler.data(), static_cast<uint32_t>(filler.size())),
              filler.size());
    int result = -1;
    std::thread decoder([&] { result = job.Decode(); });
    platform::SleepMs(100);
    EXPECT_EQ(g_decodedRing->Free(), 1000u); // less than one chunk of 1024: nothing was written
    const uint32_t stopped = platform::TickCount();
    h.state->Stop();
    decoder.join();
    EXPECT_LT(platform::TickCount() - stopped, 500u);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(h.Errors().empty());
}

TEST_F(DecodeFixture, AMissingSourceStopsTheTask) {
    Prepare(OggSpec{});
    job.sourcePath = dir / "gone.ogg";
    EXPECT_EQ(job.Decode(), 0);
    EXPECT_FALSE(h.state->Running());
    h.Pump(0);
    ASSERT_EQ(h.Errors().size(), 1u);
    EXPECT_EQ(h.Errors()[0], "Error : could not open file : " + dir / "gone.ogg");
}

} // namespace
