#pragma once
// The bilingual string table: English ids 0..999, French id + 1000, the version at 10000.

#include <QString>
#include <QStringList>

namespace kestrova {

constexpr int kLanguageEnglish = 0;
constexpr int kLanguageFrench = 1000;
constexpr int kVersionStringId = 10000;

// Conversion of an fStr argument to text.
inline QString ArgText(const QString& s) {
    return s;
}
inline QString ArgText(const char* s) {
    return QString::fromUtf8(s);
}
inline QString ArgText(int v) {
    return QString::number(v);
}
inline QString ArgText(qint64 v) {
    return QString::number(v);
}
inline QString ArgText(double v) {
    return QString::number(v);
}

// Offset of the current language (0 English, 1000 French).
int LanguageOffset();
void SetLanguageOffset(int offset);

// Text of id + offset with "%%" filled in order by args and "<nl>" turned into CR LF.
// A missing id gives the empty text.
QString fStrEx(int id, int offset, const QStringList& args = {});
// Same with the current language.
QString fStr(int id, const QStringList& args = {});

template <typename... Args> QString fStr(int id, const Args&... args) {
    return fStr(id, QStringList{ArgText(args)...});
}

// The text for a count, filled with the count first: oneId where the language says "1 point"
// (French also says "0 point"), manyId otherwise.
bool SingularCount(qint64 n);
template <typename... Args>
QString fStrCount(int oneId, int manyId, qint64 n, const Args&... args) {
    return fStr(SingularCount(n) ? oneId : manyId, QStringList{ArgText(n), ArgText(args)...});
}

// A menu caption as a window title: no access key, no ellipsis ("&Export..." gives "Export").
QString MenuCaptionAsTitle(QString caption);

// The raw text of one id without substitutions (empty if absent).
QString RawString(int id);
// Every id present in the table, ascending.
QList<int> StringIds();

} // namespace kestrova
