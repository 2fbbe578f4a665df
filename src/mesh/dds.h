// dds: DirectDraw Surface texture files.
//
// Reads the 128-byte header and the top level of the image (further mipmap
// levels are skipped): DXT1, DXT3 and DXT5 data are decoded to RGBA or kept
// compressed for the GL; uncompressed data are decoded through the header's
// channel masks. Planet textures store several images back to back; the
// sequence reader returns all of them. Also the alpha blur used on sprite
// textures.
//
// Builds on: dxtc (block decoding), images/picture (the byte span), base/asys.
//
// Notes: a header whose sizes the data cannot hold (a 65535 x 65535 image in a
// small file, a linear size smaller than the blocks need, bits per pixel that
// make less than one byte or more than four) is rejected before anything is
// allocated. An uncompressed channel wider than 8 bits keeps its highest 8.
// The path readers throw io_error when an existing file cannot be read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/picture.h"
#include "mesh/dxtc.h"

#pragma pack(push, 1)
struct dds_pixel_format {
  uint32_t size;                     // 32
  uint32_t flags;                    // dds_alpha_present, dds_fourcc_present
  char fourcc[4];                    // "DXT1", "DXT3", "DXT5", ...
  uint32_t bits_per_pixel;           // uncompressed data
  uint32_t masks[4];                 // red, green, blue, alpha
};
struct dds_header {
  char magic[4];                     // "DDS "
  uint32_t header_size;              // 124
  uint32_t flags;
  uint32_t height;                   // pixels
  uint32_t width;                    // pixels
  uint32_t linear_size;              // bytes of the compressed top level; 0: width x height
  uint32_t depth;
  uint32_t mipmap_count;
  uint32_t reserved[11];
  dds_pixel_format format;
  uint32_t caps;                     // dds_caps_texture must be set
  uint32_t caps2, caps3, caps4, reserved2;
};
#pragma pack(pop)
static_assert(sizeof(dds_header) == 128);
static_assert(offsetof(dds_header, height) == 12);
static_assert(offsetof(dds_header, width) == 16);
static_assert(offsetof(dds_header, linear_size) == 20);
static_assert(offsetof(dds_header, format) + offsetof(dds_pixel_format, flags) == 80);
static_assert(offsetof(dds_header, format) + offsetof(dds_pixel_format, fourcc) == 84);
static_assert(offsetof(dds_header, format) + offsetof(dds_pixel_format, bits_per_pixel) == 88);
static_assert(offsetof(dds_header, format) + offsetof(dds_pixel_format, masks) == 92);
static_assert(offsetof(dds_header, caps) == 108);

enum dds_flags : uint32_t {
  dds_alpha_present = 1,             // pixel format: alpha channel in use
  dds_fourcc_present = 4,            // pixel format: compressed, fourcc names the codec
  dds_caps_complex = 8,              // capabilities: more than one surface (mipmaps)
  dds_caps_texture = 4096,           // capabilities: this is a texture
  dds_caps_mipmap = 0x400000,        // capabilities: the surfaces are mipmap levels
  dds_has_mipmap_count = 0x20000,    // header flags: mipmap_count is valid
};

struct dds_image {
  uint32_t width = 0;                // pixels
  uint32_t height = 0;               // pixels
  std::vector<uint8_t> pixels;       // decoded RGBA, top row first (empty when kept compressed)
  std::vector<uint8_t> compressed;   // kept block data of the top level (empty when decoded)
  dxt_format format = dxt_none;      // of the kept data: dxt1, dxt3, dxt5 or dxt_other
};

// A texture header: compressed when fourcc is given (linear size = the top
// level's bytes), else uncompressed with bits per pixel and channel masks.
dds_header make_dds_header(uint32_t width, uint32_t height, uint32_t linear_size, const char* fourcc,
                           uint32_t format_flags, uint32_t bits, const uint32_t masks[4]);
bool read_dds(byte_span data, size_t& pos, bool keep_compressed, dds_image& out); // one image at pos; pos moves past it
bool read_dds_file(const std::string& path, bool keep_compressed, dds_image& out); // false when missing or not a DDS
std::vector<dds_image> read_dds_sequence(const std::string& path, bool keep_compressed); // images up to the first bad one
void blur_alpha(uint8_t* rgba, int32_t width, int32_t height); // 3 x 3 mean of alpha, border and colours kept
