#include "core/map/surface_filter.h"

#include <string_view>

namespace kestrova {

namespace {

// Tool textures of the editors' "common" folder, by their last name component. Flags usually
// mark them, but compilers and map authors are not consistent, so the names count too.
constexpr std::string_view kToolNames[] = {
    "caulk",       "clip",       "nodraw",     "nodrawnonsolid", "trigger",     "hint",
    "skip",        "origin",     "areaportal", "clusterportal",  "donotenter",  "botclip",
    "full_clip",   "weapclip",   "playerclip", "invisible",      "lightgrid",   "nodrop",
    "monsterclip", "antiportal", "hintskip",   "caulk_water",    "nodraw_water"};

bool IsToolName(QByteArray lower) {
    // Editors write either "textures/common/x" or "common/x".
    const qsizetype common = lower.indexOf("common/");
    if (common < 0 || (common > 0 && lower[common - 1] != '/'))
        return false;
    const std::string_view last(lower.constData() + common + 7,
                                static_cast<size_t>(lower.size() - common - 7));
    for (std::string_view tool : kToolNames) {
        if (last == tool)
            return true;
    }
    // Variants such as "clip_metal", "trigger_hurt" or "caulkshadow".
    return last.starts_with("clip") || last.starts_with("trigger") || last.starts_with("caulk") ||
           last.starts_with("nodraw") || last.starts_with("weapclip") ||
           last.starts_with("botclip");
}

} // namespace

bool IsVisibleShader(const QByteArray& name, int32_t surfaceFlags, int32_t contentFlags) {
    if (surfaceFlags & (kSurfSky | kSurfNoDraw | kSurfHint | kSurfSkip))
        return false;
    constexpr int32_t hiddenContents = kContentsFog | kContentsAreaPortal | kContentsPlayerClip |
                                       kContentsMonsterClip | kContentsClusterPortal |
                                       kContentsDoNotEnter | kContentsBotClip | kContentsOrigin |
                                       kContentsTrigger;
    if (contentFlags & hiddenContents)
        return false;
    const QByteArray lower = name.toLower();
    if (lower.isEmpty() || lower == "noshader" || lower.startsWith("textures/skies/") ||
        lower.contains("flareshader"))
        return false;
    return !IsToolName(lower);
}

} // namespace kestrova
