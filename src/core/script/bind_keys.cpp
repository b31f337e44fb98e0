#include "core/script/bind_keys.h"

#include "core/settings/language.h"

#include <array>

namespace kestrova {

namespace {

struct BindKey {
    const char* text;     // nullptr: the item's text comes from the strings table
    const char* gameName; // nullptr: the item's text is the name
};

constexpr const char* kSep = "-----------";
constexpr int kFirstPunctuationString = 63;
constexpr int kPunctuationCount = 10;
constexpr int kPunctuationTipString = 74;

// Items 0..9 are the punctuation keys (strings 63..72); only ';' has a name of its own.
constexpr std::array<BindKey, kBindKeyCount> kKeys = {{
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, "SemiColon"},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"0x00", nullptr},
    {kSep, nullptr},
    {"0", nullptr},
    {"1", nullptr},
    {"2", nullptr},
    {"3", nullptr},
    {"4", nullptr},
    {"5", nullptr},
    {"6", nullptr},
    {"7", nullptr},
    {"8", nullptr},
    {"9", nullptr},
    {kSep, nullptr},
    {"A", nullptr},
    {"B", nullptr},
    {"C", nullptr},
    {"D", nullptr},
    {"E", nullptr},
    {"F", nullptr},
    {"G", nullptr},
    {"H", nullptr},
    {"I", nullptr},
    {"J", nullptr},
    {"K", nullptr},
    {"L", nullptr},
    {"M", nullptr},
    {"N", nullptr},
    {"O", nullptr},
    {"P", nullptr},
    {"Q", nullptr},
    {"R", nullptr},
    {"S", nullptr},
    {"T", nullptr},
    {"U", nullptr},
    {"V", nullptr},
    {"W", nullptr},
    {"X", nullptr},
    {"Y", nullptr},
    {"Z", nullptr},
    {kSep, nullptr},
    {"Alt", nullptr},
    {"BackSpace", nullptr},
    {"CapsLock", nullptr},
    {"Ctrl", nullptr},
    {"Enter", nullptr},
    {"Pause", nullptr},
    {"Shift", nullptr},
    {"Tab", nullptr},
    {kSep, nullptr},
    {"Insert", "Ins"},
    {"Delete", "Del"},
    {"Home", nullptr},
    {"End", nullptr},
    {"Page up", "PgUp"},
    {"Page down", "PgDn"},
    {kSep, nullptr},
    {"Up arrow", "UpArrow"},
    {"Down arrow", "DownArrow"},
    {"Left arrow", "LeftArrow"},
    {"Right arrow", "RightArrow"},
    {kSep, nullptr},
    {"Num. 0", "KP_Ins"},
    {"Num. 1", "KP_End"},
    {"Num. 2", "KP_DownArrow"},
    {"Num. 3", "KP_PgDn"},
    {"Num. 4", "KP_LeftArrow"},
    {"Num. 5", "KP_5"},
    {"Num. 6", "KP_RightArrow"},
    {"Num. 7", "KP_Home"},
    {"Num. 8", "KP_UpArrow"},
    {"Num. 9", "KP_PgUp"},
    {"Num. Delete", "KP_Del"},
    {"Num. Enter", "KP_Enter"},
    {"Num. +", "KP_Plus"},
    {"Num. -", "KP_Minus"},
    {"Numlock", "KP_Numlock"},
    {"Num. *", "*"},
    {"Num. /", "KP_Slash"},
    {kSep, nullptr},
    {"F1", nullptr},
    {"F2", nullptr},
    {"F3", nullptr},
    {"F4", nullptr},
    {"F5", nullptr},
    {"F6", nullptr},
    {"F7", nullptr},
    {"F8", nullptr},
    {"F9", nullptr},
    {"F10", nullptr},
    {"F11", nullptr},
    {"F12", nullptr},
}};

int Clamp(int index) {
    return index >= 0 && index < kBindKeyCount ? index : 0;
}

} // namespace

QString BindKeyText(int index) {
    index = Clamp(index);
    if (index < kPunctuationCount)
        return fStr(kFirstPunctuationString + index);
    return QString::fromLatin1(kKeys[index].text);
}

bool IsBindKeySeparator(int index) {
    return index >= 0 && index < kBindKeyCount && kKeys[index].text == kSep;
}

int StepOverSeparator(int index, int lastKeyCode) {
    if (!IsBindKeySeparator(index))
        return index;
    // The list neither starts nor ends with a separator, so both neighbours exist.
    return lastKeyCode == kKeyCodeUp ? index - 1 : index + 1;
}

QString BindKeyTip(int index) {
    // A punctuation key is shown as a keyboard's key top ("' ? ´" in French): the tip names the
    // key as the game binds it.
    if (index >= 0 && index < kPunctuationCount)
        return fStr(kPunctuationTipString, RefreshBindKeyTag(index));
    if (index < 0 || index >= kBindKeyCount || qstrcmp(kKeys[index].text, "0x00") != 0)
        return {};
    // The game names a key it has no name for by its code in hexadecimal.
    if (LanguageOffset() == kLanguageFrench)
        return QStringLiteral("0x00 : la touche de code 0, nom que le jeu donne \u00e0 une touche "
                              "qu'il ne sait pas nommer");
    return QStringLiteral("0x00: the key of code 0, the game's name for a key it has no name for");
}

QString RefreshBindKeyTag(int index) {
    index = Clamp(index);
    if (kKeys[index].gameName)
        return QString::fromLatin1(kKeys[index].gameName);
    // The punctuation keys are named by the character itself, whatever the language shows.
    if (index < kPunctuationCount)
        return fStrEx(kFirstPunctuationString + index, kLanguageEnglish);
    return BindKeyText(index);
}

} // namespace kestrova
