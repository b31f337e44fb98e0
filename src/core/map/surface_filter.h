#pragma once
// Which map surfaces a player sees: sky, nodraw and tool brushes are left out of the views.

#include <QByteArray>
#include <cstdint>

namespace kestrova {

// Surface flags shared by Quake 3 and Enemy Territory.
inline constexpr int32_t kSurfSky = 0x4;
inline constexpr int32_t kSurfNoDraw = 0x80;
inline constexpr int32_t kSurfHint = 0x100;
inline constexpr int32_t kSurfSkip = 0x200;

// Content flags of brushes that are never seen.
inline constexpr int32_t kContentsFog = 0x40;
inline constexpr int32_t kContentsAreaPortal = 0x8000;
inline constexpr int32_t kContentsPlayerClip = 0x10000;
inline constexpr int32_t kContentsMonsterClip = 0x20000;
inline constexpr int32_t kContentsClusterPortal = 0x100000;
inline constexpr int32_t kContentsDoNotEnter = 0x200000;
inline constexpr int32_t kContentsBotClip = 0x400000;
inline constexpr int32_t kContentsOrigin = 0x1000000;
inline constexpr int32_t kContentsTrigger = 0x40000000;

// True when a surface with this shader is drawn in the views.
bool IsVisibleShader(const QByteArray& name, int32_t surfaceFlags, int32_t contentFlags);

} // namespace kestrova
