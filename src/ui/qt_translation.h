#pragma once
// Qt's own texts (standard dialog buttons, file dialogs) follow the editor's language.

namespace kestrova::ui {

// Installs Qt's French translation when french is true and removes it otherwise. Returns whether
// Qt's texts are now French: false for English, and false when the translation is not installed
// (Qt's texts then stay English, which is all that can be done).
bool UseQtTranslation(bool french);

} // namespace kestrova::ui
