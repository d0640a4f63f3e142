#pragma once

#include <cstdint>
#include <random>

namespace namoro::runtime {

// The game's random numbers: single-precision fractions in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
    // A fresh, nondeterministic seed.
    virtual void reseed() = 0;
};

// 24 random bits over 2^24: exact in a float, never 1.0, the same on every platform.
class MersenneRandom final : public RandomSource {
public:
    explicit MersenneRandom(std::uint32_t seed = 5489u) : engine_(seed) {}
    float next() override { return static_cast<float>(engine_() >> 8) * 0x1.0p-24f; }
    void reseed() override { engine_.seed(std::random_device{}()); }

private:
    std::mt19937 engine_;
};

} // namespace namoro::runtime
