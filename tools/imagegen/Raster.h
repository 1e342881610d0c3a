#pragma once

#include <functional>
#include <vector>

// A small anti-aliased rasteriser for the program's pictures: shapes are inside-tests on
// continuous coordinates (pixel (x, y) covers [x, x+1) x [y, y+1)), filled with a paint
// that gives the colour at each point. Each pixel is sampled on a 4 x 4 grid, which is
// enough to keep the edges of small pictures smooth.

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an opacity.
Rgba Hex(unsigned rgb, float alpha = 1.0f);
Rgba Mix(Rgba from, Rgba to, float t);

struct Box {
    float x0, y0, x1, y1;
};

struct Shape {
    std::function<bool(float, float)> inside;
    Box bounds;
};

using Paint = std::function<Rgba(float, float)>;

class Image {
public:
    Image(int width, int height, Rgba background);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Draws `paint` over the image wherever `shape` is, blending by coverage and alpha.
    void Fill(const Shape& shape, const Paint& paint);

private:
    void Blend(int x, int y, Rgba colour, float coverage);

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

struct Point {
    float x, y;
};

Shape RoundedRect(float x0, float y0, float x1, float y1, float radius);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape Polygon(std::vector<Point> corners);
// A line of the given width with round ends.
Shape Stroke(Point from, Point to, float width);
// Several strokes along the points, joined round.
Shape Polyline(const std::vector<Point>& points, float width);
// An elliptic arc, angles in degrees counter-clockwise from the +x axis (y pointing up).
std::vector<Point> ArcPoints(Point centre, float rx, float ry, float fromDeg, float toDeg);
Shape Union(std::vector<Shape> shapes);
Shape Subtract(Shape shape, Shape hole);

Paint Solid(Rgba colour);
// From `from` at p0 to `to` at p1, constant across the line between them.
Paint Gradient(Point p0, Rgba from, Point p1, Rgba to);
// Strongest at the centre and fading to nothing at the ellipse's rim: soft shadows.
Paint RadialFade(float cx, float cy, float rx, float ry, Rgba centre);
