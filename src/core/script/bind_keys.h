#pragma once
// The resume-key list of the script pause: 101 items in a fixed order, separators between the
// groups, and the name the game knows each key by.

#include <QString>

namespace kestrova {

constexpr int kBindKeyCount = 101;
inline const QString kBindKeySeparator = QStringLiteral("-----------");
constexpr int kKeyCodeUp = 38; // the Up arrow, the only key that steps back over a separator

// Text of an item as the list shows it (the ten punctuation keys come from the strings table).
QString BindKeyText(int index);
bool IsBindKeySeparator(int index);
// The selection after landing on a separator: back when the last key was the Up arrow, on
// otherwise. Any other item stays where it is.
int StepOverSeparator(int index, int lastKeyCode);
// A tip for items whose text does not say which key they are (empty for the others), in the
// current language.
QString BindKeyTip(int index);
// The game's name of the selected key: what the list keeps in its tag and the pause bind uses.
// Indices outside the list count as the first item.
QString RefreshBindKeyTag(int index);

} // namespace kestrova
