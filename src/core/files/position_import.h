#pragma once
// Import of camera positions saved in the game: ET Pro writes one ".epcp" file per position
// into a folder, Defrag one ".dfcp" file with a position per line.

#include "core/files/document.h"

namespace kestrova {

// Reads a position into rec: x, y, z, yaw and fov from the first 50 bytes of an ET Pro file.
void ParseEtProPosition(const QString& text, PointRecord& rec);
// x, y, z, pitch, yaw, (unused), roll and fov of one Defrag line.
void ParseDefragPosition(const QString& text, PointRecord& rec);

struct ImportTarget {
    bool proceed = true;
    bool newTrace = true;
};

ImportTarget AskImportTarget(Document& doc);
bool ImportEtProFolder(Document& doc, bool newTrace);
bool ImportDefragFile(Document& doc, bool newTrace);
bool AddImportedPositions(Document& doc, bool newTrace, QStringList positions);
// The menu command; true when the trace changed.
bool ImportPositions(Document& doc);

} // namespace kestrova
