#include "core/files/obj_export.h"

#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <vector>

namespace kestrova {
namespace {

void AppendNumber(QByteArray& out, double v) {
    if (std::fabs(v) < 5e-5)
        v = 0.0;
    std::array<char, 48> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 4);
    // Trailing zeros say nothing; a map of a million vertices stays a few megabytes smaller.
    const char* end = r.ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    out.append(buf.data(), end - buf.data());
}

// A group name without blanks, which ".obj" readers would cut at.
QByteArray GroupName(const QByteArray& shader, int32_t index) {
    QByteArray name = shader.isEmpty() ? QByteArray("shader_") + QByteArray::number(index) : shader;
    for (char& ch : name)
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '#')
            ch = '_';
    return name;
}

} // namespace

QByteArray ObjFileText(const MapGeometry& g, const std::array<float, 3>& offset,
                       const QString& mapName) {
    QByteArray out;
    out += "# Kestrova 3D map geometry";
    if (!mapName.isEmpty())
        out += ": " + mapName.toUtf8();
    out += "\n# game units, x forward, y left, z up; origin offset ";
    for (int a = 0; a < 3; ++a) {
        out += a ? " " : "";
        AppendNumber(out, offset[a]);
    }
    out += "\n";

    // Surfaces by shader name, in the order the names first appear.
    std::map<QByteArray, std::vector<size_t>> byName;
    std::vector<QByteArray> order;
    for (size_t s = 0; s < g.surfaces.size(); ++s) {
        const int32_t sh = g.surfaces[s].shader;
        const QByteArray name = GroupName(
            sh >= 0 && size_t(sh) < g.shaders.size() ? g.shaders[size_t(sh)].name : QByteArray(),
            sh);
        auto [it, added] = byName.try_emplace(name);
        if (added)
            order.push_back(name);
        it->second.push_back(s);
    }

    // Vertices numbered as first used, so that unused ones are left out.
    std::vector<uint32_t> number(g.vertices.size(), 0);
    uint32_t written = 0;
    QByteArray faces;
    out.reserve(qsizetype(g.vertices.size()) * 32);
    faces.reserve(qsizetype(g.indices.size()) * 8);
    for (const QByteArray& name : order) {
        faces += "g " + name + "\n";
        for (size_t s : byName[name]) {
            const DrawnSurface& surface = g.surfaces[s];
            for (uint32_t tri = 0; tri < surface.triangleCount; ++tri) {
                const size_t base = (size_t(surface.firstTriangle) + tri) * 3;
                if (base + 2 >= g.indices.size())
                    break;
                if (g.indices[base] >= g.vertices.size() ||
                    g.indices[base + 1] >= g.vertices.size() ||
                    g.indices[base + 2] >= g.vertices.size())
                    continue;
                faces += "f";
                for (int c = 0; c < 3; ++c) {
                    const uint32_t v = g.indices[base + size_t(c)];
                    if (number[v] == 0) {
                        number[v] = ++written;
                        out += "v ";
                        for (int a = 0; a < 3; ++a) {
                            out += a ? " " : "";
                            AppendNumber(out, double(g.vertices[v][size_t(a)]) + offset[size_t(a)]);
                        }
                        out += "\n";
                    }
                    faces += ' ';
                    faces += QByteArray::number(number[v]);
                }
                faces += "\n";
            }
        }
    }
    return out + faces;
}

} // namespace kestrova
