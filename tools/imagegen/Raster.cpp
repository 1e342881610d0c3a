#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr int kSamplesPerAxis = 4;

float Clamp01(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

float SegmentDistance(Point p, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = Clamp01(t);
    const float ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

Box Merge(Box a, Box b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

}  // namespace

Rgba Hex(unsigned rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
            alpha};
}

Rgba Mix(Rgba from, Rgba to, float t) {
    t = Clamp01(t);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Image::Image(int width, int height, Rgba background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

void Image::Fill(const Shape& shape, const Paint& paint) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.bounds.x0)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.bounds.y0)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(shape.bounds.x1)) + 1);
    const int y1 = std::min(height_, static_cast<int>(std::ceil(shape.bounds.y1)) + 1);
    constexpr float step = 1.0f / kSamplesPerAxis;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    if (shape.inside(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step)) ++hits;
                }
            }
            if (hits == 0) continue;
            Blend(x, y, paint(x + 0.5f, y + 0.5f),
                  static_cast<float>(hits) / (kSamplesPerAxis * kSamplesPerAxis));
        }
    }
}

void Image::Blend(int x, int y, Rgba colour, float coverage) {
    Rgba& target = pixels_[static_cast<size_t>(y) * width_ + x];
    const float alpha = colour.a * coverage;
    const float outAlpha = alpha + target.a * (1 - alpha);
    if (outAlpha <= 0) return;
    auto channel = [&](float source, float destination) {
        return (source * alpha + destination * target.a * (1 - alpha)) / outAlpha;
    };
    target = {channel(colour.r, target.r), channel(colour.g, target.g), channel(colour.b, target.b),
              outAlpha};
}

Shape RoundedRect(float x0, float y0, float x1, float y1, float radius) {
    return {[=](float x, float y) {
                const float cx = std::clamp(x, x0 + radius, x1 - radius);
                const float cy = std::clamp(y, y0 + radius, y1 - radius);
                const float dx = x - cx, dy = y - cy;
                return x >= x0 && x <= x1 && y >= y0 && y <= y1 &&
                       dx * dx + dy * dy <= radius * radius;
            },
            {x0, y0, x1, y1}};
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
    return {[=](float x, float y) {
                const float dx = (x - cx) / rx, dy = (y - cy) / ry;
                return dx * dx + dy * dy <= 1;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape Polygon(std::vector<Point> corners) {
    Box bounds{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const Point& p : corners) bounds = Merge(bounds, {p.x, p.y, p.x, p.y});
    return {[points = std::move(corners)](float x, float y) {
                bool inside = false;
                for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                    const Point& a = points[i];
                    const Point& b = points[j];
                    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                        inside = !inside;
                    }
                }
                return inside;
            },
            bounds};
}

Shape Stroke(Point from, Point to, float width) {
    const float r = width / 2;
    return {[=](float x, float y) {
                return SegmentDistance({x, y}, from, to) <= r;
            },
            {std::min(from.x, to.x) - r, std::min(from.y, to.y) - r, std::max(from.x, to.x) + r,
             std::max(from.y, to.y) + r}};
}

Shape Polyline(const std::vector<Point>& points, float width) {
    std::vector<Shape> strokes;
    for (size_t i = 1; i < points.size(); ++i)
        strokes.push_back(Stroke(points[i - 1], points[i], width));
    return Union(std::move(strokes));
}

std::vector<Point> ArcPoints(Point centre, float rx, float ry, float fromDeg, float toDeg) {
    constexpr int kSegments = 32;
    std::vector<Point> points;
    for (int i = 0; i <= kSegments; ++i) {
        const float degrees = fromDeg + (toDeg - fromDeg) * static_cast<float>(i) / kSegments;
        const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
        points.push_back({centre.x + rx * std::cos(radians), centre.y - ry * std::sin(radians)});
    }
    return points;
}

Shape Union(std::vector<Shape> shapes) {
    Box bounds = shapes.front().bounds;
    for (const Shape& shape : shapes) bounds = Merge(bounds, shape.bounds);
    return {[parts = std::move(shapes)](float x, float y) {
                return std::any_of(parts.begin(), parts.end(),
                                   [&](const Shape& part) { return part.inside(x, y); });
            },
            bounds};
}

Shape Subtract(Shape shape, Shape hole) {
    const Box bounds = shape.bounds;
    return {[outer = std::move(shape), inner = std::move(hole)](float x, float y) {
                return outer.inside(x, y) && !inner.inside(x, y);
            },
            bounds};
}

Paint Solid(Rgba colour) {
    return [=](float, float) { return colour; };
}

Paint Gradient(Point p0, Rgba from, Point p1, Rgba to) {
    const float dx = p1.x - p0.x, dy = p1.y - p0.y;
    const float lengthSquared = dx * dx + dy * dy;
    return [=](float x, float y) {
        return Mix(from, to, ((x - p0.x) * dx + (y - p0.y) * dy) / lengthSquared);
    };
}

Paint RadialFade(float cx, float cy, float rx, float ry, Rgba centre) {
    return [=](float x, float y) {
        const float dx = (x - cx) / rx, dy = (y - cy) / ry;
        Rgba colour = centre;
        colour.a *= Clamp01(1 - (dx * dx + dy * dy));
        return colour;
    };
}
