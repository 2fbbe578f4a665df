// dxtc: decoding of the block-compressed DXT1, DXT3 and DXT5 formats to RGBA.
//
// The image is cut into 4 x 4 pixel blocks in row order; a width or height
// that is not a multiple of 4 uses whole blocks and keeps the pixels inside
// the image. Colours expand from 5-6-5 by shifting alone, so white decodes as
// 248, 252, 248 (the values the stored files were made for).
//
// Builds on: nothing.
//
// Notes: callers check that `blocks` holds dxt_data_size bytes and `rgba`
// width*height*4 bytes; the decoders do not check again.
#pragma once
#include <cstddef>
#include <cstdint>

enum dxt_format {                    // also the kept-compressed DDS format codes
  dxt_none = 0,
  dxt1 = 1,                          // 8-byte blocks, one transparent colour
  dxt3 = 3,                          // 16-byte blocks, explicit 4-bit alpha
  dxt5 = 5,                          // 16-byte blocks, interpolated alpha
  dxt_other = 99,                    // a four-character code we cannot decode
};

size_t dxt_block_bytes(dxt_format f);                            // 8, 16, or 0 for other codes
size_t dxt_data_size(dxt_format f, uint32_t width, uint32_t height); // bytes of the whole top level
bool   decode_dxt(dxt_format f, const uint8_t* blocks, uint32_t width, uint32_t height, uint8_t* rgba); // false for other codes
