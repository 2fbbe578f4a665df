// png: PNG pictures through libpng's simplified reading interface.
//
// That interface keeps libpng's error handling inside libpng (it never
// longjmps through our frames and never prints), reports failure as a
// result, and converts every colour type and depth to 8-bit RGBA.
//
// Builds on: picture (the image record), libpng.
#pragma once
#include "images/picture.h"

bool decode_png(byte_span data, rgba_image& out);   // false on damaged data or oversized pictures
