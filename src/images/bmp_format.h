// bmp_format: the two headers in front of every Windows bitmap.
//
// One description of the 14-byte file header and the 40-byte information
// header, shared by the decoder, the screenshot writer and the demo
// installation's image writer, and the routine that lays out both headers for
// an uncompressed bitmap.
//
// Builds on: nothing. Header-only.
//
// Notes: all values little-endian; a positive height stores the bottom row
// first; rows are padded to whole 4-byte words.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#pragma pack(push, 1)
struct bmp_file_header {            // the 14 bytes in front of every BMP
  char magic[2];                    // "BM"
  uint32_t file_size;               // headers + pixel data
  uint16_t reserved1, reserved2;    // 0
  uint32_t pixel_offset;            // where the pixel data starts
};
struct bmp_info_header {            // the 40-byte information header; longer ones start the same
  uint32_t size;                    // 40, or more for the longer headers
  int32_t width, height;            // height positive: bottom row first
  uint16_t planes;                  // 1
  uint16_t bits_per_pixel;          // 1, 4, 8, 16, 24 or 32
  uint32_t compression;             // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  uint32_t image_size;              // bytes of pixel data
  int32_t x_pixels_per_metre, y_pixels_per_metre;
  uint32_t colours_used, colours_important; // palette entries; 0 = all
};
#pragma pack(pop)
static_assert(sizeof(bmp_file_header) == 14);
static_assert(offsetof(bmp_file_header, file_size) == 2);
static_assert(offsetof(bmp_file_header, pixel_offset) == 10);
static_assert(sizeof(bmp_info_header) == 40);
static_assert(offsetof(bmp_info_header, width) == 4);
static_assert(offsetof(bmp_info_header, height) == 8);
static_assert(offsetof(bmp_info_header, bits_per_pixel) == 14);
static_assert(offsetof(bmp_info_header, compression) == 16);
static_assert(offsetof(bmp_info_header, image_size) == 20);
static_assert(offsetof(bmp_info_header, colours_used) == 32);
static_assert(offsetof(bmp_info_header, colours_important) == 36);

constexpr size_t bmp_headers_size = sizeof(bmp_file_header) + sizeof(bmp_info_header);  // 54

// Offset of an information-header field from the start of the file.
constexpr size_t bmp_info_at(size_t field_offset) { return sizeof(bmp_file_header) + field_offset; }

// Both headers of an uncompressed bitmap whose pixel data (image_size bytes)
// follows them directly.
inline std::vector<uint8_t> bmp_headers(int32_t width, int32_t height, uint16_t bits, uint32_t image_size,
                                        int32_t pixels_per_metre) {
  const uint32_t offset = uint32_t(bmp_headers_size);
  const bmp_file_header fh{{'B', 'M'}, offset + image_size, 0, 0, offset};
  const bmp_info_header ih{uint32_t(sizeof ih), width, height, 1, bits, 0, image_size,
                           pixels_per_metre, pixels_per_metre, 0, 0};
  std::vector<uint8_t> out(bmp_headers_size);
  std::memcpy(out.data(), &fh, sizeof fh);
  std::memcpy(out.data() + sizeof fh, &ih, sizeof ih);
  return out;
}
