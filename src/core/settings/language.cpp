#include "core/settings/language.h"

#include <QFile>
#include <QHash>
#include <map>

static void InitStringResources() {
    Q_INIT_RESOURCE(strings);
}

namespace kestrova {
namespace {

int gLanguageOffset = kLanguageEnglish;

// Loaded once; the table is read-only afterwards.
const std::map<int, QString>& Table() {
    static const std::map<int, QString> table = [] {
        InitStringResources();
        std::map<int, QString> t;
        for (const char* name :
             {":/kestrova/strings/strings_en.tsv", ":/kestrova/strings/strings_fr.tsv"}) {
            QFile f(QString::fromLatin1(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString all = QString::fromUtf8(f.readAll());
            for (const QString& line : all.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const qsizetype tab = line.indexOf(QLatin1Char('\t'));
                if (tab <= 0)
                    continue;
                bool ok = false;
                const int id = line.left(tab).toInt(&ok);
                if (ok)
                    t[id] = line.mid(tab + 1);
            }
        }
        t[kVersionStringId] = QStringLiteral("0.9.9.0");
        return t;
    }();
    return table;
}

} // namespace

int LanguageOffset() {
    return gLanguageOffset;
}
void SetLanguageOffset(int offset) {
    gLanguageOffset = offset;
}

QString MenuCaptionAsTitle(QString caption) {
    return caption.remove(QLatin1Char('&')).remove(QStringLiteral("..."));
}

QString RawString(int id) {
    const auto& t = Table();
    auto it = t.find(id);
    return it == t.end() ? QString() : it->second;
}

QList<int> StringIds() {
    QList<int> ids;
    for (const auto& [id, text] : Table())
        ids.append(id);
    return ids;
}

QString fStrEx(int id, int offset, const QStringList& args) {
    QString text = RawString(id + offset);
    if (text.isEmpty())
        return text;
    // Each argument takes the first placeholder left, so one holding "%%" feeds the next.
    static const QString placeholder = QStringLiteral("%%");
    for (const QString& arg : args) {
        const qsizetype at = text.indexOf(placeholder);
        if (at < 0)
            break;
        text.replace(at, placeholder.size(), arg);
    }
    text.replace(QStringLiteral("<nl>"), QStringLiteral("\r\n"));
    return text;
}

bool SingularCount(qint64 n) {
    return gLanguageOffset == kLanguageFrench ? (n == 0 || n == 1) : n == 1;
}

QString fStr(int id, const QStringList& args) {
    return fStrEx(id, gLanguageOffset, args);
}

} // namespace kestrova
