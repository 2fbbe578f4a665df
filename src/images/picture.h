// picture: the decoded image record and the choice among the library-backed
// decoders.
//
// Every texture the program shows ends up as 32-bit RGBA pixels. This unit
// recognises BMP, PNG, JPEG (JFIF only) and GIF data by its first bytes, in
// that order, hands it to the matching decoder and applies the colour key.
// DDS comes first in the full order; it is recognised by the texture loader
// of the mesh library, which falls back to decode_picture.
//
// Builds on: bmp, png, jpg, gif (the decoders), nothing of base.
//
// Notes:
//   - rows run from the top of the picture down, whatever the file stores;
//   - every failure (unknown format, damaged data, a library error, a size
//     beyond max_image_pixels) gives false and an empty image; nothing is
//     printed and nothing aborts;
//   - a picture is refused before anything is allocated when its header
//     claims more pixels than its file's bytes could code at the format's
//     best compression, so a small damaged file never costs much memory;
//   - the colour key is a 24-bit 0xBBGGRR value (red in the low byte, as the
//     packed colours of the meshes); pixels whose red, green and blue equal it
//     become fully transparent. no_colour_key switches it off.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum image_format {                 // what the data was recognised as
  image_none = 0,                   // not recognised
  image_dds,                        // DirectDraw Surface (recognised by the texture loader)
  image_bmp,                        // Windows bitmap
  image_png,                        // Portable Network Graphics
  image_jpeg,                       // JPEG with a JFIF header
  image_gif,                        // GIF 87a or 89a
};

struct rgba_image {
  int32_t width = 0;                // pixels
  int32_t height = 0;               // pixels
  std::vector<uint8_t> pixels;      // width*height*4 bytes, R G B A, top row first
  image_format format = image_none; // the decoder that produced it
};

using byte_span = std::span<const uint8_t>;   // a whole file in memory

constexpr uint32_t no_colour_key = 0xFFFFFFFFu;     // any value above 0xFFFFFF
constexpr int64_t max_image_pixels = int64_t(1) << 26; // 8192 x 8192: guards decompression bombs

image_format recognise_picture(byte_span data);                   // BMP, PNG, JPEG, GIF or none
bool  decode_picture(byte_span data, uint32_t key, rgba_image& out); // recognise, decode, key
bool  allocate_image(rgba_image& out, int64_t width, int64_t height, image_format f, size_t file_bytes); // sizes checked
void  apply_colour_key(rgba_image& img, uint32_t key);           // matching pixels get alpha 0
const char* image_format_name(image_format f);                   // "dds", "bmp", "png", "jpeg", "gif", ""
