#pragma once
// Which text of the string table goes on which control: captions and tooltips.

#include <QList>
#include <QString>

class QWidget;

namespace kestrova::ui {

struct CaptionBinding {
    const char* objectName;
    int id;
};

// Controls are found by object name; an array element is the name followed by its index.
const QList<CaptionBinding>& LanguageCaptions();
const QList<CaptionBinding>& TooltipCaptions();

// Sets the caption (text, title or action text) of every control of the table under root.
void ApplyCaptions(QWidget* root, const QList<CaptionBinding>& table);
// Sets the tooltips; the entries with arguments are given them (mod folder, executable).
void ApplyTooltipTable(QWidget* root, const QString& modFolder, const QString& executable);

} // namespace kestrova::ui
