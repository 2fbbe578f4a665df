// png: PNG pictures through libpng's simplified reading and writing interfaces.
//
// That interface keeps libpng's error handling inside libpng (it never
// longjmps through our frames and never prints), reports failure as a
// result, and converts every colour type and depth to 8-bit RGBA.
//
// Builds on: picture (the image record), libpng.
#pragma once
#include <cstdint>
#include <vector>

#include "images/picture.h"

bool decode_png(byte_span data, rgba_image& out);   // false on damaged data or oversized pictures
std::vector<uint8_t> encode_png(const rgba_image& img);  // RGBA; io_error when libpng refuses
