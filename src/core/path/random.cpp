#include "core/path/random.h"

#include <random>

namespace kestrova {
namespace {

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

} // namespace

void UniformRandom::Seed(uint64_t seed) {
    for (auto& s : state_)
        s = SplitMix(seed);
}

// xoshiro256**: small, fast and the same sequence on every platform.
double UniformRandom::Next() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return static_cast<double>(result >> 11) * 0x1.0p-53;
}

UniformRandom& AppRandom() {
    // Unseeded runs differ from each other, like the editor's wiggle should.
    static UniformRandom rng{std::random_device{}()};
    return rng;
}

} // namespace kestrova
