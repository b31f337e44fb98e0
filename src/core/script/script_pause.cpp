#include "core/script/script_pause.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace kestrova {

QString ValidatePauseEveryText(const QString& typed, const QString& previous) {
    return LeadingNumber(typed) != 0.0 ? typed : previous;
}

int PauseInterval(const QString& text) {
    // A negative interval pauses on the same multiples as its absolute value.
    const int64_t n = std::llabs(static_cast<int64_t>(RoundHalfEven(LeadingNumber(text))));
    return n < 1 ? 1 : static_cast<int>(std::min<int64_t>(n, INT32_MAX));
}

} // namespace kestrova
