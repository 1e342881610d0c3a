#pragma once

#include "Raster.h"

#include <string>
#include <vector>

// Windows picture files written byte by byte, so that the generator needs no library.

// A 24-bit BMP: file header, BITMAPINFOHEADER, rows bottom-up, each padded to 4 bytes.
// The image is flattened onto white where it is not opaque.
bool WriteBmp24(const std::string& path, const Image& image);

// An ICO with one 32-bit image (alpha) per entry, each with the AND mask that Windows
// without alpha support draws instead.
bool WriteIco(const std::string& path, const std::vector<Image>& images);
