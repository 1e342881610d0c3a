#include "StrokeFont.h"

#include <vector>

namespace {

constexpr float kXHeight = 0.64f;

// One pen path of a letter, in letter units (y up from the baseline).
using Path = std::vector<Point>;

struct Glyph {
    char letter;
    float advance;
    std::vector<Path> paths;
};

Path Line(float x0, float y0, float x1, float y1) {
    return {{x0, y0}, {x1, y1}};
}

Path Arc(float cx, float cy, float rx, float ry, float fromDeg, float toDeg) {
    // ArcPoints works in picture coordinates (y down); letters are drawn y up.
    Path points = ArcPoints({cx, -cy}, rx, ry, fromDeg, toDeg);
    for (Point& p : points) p.y = -p.y;
    return points;
}

const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = {
        {'Q', 1.02f, {Arc(0.46f, 0.5f, 0.46f, 0.5f, 0, 360), Line(0.58f, 0.22f, 0.98f, -0.1f)}},
        {'u',
         0.70f,
         {Line(0, kXHeight, 0, 0.26f), Arc(0.27f, 0.26f, 0.27f, 0.26f, 180, 360),
          Line(0.54f, kXHeight, 0.54f, 0)}},
        {'e', 0.78f, {Line(0.02f, 0.32f, 0.58f, 0.32f), Arc(0.3f, 0.32f, 0.29f, 0.32f, 0, 310)}},
        {'l', 0.22f, {Line(0, 0, 0, 1.04f)}},
        {'o', 0.72f, {Arc(0.3f, 0.32f, 0.3f, 0.32f, 0, 360)}},
        {'r', 0.50f, {Line(0, 0, 0, kXHeight), Arc(0.3f, 0.3f, 0.3f, 0.32f, 180, 75)}},
        {'Z', 0.82f, {Line(0.02f, 1, 0.66f, 1), Line(0.66f, 1, 0, 0), Line(0, 0, 0.68f, 0)}},
        {'N', 0.88f, {Line(0, 0, 0, 1), Line(0, 1, 0.68f, 0), Line(0.68f, 0, 0.68f, 1)}},
        {'T', 0.82f, {Line(0, 1, 0.7f, 1), Line(0.35f, 1, 0.35f, 0)}},
    };
    return glyphs;
}

const Glyph* Find(char letter) {
    for (const Glyph& glyph : Glyphs()) {
        if (glyph.letter == letter) return &glyph;
    }
    return nullptr;
}

}  // namespace

Shape TextShape(const std::string& text, float x, float baseline, const TextStyle& style) {
    std::vector<Shape> strokes;
    for (char letter : text) {
        const Glyph* glyph = Find(letter);
        if (glyph == nullptr) continue;
        for (const Path& path : glyph->paths) {
            std::vector<Point> points;
            for (const Point& p : path) {
                points.push_back({x + p.x * style.capHeight, baseline - p.y * style.capHeight});
            }
            strokes.push_back(Polyline(points, style.penWidth));
        }
        x += glyph->advance * style.capHeight + style.letterSpace;
    }
    return Union(std::move(strokes));
}

float TextWidth(const std::string& text, const TextStyle& style) {
    float width = 0;
    for (char letter : text) {
        if (const Glyph* glyph = Find(letter))
            width += glyph->advance * style.capHeight + style.letterSpace;
    }
    return width - style.letterSpace;
}
