#pragma once
// The pause of a chained camera script: every few files the chain stops and waits for a key.

#include <QString>

namespace kestrova {

// The text the pause box keeps after validation: the typed text unless its leading number is 0,
// in which case the previous text comes back.
QString ValidatePauseEveryText(const QString& typed, const QString& previous);

// After how many chained files the chain stops. The text rounds to a whole number, halves to
// even; an interval that would round to 0 is kept at 1 so the multiple test stays defined.
int PauseInterval(const QString& text);

} // namespace kestrova
