// Times of decisions, in nanoseconds, counted in a fixed set of buckets so
// that a benchmark of any length holds the same memory: exact below 128 ns,
// then 64 buckets for every power of two (within about 1.6 % of the time).
#pragma once

#include <array>
#include <cstdint>

class TimeHistogram {
  public:
    void Add(std::int64_t nanos);
    void Merge(const TimeHistogram& other);

    std::int64_t Count() const { return count_; }
    std::int64_t Max() const { return max_; }
    // The time below which a share `p` (0 to 1) of the times fall, to the
    // precision of its bucket; 0 when there are none.
    std::int64_t Percentile(double p) const;

  private:
    static constexpr int kExact = 128;
    static constexpr int kPerOctave = 64;
    static constexpr int kBuckets = kExact + (63 - 7) * kPerOctave;

    static int BucketOf(std::int64_t nanos);
    static std::int64_t MiddleOf(int bucket);

    std::array<std::int64_t, kBuckets> counts_{};
    std::int64_t count_ = 0;
    std::int64_t max_ = 0;
};
