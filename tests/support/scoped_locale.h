#pragma once
// Sets the default regional format for one test and puts the previous one back.

#include <QLocale>

namespace kestrova::test {

class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) : previous_(QLocale()) {
        QLocale::setDefault(locale);
    }
    explicit ScopedLocale(const char* name) : ScopedLocale(QLocale(QString::fromLatin1(name))) {}
    ~ScopedLocale() { QLocale::setDefault(previous_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    static QLocale French() { return QLocale(QLocale::French, QLocale::France); }

private:
    QLocale previous_;
};

} // namespace kestrova::test
