// bmp: our own decoder for Windows bitmaps.
//
// Accepts the 40-byte and longer info headers with 1, 4, 8, 24 and 32 bits
// per pixel, uncompressed, RLE8, RLE4 and (32 bits) bit-field masks; rows
// stored bottom-up or top-down. Pixels that run-length data skips stay
// transparent black. A 32-bit bitmap whose fourth bytes are all zero is
// taken as opaque (most writers leave that byte unused).
//
// Builds on: picture (the image record).
#pragma once
#include "images/picture.h"

bool decode_bmp(byte_span data, rgba_image& out);   // false on anything it cannot read safely
bool bmp_known_depth(uint32_t bits);                // 1, 4, 8, 24 or 32 bits per pixel
