#include "images/bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include "images/bmp_format.h"

namespace {

enum bmp_compression : uint32_t { bi_rgb = 0, bi_rle8 = 1, bi_rle4 = 2, bi_bitfields = 3 };

constexpr size_t file_header_size = sizeof(bmp_file_header);
constexpr size_t info_header_min = sizeof(bmp_info_header);

uint32_t get16(byte_span d, size_t at) { return d[at] | d[at + 1] << 8; }
uint32_t get32(byte_span d, size_t at) { return get16(d, at) | get16(d, at + 2) << 16; }

struct bmp_header {
  int64_t width, height;          // height as stored: negative means top-down
  uint32_t bpp, compression;
  size_t data_offset;
  std::array<uint8_t, 4 * 256> palette{};  // R G B A per entry, unused entries opaque black
  uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};  // red, green, blue, alpha
};

// The palette lies between the headers and the pixel data; entries that a
// short palette leaves out read as opaque black.
bool read_palette(byte_span d, size_t at, uint32_t used, bmp_header& h) {
  const uint32_t max_entries = h.bpp <= 8 ? 1u << h.bpp : 0;
  const size_t room = h.data_offset > at ? (h.data_offset - at) / 4 : 0;
  const uint32_t n = uint32_t(std::min<size_t>(std::min(used ? used : max_entries, max_entries), room));
  for (uint32_t i = 0; i < 256; ++i) h.palette[i * 4 + 3] = 255;
  for (uint32_t i = 0; i < n; ++i) {
    const size_t e = at + size_t(i) * 4;
    if (e + 4 > d.size()) return false;
    h.palette[i * 4 + 0] = d[e + 2];
    h.palette[i * 4 + 1] = d[e + 1];
    h.palette[i * 4 + 2] = d[e + 0];
  }
  return true;
}

bool read_header(byte_span d, bmp_header& h) {
  const uint32_t info_size = get32(d, bmp_info_at(offsetof(bmp_info_header, size)));
  if (info_size < info_header_min || file_header_size + info_size > d.size()) return false;
  h.width = int32_t(get32(d, bmp_info_at(offsetof(bmp_info_header, width))));
  h.height = int32_t(get32(d, bmp_info_at(offsetof(bmp_info_header, height))));
  h.bpp = get16(d, bmp_info_at(offsetof(bmp_info_header, bits_per_pixel)));
  h.compression = get32(d, bmp_info_at(offsetof(bmp_info_header, compression)));
  h.data_offset = get32(d, offsetof(bmp_file_header, pixel_offset));
  const bool rle = h.compression == bi_rle8 || h.compression == bi_rle4;
  if (!bmp_known_depth(h.bpp) || h.width <= 0 || h.height == 0 || (rle && h.height < 0)) return false;
  static const std::array<uint32_t, 4> bpp_for = {0, 8, 4, 32};  // the depth each compression needs
  if (h.compression > bi_bitfields || (h.compression != bi_rgb && bpp_for[h.compression] != h.bpp))
    return false;
  size_t after = file_header_size + info_size;
  if (h.compression == bi_bitfields) {
    // Masks sit in the longer headers, or in three words after the 40-byte one.
    const size_t at = info_size >= 52 ? file_header_size + info_header_min : after;
    if (at + 12 > d.size()) return false;
    for (int i = 0; i < 3; ++i) h.masks[i] = get32(d, at + 4 * i);
    h.masks[3] = info_size >= 56 ? get32(d, at + 12) : 0;
    if (info_size < 52) after += 12;
  }
  return read_palette(d, after, get32(d, bmp_info_at(offsetof(bmp_info_header, colours_used))), h);
}

void put_palette(const bmp_header& h, uint8_t* px, unsigned index) {
  std::copy_n(&h.palette[(index & 0xFF) * 4], 4, px);
}

// One mask channel scaled to 0..255; an empty mask gives `none`.
uint8_t channel(uint32_t v, uint32_t mask, uint8_t none) {
  if (!mask) return none;
  const int shift = std::countr_zero(mask);
  const uint32_t top = mask >> shift;
  return uint8_t(uint64_t((v & mask) >> shift) * 255 / top);
}

bool decode_rows(byte_span d, const bmp_header& h, rgba_image& out) {
  const int64_t rows = out.height, w = out.width;
  const size_t stride = size_t((w * h.bpp + 31) / 32 * 4);
  if (h.data_offset > d.size() || (d.size() - h.data_offset) / stride < size_t(rows)) return false;
  bool any_alpha = false;
  for (int64_t r = 0; r < rows; ++r) {
    const uint8_t* src = d.data() + h.data_offset + size_t(r) * stride;
    const int64_t dst_row = h.height > 0 ? rows - 1 - r : r;
    uint8_t* px = &out.pixels[size_t(dst_row * w) * 4];
    for (int64_t x = 0; x < w; ++x, px += 4) {
      if (h.bpp <= 8) {
        const int64_t bit = x * h.bpp;
        const unsigned index = src[bit / 8] >> (8 - h.bpp - bit % 8) & ((1u << h.bpp) - 1);
        put_palette(h, px, index);
      } else if (h.bpp == 24 || h.compression == bi_rgb) {
        const uint8_t* s = src + x * (h.bpp / 8);
        px[0] = s[2], px[1] = s[1], px[2] = s[0];
        px[3] = h.bpp == 32 ? s[3] : 255;
        any_alpha |= h.bpp == 32 && s[3] != 0;
      } else {
        const uint8_t* s = src + x * 4;
        const uint32_t v = s[0] | s[1] << 8 | s[2] << 16 | uint32_t(s[3]) << 24;
        for (int c = 0; c < 4; ++c) px[c] = channel(v, h.masks[c], 255);
      }
    }
  }
  if (h.bpp == 32 && h.compression == bi_rgb && !any_alpha)
    for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
  return true;
}

// Run-length data: (count, value) runs and escape codes for end of line, end of
// bitmap, delta and absolute runs. Rows are stored bottom-up.
bool decode_rle(byte_span d, const bmp_header& h, rgba_image& out) {
  if (h.data_offset > d.size()) return false;
  const bool four = h.compression == bi_rle4;
  size_t p = h.data_offset;
  int64_t x = 0, y = 0;  // y counts stored rows from the bottom
  auto put = [&](unsigned index) {
    if (x < out.width && y < out.height)
      put_palette(h, &out.pixels[size_t((out.height - 1 - y) * out.width + x) * 4], index);
    ++x;
  };
  while (p + 2 <= d.size() && y < out.height) {
    const unsigned count = d[p], value = d[p + 1];
    p += 2;
    if (count) {
      for (unsigned i = 0; i < count; ++i) put(four ? (i & 1 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (p + 2 > d.size()) return false;
      x += d[p], y += d[p + 1];
      p += 2;
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (p + bytes > d.size()) return false;
      for (unsigned i = 0; i < value; ++i)
        put(four ? (i & 1 ? d[p + i / 2] & 15 : d[p + i / 2] >> 4) : d[p + i]);
      p += (bytes + 1) & ~size_t(1);  // absolute runs are padded to whole words
    }
  }
  return y >= out.height;  // the data ran out before the end-of-bitmap code
}

}  // namespace

bool bmp_known_depth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

bool decode_bmp(byte_span data, rgba_image& out) {
  if (data.size() < file_header_size + info_header_min) return false;
  bmp_header h;
  if (!read_header(data, h)) return false;
  const int64_t rows = h.height < 0 ? -h.height : h.height;
  if (!allocate_image(out, h.width, rows, image_bmp, data.size())) return false;
  const bool rle = h.compression == bi_rle8 || h.compression == bi_rle4;
  return rle ? decode_rle(data, h, out) : decode_rows(data, h, out);
}
