// The benchmarks' histogram of decision times against the exact order of
// the same times.
#include "bench/support/time_histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

TEST(TimeHistogram, PercentilesStayWithinTheirBucketOfTheExactOnesAfterMerging) {
    std::mt19937_64 random(5);
    // From a few nanoseconds to a few seconds, spread over every octave.
    std::lognormal_distribution<double> spread(12.0, 3.0);
    std::vector<std::int64_t> times;
    TimeHistogram first;
    TimeHistogram second;
    for (int i = 0; i < 20000; ++i) {
        const auto nanos = static_cast<std::int64_t>(spread(random));
        times.push_back(nanos);
        (i % 3 == 0 ? first : second).Add(nanos);
    }
    first.Merge(second);
    std::sort(times.begin(), times.end());
    ASSERT_EQ(first.Count(), static_cast<std::int64_t>(times.size()));
    EXPECT_EQ(first.Max(), times.back());
    for (double p : {0.0, 0.01, 0.25, 0.5, 0.9, 0.99, 0.999, 1.0}) {
        const auto rank = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::ceil(p * static_cast<double>(times.size()))));
        const double exact = static_cast<double>(times[rank - 1]);
        EXPECT_NEAR(static_cast<double>(first.Percentile(p)), exact, exact / 60.0 + 0.5)
            << "percentile " << p;
    }
    EXPECT_EQ(TimeHistogram().Percentile(0.5), 0);
}
