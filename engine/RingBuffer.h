#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace tavora::engine {

// Single-producer, single-consumer ring of trivially copyable elements with N
// read positions. One element is always left free, so a ring of size s holds at
// most s - 1 elements. Positions are atomic: each side publishes its own with
// release after copying and reads the other's with acquire before copying, so
// the elements between the positions are complete when seen. The positions sit
// on separate cache lines so the two threads do not contend for one line.
template <typename T, unsigned N = 1> class RingBuffer {
    static_assert(std::is_trivially_copyable_v<T>);
    static_assert(N >= 1);

public:
    explicit RingBuffer(uint32_t size) : data_(new T[size]), size_(size) {
        writePos_.store(0, std::memory_order_relaxed);
        for (auto& r : readPos_)
            r.store(0, std::memory_order_relaxed);
    }
    virtual ~RingBuffer() = default;
    RingBuffer(const RingBuffer&) = delete;
    RingBuffer& operator=(const RingBuffer&) = delete;

    uint32_t Size() const { return size_; }

    // Elements that read position `reader` can take (called by the consumer).
    uint32_t Available(unsigned reader = 0) const {
        const uint32_t w = writePos_.load(std::memory_order_acquire);
        const uint32_t r = readPos_[reader].load(std::memory_order_relaxed);
        return w > r ? w - r : (size_ - r + w) % size_;
    }

    // Elements that can be written (called by the producer). Only read
    // position 0 limits the writer.
    uint32_t Free() const {
        const uint32_t r = readPos_[0].load(std::memory_order_acquire);
        const uint32_t w = writePos_.load(std::memory_order_relaxed);
        return (r + (size_ - w - 1)) % size_;
    }

    // Copies up to count elements to dst; the part of dst beyond what was
    // available is zero-filled. Returns the count copied.
    uint32_t Read(T* dst, uint32_t count, unsigned reader = 0) {
        const uint32_t a = Available(reader);
        if (count > a) {
            std::fill(dst + a, dst + count, T{});
            count = a;
        }
        if (count == 0)
            return 0;
        const uint32_t r = readPos_[reader].load(std::memory_order_relaxed);
        const uint32_t t = size_ - r;
        if (t >= count) {
            std::memcpy(dst, data_.get() + r, count * sizeof(T));
        } else {
            std::memcpy(dst, data_.get() + r, t * sizeof(T));
            std::memcpy(dst + t, data_.get(), (count - t) * sizeof(T));
        }
        readPos_[reader].store((r + count) % size_, std::memory_order_release);
        return count;
    }

    // Copies up to count elements from src, as many as fit. Returns the count copied.
    uint32_t Write(const T* src, uint32_t count) {
        const uint32_t f = Free();
        if (count > f)
            count = f;
        if (count == 0)
            return 0;
        const uint32_t w = writePos_.load(std::memory_order_relaxed);
        const uint32_t t = size_ - w;
        if (t >= count) {
            std::memcpy(data_.get() + w, src, count * sizeof(T));
        } else {
            std::memcpy(data_.get() + w, src, t * sizeof(T));
            std::memcpy(data_.get(), src + t, (count - t) * sizeof(T));
        }
        writePos_.store((w + count) % size_, std::memory_order_release);
        return count;
    }

    // Empties the ring. Only while neither side runs.
    void Reset() {
        writePos_.store(0, std::memory_order_release);
        for (auto& r : readPos_)
            r.store(0, std::memory_order_release);
    }

private:
    static constexpr size_t kLine = 64;
    std::unique_ptr<T[]> data_;
    alignas(kLine) std::atomic<uint32_t> writePos_;
    alignas(kLine) std::atomic<uint32_t> readPos_[N];
    alignas(kLine) const uint32_t size_;
};

using SampleRing = RingBuffer<int, 1>;

// Samples in each of the program's two rings.
inline constexpr uint32_t kRingSamples = 1048576;

} // namespace tavora::engine
