#include "core/game/console_names.h"

#include "core/settings/language.h"

namespace kestrova {

namespace {
constexpr int kUnsafeName = 563;
constexpr int kLineBreak = 564;
constexpr int kBlank = 565;
constexpr int kControlCharacter = 566;
} // namespace

std::optional<QString> UnsafeGameNameCharacter(const QString& name, GameNameUse use) {
    for (const QChar c : name) {
        if (c == QLatin1Char('"') || c == QLatin1Char(';'))
            return QString(c);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return fStr(kLineBreak);
        if (c.unicode() < 0x20 || c.unicode() == 0x7f ||
            (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            return fStr(kControlCharacter);
        if (use == GameNameUse::CommandLine && c == QLatin1Char('+'))
            return QString(c);
        if (use == GameNameUse::BindCommand && c == QLatin1Char(' '))
            return fStr(kBlank);
    }
    return std::nullopt;
}

QString UnsafeGameNameMessage(const QString& name, const QString& character) {
    return fStr(kUnsafeName, name, character);
}

std::optional<QString> RefuseUnsafeGameNames(const QStringList& names, GameNameUse use) {
    for (const QString& name : names)
        if (const auto c = UnsafeGameNameCharacter(name, use))
            return UnsafeGameNameMessage(name, *c);
    return std::nullopt;
}

QString GameArgument(const QString& name) {
    if (name.contains(QLatin1Char(' ')) || name.contains(QLatin1Char('\t')))
        return QLatin1Char('"') + name + QLatin1Char('"');
    return name;
}

} // namespace kestrova
