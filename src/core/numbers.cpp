#include "core/numbers.h"

#include <array>
#include <charconv>
#include <cmath>

namespace kestrova {

int32_t RoundHalfEven(double v) {
    // nearbyint follows the default rounding mode, which is to nearest with ties to even.
    const double r = std::nearbyint(v);
    if (!(r > -2147483649.0))
        return INT32_MIN;
    if (!(r < 2147483648.0))
        return INT32_MAX;
    return static_cast<int32_t>(r);
}

double RoundTo2(double v) {
    if (!std::isfinite(v))
        return 0.0;
    return std::nearbyint(v * 100.0) / 100.0;
}

QLocale UserLocale() {
    QLocale loc;
    loc.setNumberOptions(loc.numberOptions() | QLocale::OmitGroupSeparator);
    return loc;
}

QString FormatLocaleFixed(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    if (std::nearbyint(v * scale) == 0.0)
        v = 0.0; // no "-0.00"
    return UserLocale().toString(v, 'f', decimals);
}

double ParseLocaleNumber(const QString& text, bool* ok) {
    bool good = false;
    double v = UserLocale().toDouble(text.trimmed(), &good);
    if (!good || !std::isfinite(v)) {
        v = 0.0;
        good = false;
    }
    if (ok)
        *ok = good;
    return v;
}

QString FormatScriptNumber(double v) {
    // Display formatting rounds halves away from zero.
    double r = std::round(v * 100.0);
    if (r == 0.0 || !std::isfinite(r))
        return QStringLiteral("0.00");
    std::array<char, 64> buf{};
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), r / 100.0, std::chars_format::fixed, 2);
    return QString::fromLatin1(buf.data(), res.ptr - buf.data());
}

double LeadingNumber(const QString& text) {
    const QByteArray s = text.trimmed().toLatin1();
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    // An exponent only counts when digits follow it.
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < n && s[j] >= '0' && s[j] <= '9') {
            while (j < n && s[j] >= '0' && s[j] <= '9')
                ++j;
            i = j;
        }
    }
    double v = 0.0;
    const char* begin = s.constData();
    if (*begin == '+')
        ++begin;
    std::from_chars(begin, s.constData() + i, v);
    return std::isfinite(v) ? v : 0.0;
}

} // namespace kestrova
