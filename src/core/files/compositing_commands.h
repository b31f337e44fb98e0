#pragma once
// The editor's commands on the road to compositing tools: the camera file export, the camera
// motion import (a fitted trace replaces the current one) and the map geometry export.

#include "core/files/cam_fit.h"
#include "core/files/document.h"
#include "core/map/map_geometry.h"
#include "core/path/random.h"

#include <array>
#include <optional>

namespace kestrova {

// The choice of Trace > Export.
enum class ExportFormat : int { Max3ds = 0, AdvancedfxCam = 1 };

// Save dialog of an export with the remembered folder (DftPathExtract) and file name.
std::optional<QString> ChooseExportFile(Document& doc, ExportFormat format);

// Writes the camera file of the scripts' path and reports the outcome through the dialogs.
bool WriteCamExport(Document& doc, const QString& path, UniformRandom& rng = AppRandom());

// Trace > Import > Camera motion: after the question about a modified trace and the open
// dialog, a trace fitted to the file becomes the current one (unsaved, the map kept). A file
// that cannot be read changes nothing and says why, naming its line.
bool ImportCameraMotion(Document& doc, const CamFitTolerance& tolerance = {});

// Map > Export geometry: the save dialog (starting in folder, which then holds the chosen
// folder) and the Wavefront file of the drawn map shifted by its origin offset.
bool ExportMapGeometry(Dialogs& dialogs, const MapGeometry& geometry,
                       const std::array<float, 3>& offset, const QString& mapName, QString& folder);

} // namespace kestrova
