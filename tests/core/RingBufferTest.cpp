#include "engine/RingBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

using tavora::engine::kRingSamples;
using tavora::engine::RingBuffer;
using tavora::engine::SampleRing;

TEST(RingBuffer, NewAndResetRingsAreEmptyWithOneElementLeftFree) {
    SampleRing ring(kRingSamples);
    EXPECT_EQ(ring.Available(0), 0u);
    EXPECT_EQ(ring.Free(), kRingSamples - 1);

    std::vector<int> block(1000, 7);
    ring.Write(block.data(), 1000);
    ring.Reset();
    EXPECT_EQ(ring.Available(0), 0u);
    EXPECT_EQ(ring.Free(), kRingSamples - 1);
}

TEST(RingBuffer, FillsToCapacityAndRefusesMore) {
    SampleRing ring(kRingSamples);
    std::vector<int> block(kRingSamples);
    std::iota(block.begin(), block.end(), 0);
    EXPECT_EQ(ring.Write(block.data(), kRingSamples), kRingSamples - 1); // capped at free space
    EXPECT_EQ(ring.Free(), 0u);
    EXPECT_EQ(ring.Available(0), kRingSamples - 1);
    int extra = 42;
    EXPECT_EQ(ring.Write(&extra, 1), 0u);

    std::vector<int> out(kRingSamples - 1);
    EXPECT_EQ(ring.Read(out.data(), kRingSamples - 1), kRingSamples - 1);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), block.begin()));
}

TEST(RingBuffer, ShortReadZeroFillsTheRest) {
    SampleRing ring(16);
    const int in[3] = {1, 2, 3};
    ring.Write(in, 3);
    std::vector<int> out(8, -1);
    EXPECT_EQ(ring.Read(out.data(), 8), 3u);
    EXPECT_EQ(out, (std::vector<int>{1, 2, 3, 0, 0, 0, 0, 0}));
    std::fill(out.begin(), out.end(), -1);
    EXPECT_EQ(ring.Read(out.data(), 4), 0u); // empty ring: all zeros
    EXPECT_EQ(out, (std::vector<int>{0, 0, 0, 0, -1, -1, -1, -1}));
}

TEST(RingBuffer, WrapsAroundKeepingOrderAndCountsAcrossTheEnd) {
    // Table of (size, pre-advance, block): every block crosses the end of storage.
    struct Case {
        uint32_t size, advance, block;
    } cases[] = {{8, 5, 6}, {16, 15, 10}, {1024, 1000, 1000}, {7, 3, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " advance " << c.advance);
        SampleRing ring(c.size);
        std::vector<int> filler(c.advance, 0), sink(c.advance);
        ring.Write(filler.data(), c.advance);
        ring.Read(sink.data(), c.advance);
        std::vector<int> in(c.block);
        std::iota(in.begin(), in.end(), 100);
        ASSERT_EQ(ring.Write(in.data(), c.block), c.block);
        // writePos has wrapped below readPos: both halves count.
        EXPECT_EQ(ring.Available(0), c.block);
        EXPECT_EQ(ring.Free(), c.size - 1 - c.block);
        std::vector<int> out(c.block);
        ASSERT_EQ(ring.Read(out.data(), c.block), c.block);
        EXPECT_EQ(out, in);
        EXPECT_EQ(ring.Available(0), 0u);
    }
}

TEST(RingBuffer, SecondReaderDoesNotLimitTheWriter) {
    RingBuffer<int, 2> ring(8);
    const int in[5] = {1, 2, 3, 4, 5};
    ring.Write(in, 5);
    int out[5];
    ring.Read(out, 5, 0);
    EXPECT_EQ(ring.Available(1), 5u);
    EXPECT_EQ(ring.Free(), 7u);
}

// Producer and consumer on two threads, chunk sizes that do not divide the ring
// so every position wraps many times; each sample carries its own index.
TEST(RingBuffer, TwoThreadsMoveHundredsOfMillionsOfSamplesInOrder) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    const uint64_t total = 20'000'000; // instrumented builds are ~10x slower
#else
    const uint64_t total = 200'000'000;
#endif
    SampleRing ring(kRingSamples);
    std::thread producer([&] {
        const uint32_t sizes[] = {1024, 2304, 577, 2111};
        std::vector<int> chunk(2304);
        uint64_t next = 0;
        for (size_t pick = 0; next < total; ++pick) {
            const auto n = static_cast<uint32_t>(std::min<uint64_t>(sizes[pick % 4], total - next));
            for (uint32_t i = 0; i < n; ++i)
                chunk[i] = static_cast<int>(next + i);
            while (ring.Free() < n)
                std::this_thread::yield();
            ASSERT_EQ(ring.Write(chunk.data(), n), n);
            next += n;
        }
    });
    std::vector<int> chunk(3000);
    uint64_t expected = 0;
    uint64_t errors = 0;
    while (expected < total) {
        const uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(2999, total - expected));
        while (ring.Available(0) < want)
            std::this_thread::yield();
        const uint32_t got = ring.Read(chunk.data(), want);
        ASSERT_EQ(got, want);
        for (uint32_t i = 0; i < got; ++i)
            errors += chunk[i] != static_cast<int>(expected + i);
        expected += got;
    }
    producer.join();
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(ring.Available(0), 0u);
}
