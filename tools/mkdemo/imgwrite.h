// imgwrite: image encoders for the demo installation and the tests.
//
// Writes every texture format the loader accepts: BMP (ours), PNG (the image
// library's), JFIF JPEG
// and GIF through their libraries, and DDS, uncompressed (32-bit or 5-6-5) or
// block-compressed with a simple DXT1/3/5 encoder of our own (end points from
// the block's colour box, each pixel to the nearest of the decoded colours).
//
// Builds on: images/picture (the image record), mesh/dxtc (to know the colours
// a block decodes to), base/asys (file writing).
//
// Notes: the library encoders are only given images we made ourselves; a
// library failure ends the program with the library's message.
#pragma once
#include <string>
#include <vector>

#include "images/picture.h"
#include "images/png.h"  // encode_png
#include "mesh/dxtc.h"

using bytes = std::vector<uint8_t>;

bytes encode_bmp(const rgba_image& img, int bits = 24);            // 24 or 32 bits, bottom-up rows
bytes encode_jpeg(const rgba_image& img, int quality = 90);        // JFIF, alpha dropped
bytes encode_gif(const rgba_image& img);                            // 6x6x6 colour cube, alpha < 128 transparent
bytes encode_dds(const rgba_image& img, dxt_format f);              // DXT1, DXT3 or DXT5, top level only
bytes encode_dds_uncompressed(const rgba_image& img, int bits);    // 32 (A8R8G8B8) or 16 (R5G6B5)
bytes encode_dxt_blocks(const rgba_image& img, dxt_format f);       // the block data alone
void  write_file_bytes(const std::string& path, const bytes& data); // whole file; io_error on failure
