#include "bench/support/time_histogram.h"

#include <algorithm>
#include <bit>
#include <cmath>

int TimeHistogram::BucketOf(std::int64_t nanos) {
    if (nanos < kExact) return static_cast<int>(std::max<std::int64_t>(nanos, 0));
    const auto value = static_cast<std::uint64_t>(nanos);
    const int octave = std::bit_width(value) - 1;  // 7 and up
    const auto step = static_cast<int>((value >> (octave - 6)) & (kPerOctave - 1));
    return kExact + (octave - 7) * kPerOctave + step;
}

std::int64_t TimeHistogram::MiddleOf(int bucket) {
    if (bucket < kExact) return bucket;
    const int octave = 7 + (bucket - kExact) / kPerOctave;
    const int step = (bucket - kExact) % kPerOctave;
    const std::int64_t width = std::int64_t{1} << (octave - 6);
    return (std::int64_t{1} << octave) + step * width + width / 2;
}

void TimeHistogram::Add(std::int64_t nanos) {
    ++counts_[static_cast<std::size_t>(BucketOf(nanos))];
    ++count_;
    max_ = std::max(max_, nanos);
}

void TimeHistogram::Merge(const TimeHistogram& other) {
    for (std::size_t i = 0; i < counts_.size(); ++i) counts_[i] += other.counts_[i];
    count_ += other.count_;
    max_ = std::max(max_, other.max_);
}

std::int64_t TimeHistogram::Percentile(double p) const {
    if (count_ == 0) return 0;
    const auto rank = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(
               std::ceil(std::clamp(p, 0.0, 1.0) * static_cast<double>(count_))));
    std::int64_t seen = 0;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        seen += counts_[i];
        if (seen >= rank) return std::min(MiddleOf(static_cast<int>(i)), max_);
    }
    return max_;
}
