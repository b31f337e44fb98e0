#include "ui/main_window/trace_commands.h"

#include "core/files/compositing_commands.h"
#include "core/files/exchange_export.h"
#include "core/files/position_import.h"
#include "core/path/point_count.h"
#include "ui/dialogs/export_dialog.h"
#include "ui/widgets/busy_pointer.h"

namespace kestrova::ui {

void LendGameFolders(Document& doc, const GameState& game) {
    doc.game = game.Game();
    for (int g = 0; g < 2; ++g) {
        doc.modPath[g] = game.configs[g].ModPath;
        doc.positionFolder[g] = game.configs[g].DftPathPos;
    }
}

void TakeBackGameFolders(const Document& doc, GameState& game) {
    for (int g = 0; g < 2; ++g) {
        game.configs[g].DftPathPos = doc.positionFolder[g];
    }
}

bool ImportCameraCommand(Document& doc, GameState& game) {
    LendGameFolders(doc, game);
    const bool changed = ImportCameraMotion(doc);
    TakeBackGameFolders(doc, game);
    return changed;
}

bool ImportCommand(Document& doc, GameState& game) {
    LendGameFolders(doc, game);
    const bool changed = ImportPositions(doc);
    TakeBackGameFolders(doc, game);
    return changed;
}

bool ExportCommand(Document& doc, FrmExport& dialog, UniformRandom& rng) {
    const std::optional<QString> frames = dialog.Ask(doc.trace.counts.pointCount);
    if (!frames)
        return false;
    const auto format = static_cast<ExportFormat>(dialog.ExportTo());
    const std::optional<QString> path = ChooseExportFile(doc, format);
    if (!path)
        return false;
    BusyPointer busy;
    if (format == ExportFormat::AdvancedfxCam)
        return WriteCamExport(doc, *path, rng);
    return WriteExchangeFile(doc, *path, CountFromText(*frames), rng);
}

} // namespace kestrova::ui
