#pragma once
// Number rounding and text forms shared by the whole program.

#include <QLocale>
#include <QString>
#include <cstdint>

namespace kestrova {

// Nearest integer, halves to even (every float-to-integer conversion of the program).
int32_t RoundHalfEven(double v);
// Two decimals, halves to even: what every typed or read value goes through before storage.
double RoundTo2(double v);

// The user's regional format without thousands grouping (the default QLocale).
QLocale UserLocale();
// Fixed decimals in the user's regional format, e.g. "12,50" under a comma locale.
QString FormatLocaleFixed(double v, int decimals);
// A number typed by the user, read with the regional rules; nullopt-like: ok false when not a
// number.
double ParseLocaleNumber(const QString& text, bool* ok = nullptr);

// Game scripts and exchange files: "." and two decimals whatever the locale (halves away from
// zero, as display formatting does), and a value that rounds to zero is "0.00", never "-0.00".
QString FormatScriptNumber(double v);

// The leading number of a text with "." as separator ("12.5abc" -> 12.5, "abc" -> 0).
double LeadingNumber(const QString& text);

} // namespace kestrova
