#include "ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrova::ui {

bool UseQtTranslation(bool french) {
    // One translator for the whole program, kept for the application's lifetime.
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    if (!french)
        return false;
    auto* t = new QTranslator;
    // qtbase_fr pulls in nothing else that the editor shows; Debian ships it in its Qt
    // translations package.
    if (!t->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

} // namespace kestrova::ui
