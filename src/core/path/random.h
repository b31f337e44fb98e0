#pragma once
// The program's uniform random sequence in [0, 1): continues from call to call, seedable so
// that tests and batch runs can repeat a wiggle.

#include <cstdint>

namespace kestrova {

class UniformRandom {
public:
    explicit UniformRandom(uint64_t seed = 0x9E3779B97F4A7C15ull) { Seed(seed); }
    void Seed(uint64_t seed);
    double Next(); // [0, 1)

private:
    uint64_t state_[4]{};
};

// The sequence the path builder draws from.
UniformRandom& AppRandom();

} // namespace kestrova
