// Draws the setup program's pictures and writes them into the given folder:
//   printers.bmp  bitmap 129, 400 x 149: three printers of the family on white
//   logo.bmp      bitmap 147, 126 x 35: the maker's name
//   setup.bmp     bitmap 132, 112 x 128: a computer and a software box on light blue
//   setup.ico     icon 133, 32 x 32 and 16 x 16: a small receipt printer
//   lamp-green.bmp, lamp-grey.bmp, lamp-red.bmp
//                 bitmaps 142, 143, 144, 30 x 31: the status dialog's lamps
//
//   make-images <output folder>

#include "ImageFiles.h"
#include "Raster.h"
#include "StrokeFont.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const Rgba kWhite = Hex(0xFFFFFF);

struct PrinterColours {
    Rgba top, frontLight, frontDark, side, label, trim;
};

// A receipt printer seen from the front left: front face, top with the paper exit, the
// right side, and a receipt coming out of the exit. (x, floor) is the front face's lower
// left corner; `scale` 1 makes the front 110 pixels wide.
void DrawPrinter(Image& image, float x, float floor, float scale, const PrinterColours& colours,
                 float receiptLength) {
    const float w = 110 * scale, h = 60 * scale;
    const float dx = 26 * scale, dy = -17 * scale;
    const float top = floor - h;

    image.Fill(Ellipse(x + w / 2 + dx / 2, floor + 2 * scale, w * 0.68f, 7 * scale),
               RadialFade(x + w / 2 + dx / 2, floor + 2 * scale, w * 0.68f, 7 * scale,
                          Hex(0x000000, 0.45f)));

    image.Fill(
        Polygon({{x + w - 2 * scale, top + 3 * scale},
                 {x + w + dx, top + dy + 3 * scale},
                 {x + w + dx, floor + dy + 2 * scale},
                 {x + w - 2 * scale, floor}}),
        Gradient({x + w, top}, colours.side, {x + w + dx, floor}, Mix(colours.side, Hex(0), 0.3f)));
    image.Fill(
        Polygon({{x + 3 * scale, top + 1},
                 {x + w - 1, top + 1},
                 {x + w + dx, top + dy},
                 {x + dx + 6 * scale, top + dy}}),
        Gradient({x, top}, colours.top, {x + dx, top + dy}, Mix(colours.top, kWhite, 0.35f)));
    image.Fill(RoundedRect(x, top, x + w, floor, 6 * scale),
               Gradient({x, top}, colours.frontLight, {x, floor}, colours.frontDark));

    // The front cover's seam and its lip, where the cover lifts to change the roll.
    image.Fill(Stroke({x + 3 * scale, top + h * 0.36f}, {x + w - 3 * scale, top + h * 0.36f},
                      1.2f * scale),
               Solid(colours.trim));
    image.Fill(RoundedRect(x + w * 0.40f, top + h * 0.36f, x + w * 0.60f,
                           top + h * 0.36f + 4 * scale, 2 * scale),
               Solid(Mix(colours.trim, colours.frontDark, 0.4f)));

    // Paper exit across the top, a third of the way back.
    const float slotLeft = x + 20 * scale + dx * 0.35f, slotRight = x + w - 16 * scale + dx * 0.35f;
    const float slotY = top + dy * 0.35f;
    image.Fill(Stroke({slotLeft, slotY}, {slotRight, slotY}, 3 * scale), Solid(Hex(0x15181C)));

    // The receipt: it rises from the exit and leans toward the viewer, its top edge torn.
    const float paperLeft = slotLeft + 4 * scale, paperRight = slotRight - 4 * scale;
    const float paperTop = slotY - receiptLength * scale;
    const float lean = 7 * scale;
    std::vector<Point> paper = {{paperLeft, slotY}, {paperRight, slotY}};
    const int teeth = 12;
    for (int i = teeth; i >= 0; --i) {
        const float t = static_cast<float>(i) / teeth;
        const float tooth = (i % 2 == 0) ? 0 : 2.2f * scale;
        paper.push_back(
            {paperLeft - lean + (paperRight - paperLeft) * t, paperTop + tooth + 3 * scale * t});
    }
    image.Fill(Polygon(paper),
               Gradient({paperLeft, slotY}, Hex(0xE9EBEE), {paperLeft, paperTop}, kWhite));
    // Printed lines of the receipt: a heading, items, a total.
    const float lineWidths[] = {0.55f, 0.0f, 0.8f, 0.7f, 0.75f, 0.6f, 0.0f, 0.45f};
    const int lineCount = static_cast<int>(sizeof lineWidths / sizeof lineWidths[0]);
    for (int i = 0; i < lineCount; ++i) {
        if (lineWidths[i] == 0) continue;
        const float t = (i + 1.5f) / (lineCount + 2);
        const float y = paperTop + 6 * scale + (slotY - paperTop - 10 * scale) * t;
        const float shift = lean * (1 - (y - paperTop) / (slotY - paperTop));
        const float left = paperLeft + 6 * scale - shift;
        const float right = left + (paperRight - paperLeft - 12 * scale) * lineWidths[i];
        image.Fill(Stroke({left, y}, {right, y}, (i == 0 || i == 7 ? 1.6f : 1.0f) * scale),
                   Solid(Hex(0x6B7078, 0.85f)));
    }

    // Name plate, power lamp and feed button.
    const TextStyle label{13 * scale, 2.2f * scale, 1.5f * scale};
    image.Fill(TextShape("ZNT", x + 10 * scale, top + h * 0.36f + 19 * scale, label),
               Solid(colours.label));
    image.Fill(Ellipse(x + w - 14 * scale, top + h * 0.62f, 2.4f * scale, 2.4f * scale),
               Solid(Hex(0x3BD45E)));
    image.Fill(RoundedRect(x + w - 30 * scale, top + h * 0.56f, x + w - 21 * scale, top + h * 0.68f,
                           1.5f * scale),
               Solid(colours.trim));
}

Image Printers() {
    Image image(400, 149, kWhite);
    const PrinterColours light{Hex(0xEEF0F2), Hex(0xDADDE1), Hex(0xB9BEC4),
                               Hex(0xA3A8AE), Hex(0x5B6169), Hex(0x9AA0A7)};
    const PrinterColours ivory{Hex(0xFBF9F4), Hex(0xEFEBE2), Hex(0xD4CEC2),
                               Hex(0xBDB6A9), Hex(0x2F4E7E), Hex(0xB1AA9C)};
    const PrinterColours charcoal{Hex(0x6A717A), Hex(0x4D545D), Hex(0x2A2E34),
                                  Hex(0x25292E), Hex(0xE9EEF3), Hex(0x1B1E22)};
    DrawPrinter(image, 22, 128, 0.8f, light, 52);
    DrawPrinter(image, 276, 131, 0.84f, ivory, 66);
    DrawPrinter(image, 138, 141, 1.0f, charcoal, 60);
    return image;
}

Image Logo() {
    Image image(126, 35, kWhite);
    const TextStyle style{21, 3.4f, 2.6f};
    const float width = TextWidth("Quelor", style);
    const float x = (126 - width) / 2 + 1.5f;
    const float baseline = 25.5f;
    image.Fill(TextShape("Quelor", x, baseline, style),
               Gradient({0, 5}, Hex(0x2C4FA3), {0, 30}, Hex(0x142B66)));
    // An orange sweep under the name, the maker's mark.
    std::vector<Point> sweep =
        ArcPoints({x + width * 0.58f, baseline - 32}, width * 0.6f, 37, 252, 294);
    image.Fill(Polyline(sweep, 2.2f), Solid(Hex(0xF08A1C)));
    return image;
}

Image SetupPicture() {
    Image image(112, 128, kWhite);
    image.Fill(RoundedRect(0, 0, 112, 128, 0),
               Gradient({0, 0}, Hex(0xE4F1FC), {0, 128}, Hex(0xA9D0F2)));
    image.Fill(Ellipse(56, 112, 50, 7), RadialFade(56, 112, 50, 7, Hex(0x27476B, 0.35f)));

    // Monitor on its stand.
    image.Fill(Polygon({{50, 78}, {62, 78}, {66, 96}, {46, 96}}),
               Gradient({0, 78}, Hex(0x8C939B), {0, 96}, Hex(0x5E656D)));
    image.Fill(Ellipse(56, 97, 22, 4), Gradient({0, 93}, Hex(0x9AA1A9), {0, 101}, Hex(0x555C64)));
    image.Fill(RoundedRect(12, 14, 100, 80, 5),
               Gradient({0, 14}, Hex(0x5B636C), {0, 80}, Hex(0x2E3339)));
    image.Fill(RoundedRect(17, 19, 95, 73, 2),
               Gradient({17, 19}, Hex(0x3F86D6), {95, 73}, Hex(0x123F86)));
    // A setup window with a progress bar on the screen.
    image.Fill(RoundedRect(30, 30, 82, 60, 2), Solid(Hex(0xF3F6FA)));
    image.Fill(RoundedRect(30, 30, 82, 35, 2), Solid(Hex(0x2B63B8)));
    image.Fill(RoundedRect(35, 48, 77, 53, 1.5f), Solid(Hex(0xC9D3DF)));
    image.Fill(RoundedRect(35, 48, 62, 53, 1.5f),
               Gradient({0, 48}, Hex(0x7BD67F), {0, 53}, Hex(0x2E9B3C)));
    image.Fill(Stroke({35, 41}, {66, 41}, 1.4f), Solid(Hex(0x8592A3)));
    image.Fill(Polygon({{17, 19}, {60, 19}, {17, 50}}), Solid(Hex(0xFFFFFF, 0.10f)));

    // The software box, standing in front of the monitor's foot.
    const float bx = 8, by = 74, bw = 34, bh = 44, depth = 10;
    image.Fill(Polygon({{bx + bw, by},
                        {bx + bw + depth, by - depth * 0.7f},
                        {bx + bw + depth, by + bh - depth * 0.7f},
                        {bx + bw, by + bh}}),
               Gradient({bx + bw, by}, Hex(0xB4561A), {bx + bw + depth, by + bh}, Hex(0x7C3510)));
    image.Fill(Polygon({{bx, by},
                        {bx + bw, by},
                        {bx + bw + depth, by - depth * 0.7f},
                        {bx + depth, by - depth * 0.7f}}),
               Solid(Hex(0xF6B36A)));
    image.Fill(RoundedRect(bx, by, bx + bw, by + bh, 0.5f),
               Gradient({bx, by}, Hex(0xF39A3C), {bx + bw, by + bh}, Hex(0xD2641E)));
    image.Fill(RoundedRect(bx, by + 26, bx + bw, by + 35, 0), Solid(Hex(0x1F4E9A)));
    // A disc on the box front.
    image.Fill(
        Subtract(Ellipse(bx + bw / 2, by + 13, 9, 9), Ellipse(bx + bw / 2, by + 13, 2.2f, 2.2f)),
        Gradient({bx + 8, by + 4}, Hex(0xFFFFFF), {bx + 26, by + 22}, Hex(0xB9C6D6)));
    image.Fill(Stroke({bx + 5, by + 39.5f}, {bx + 24, by + 39.5f}, 1.3f),
               Solid(Hex(0xFFFFFF, 0.8f)));
    return image;
}

// The program icon: a dark receipt printer with a receipt in its exit.
Image Icon(int size) {
    Image image(size, size, Hex(0xFFFFFF, 0));
    const float s = static_cast<float>(size) / 32;
    image.Fill(Polygon({{9 * s, 14 * s}, {10 * s, 2 * s}, {24 * s, 2 * s}, {23 * s, 14 * s}}),
               Gradient({0, 2 * s}, Hex(0xFFFFFF), {0, 14 * s}, Hex(0xDCE1E7)));
    if (size >= 24) {
        for (float y : {5.5f, 8.0f, 10.5f}) {
            image.Fill(Stroke({12.5f * s, y * s}, {20.5f * s, y * s}, 1.0f), Solid(Hex(0x7A828C)));
        }
    }
    image.Fill(RoundedRect(2 * s, 12 * s, 30 * s, 29 * s, 3.5f * s),
               Gradient({0, 12 * s}, Hex(0x6C747E), {0, 29 * s}, Hex(0x262A30)));
    image.Fill(Stroke({7 * s, 13.5f * s}, {25 * s, 13.5f * s}, 1.6f * s), Solid(Hex(0x111316)));
    image.Fill(Stroke({4 * s, 19 * s}, {28 * s, 19 * s}, 0.9f * s), Solid(Hex(0x1B1E22)));
    image.Fill(Ellipse(24.5f * s, 24 * s, 1.8f * s, 1.8f * s), Solid(Hex(0x3BD45E)));
    image.Fill(RoundedRect(6 * s, 22.5f * s, 15 * s, 25.5f * s, 1 * s), Solid(Hex(0xC9D0D8)));
    return image;
}

// A round signal lamp in its bezel, lit from the upper left, on the dialog's face colour.
Image Lamp(unsigned body, unsigned shade) {
    Image image(30, 31, Hex(0xF0F0F0));
    const float cx = 15, cy = 15.5f;
    image.Fill(Ellipse(cx, cy, 13.5f, 13.5f),
               Gradient({4, 4}, Hex(0xB8BCC2), {26, 27}, Hex(0x4A4E55)));
    image.Fill(Ellipse(cx, cy, 11, 11), Gradient({6, 6}, Hex(body), {24, 25}, Hex(shade)));
    image.Fill(Ellipse(cx - 3.5f, cy - 4, 5, 3.5f),
               RadialFade(cx - 3.5f, cy - 4, 5, 3.5f, Hex(0xFFFFFF, 0.85f)));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-images <output folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool written = WriteBmp24(folder + "printers.bmp", Printers()) &&
                         WriteBmp24(folder + "logo.bmp", Logo()) &&
                         WriteBmp24(folder + "setup.bmp", SetupPicture()) &&
                         WriteIco(folder + "setup.ico", {Icon(32), Icon(16)}) &&
                         WriteBmp24(folder + "lamp-green.bmp", Lamp(0x4CE35A, 0x137A22)) &&
                         WriteBmp24(folder + "lamp-grey.bmp", Lamp(0xC9CCD1, 0x6E7379)) &&
                         WriteBmp24(folder + "lamp-red.bmp", Lamp(0xF2493F, 0x8A1410));
    if (!written) {
        std::fprintf(stderr, "make-images: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
