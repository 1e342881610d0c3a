#pragma once

#include "Raster.h"

#include <string>

// A stroke font of our own for the few words the pictures carry ("Quelor", "ZNT"):
// each letter is a set of lines and arcs drawn with a round pen, measured in units of
// the capital height from the baseline up.

struct TextStyle {
    float capHeight;    // pixels
    float penWidth;     // pixels
    float letterSpace;  // pixels added after each letter
};

// The letters of `text` starting at (x, baseline), as one shape so that overlapping
// strokes are painted once. Letters the font lacks are skipped.
Shape TextShape(const std::string& text, float x, float baseline, const TextStyle& style);

// The width `text` takes in the given style.
float TextWidth(const std::string& text, const TextStyle& style);
