// ddswrite: texture images turned into the DDS files the simulator reads.
//
// An image whose alpha is everywhere 0 or 255 becomes DXT1 (its transparent
// pixels the format's transparent black), any other DXT5. Every level of the
// mipmap chain is stored down to 1 x 1, each made from the one above by a
// 2 x 2 box filter. The blocks come from libsquish.
//
// Builds on: dds (the header), images/picture (the image record), libsquish.
//
// Notes: the readers of this program take the top level only; the simulator
// uses the chain. Sides need not be powers of two or multiples of 4.
#pragma once
#include <cstdint>
#include <vector>

#include "images/picture.h"
#include "mesh/dxtc.h"

dxt_format           dds_format_for(const rgba_image& img);    // dxt1 for opaque or 1-bit alpha, else dxt5
std::vector<uint8_t> encode_dds_texture(const rgba_image& img); // header and every mipmap level
rgba_image           half_image(const rgba_image& img);        // the next mipmap level (sides halved, at least 1)
