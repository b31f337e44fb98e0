#pragma once
// Export of the camera path to a 3DS Max exchange file (".kv3dsx"): one "cam:" line per path
// point (one animation frame each) and one "ref:" line per reference point.

#include "core/files/document.h"
#include "core/path/random.h"

#include <functional>
#include <optional>

namespace kestrova {

// The path for frames (corrected by the point-count rule) with the script's pitch sign; the
// trace is not changed. effectivePoints receives the number of cam lines. A path that is not
// made of finite numbers gives no text and its message in problem.
QByteArray ExchangeFileText(const Trace& trace, int32_t frames, int32_t animRate,
                            UniformRandom& rng, int32_t* effectivePoints = nullptr,
                            QString* problem = nullptr);

// Writes the file and reports the outcome through the dialogs.
bool WriteExchangeFile(Document& doc, const QString& path, int32_t frames,
                       UniformRandom& rng = AppRandom());
// Save dialog with the remembered folder (DftPathExtract) and file name.
std::optional<QString> ChooseExportFile(Document& doc);
// The menu command. showExportDialog returns the text of "Animation frames", or nothing on
// Cancel.
bool ExportTrace(Document& doc, const std::function<std::optional<QString>()>& showExportDialog);

} // namespace kestrova
