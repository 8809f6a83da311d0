// The computer players' own random numbers: the same sequence for a seed on
// every machine and standard library (no library distribution is used).
#pragma once

#include <cstdint>

class BotRandom {
  public:
    explicit BotRandom(std::uint64_t seed) : state_(seed) {}

    // 64 random bits: the SplitMix64 sequence of the seed.
    std::uint64_t Next() {
        std::uint64_t x = state_ += 0x9E3779B97F4A7C15ull;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }
    // A value in [0, bound), bound > 0.
    std::uint32_t Below(std::uint32_t bound) {
        return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
    }
    // True with probability numerator / denominator.
    bool Chance(std::uint32_t numerator, std::uint32_t denominator) {
        return Below(denominator) < numerator;
    }

  private:
    std::uint64_t state_;
};
