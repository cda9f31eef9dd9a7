// Two-thread throughput of the sample ring against one thread's memcpy of the
// same bytes, both measured in this run. Target: ratio at least 0.25.
#include "engine/RingBuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

using tavora::engine::kRingSamples;
using tavora::engine::SampleRing;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint64_t kBytes = 1ull << 30;
constexpr uint64_t kSamples = kBytes / sizeof(int);

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// The pipeline's own protocol: wait for room (or data), then one call.
double RingSeconds(uint32_t chunk) {
    SampleRing ring(kRingSamples);
    std::vector<int> in(chunk, 1), out(chunk);
    const auto start = Clock::now();
    std::thread producer([&] {
        for (uint64_t sent = 0; sent < kSamples; sent += chunk) {
            while (ring.Free() < chunk)
                std::this_thread::yield();
            ring.Write(in.data(), chunk);
        }
    });
    uint64_t checksum = 0;
    for (uint64_t got = 0; got < kSamples; got += chunk) {
        while (ring.Available(0) < chunk)
            std::this_thread::yield();
        ring.Read(out.data(), chunk);
        checksum += static_cast<uint64_t>(out[chunk - 1]);
    }
    producer.join();
    const auto end = Clock::now();
    if (checksum == 0)
        std::puts("impossible");
    return Seconds(start, end);
}

// One thread copying the same 1 GiB from one buffer into another, chunk by
// chunk (pages touched beforehand, so only the copy is timed).
double MemcpySeconds(uint32_t chunk) {
    std::vector<int> src(kSamples, 1), dst(kSamples, 0);
    const auto start = Clock::now();
    for (uint64_t done = 0; done < kSamples; done += chunk) {
        const uint64_t n = std::min<uint64_t>(chunk, kSamples - done);
        std::memcpy(dst.data() + done, src.data() + done, n * sizeof(int));
    }
    const auto end = Clock::now();
    if (dst[kSamples - 1] != 1)
        std::puts("impossible");
    return Seconds(start, end);
}

// The same copy within a ring-sized footprint, so both sides stay in cache:
// the upper bound of what any in-process queue could reach. Printed for context.
double CachedMemcpySeconds(uint32_t chunk) {
    std::vector<int> src(kRingSamples, 1), dst(kRingSamples, 0);
    const auto start = Clock::now();
    uint64_t pos = 0;
    for (uint64_t done = 0; done < kSamples; done += chunk) {
        if (pos + chunk > kRingSamples)
            pos = 0;
        std::memcpy(dst.data() + pos, src.data() + pos, chunk * sizeof(int));
        pos += chunk;
    }
    const auto end = Clock::now();
    if (dst[pos - 1] != 1)
        std::puts("impossible");
    return Seconds(start, end);
}

} // namespace

int main() {
    std::printf("ring buffer: %llu MiB of samples, ring of %u samples\n",
                static_cast<unsigned long long>(kBytes >> 20), kRingSamples);
    std::printf("%8s %12s %14s %8s %20s %8s\n", "chunk", "ring GiB/s", "memcpy GiB/s", "ratio",
                "cached memcpy GiB/s", "ratio");
    bool ok = true;
    for (uint32_t chunk : {1024u, 2304u}) {
        double ring = 1e9, copy = 1e9, cached = 1e9;
        for (int round = 0; round < 3; ++round) { // best of three on a busy machine
            ring = std::min(ring, RingSeconds(chunk));
            copy = std::min(copy, MemcpySeconds(chunk));
            cached = std::min(cached, CachedMemcpySeconds(chunk));
        }
        const double gib = double(kBytes) / double(1ull << 30);
        const double ratio = copy / ring;
        std::printf("%8u %12.2f %14.2f %8.2f %20.2f %8.2f\n", chunk, gib / ring, gib / copy, ratio,
                    gib / cached, cached / ring);
        ok = ok && ratio >= 0.25;
    }
    std::printf("target ratio (against the 1 GiB memcpy) >= 0.25: %s\n", ok ? "met" : "MISSED");
    return 0;
}
