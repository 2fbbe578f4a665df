#include "mkdemo/imgwrite.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>
#include <jpeglib.h>

#include "base/asys.h"
#include "images/bmp_format.h"
#include "mesh/dds.h"

namespace {

void put16(bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void put32(bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

const uint8_t* pixel(const rgba_image& img, int x, int y) {
  return &img.pixels[(size_t(y) * img.width + x) * 4];
}

// --- DXT --------------------------------------------------------------------------------

uint32_t to565(const uint8_t* c) { return uint32_t(c[0] >> 3) << 11 | uint32_t(c[1] >> 2) << 5 | c[2] >> 3; }

// The four colours a colour block with these end points decodes to; DXT3 and
// DXT5 blocks are only given end points for which the two rules agree.
void decoded_colours(uint32_t c0, uint32_t c1, uint8_t table[16]) {
  const uint8_t block[8] = {uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8), 0xE4, 0, 0, 0};
  decode_dxt(dxt1, block, 4, 1, table);  // pixels 0..3 use indices 0..3
}

int distance2(const uint8_t* a, const uint8_t* b) {
  int d = 0;
  for (int k = 0; k < 3; ++k) d += (a[k] - b[k]) * (a[k] - b[k]);
  return d;
}

// A colour block: end points from the box of the opaque pixels; with
// transparent pixels (DXT1 only) the three-colour mode and index 3.
void colour_block(const uint8_t px[16][4], dxt_format f, uint8_t* out) {
  uint8_t lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  bool transparent = false;
  for (int i = 0; i < 16; ++i) {
    if (f == dxt1 && px[i][3] < 128) {
      transparent = true;
      continue;
    }
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], px[i][k]), hi[k] = std::max(hi[k], px[i][k]);
  }
  uint32_t c0 = to565(hi), c1 = to565(lo);
  if (c0 < c1) c0 = c1;  // an all-transparent block
  if (transparent) std::swap(c0, c1);       // c0 <= c1: three colours and transparent black
  if (f != dxt1 && c0 == c1 && c1 > 0) --c1;  // four-colour blocks need c0 > c1 to mean what they say
  uint8_t table[16];
  decoded_colours(c0, c1, table);
  const int choices = transparent ? 3 : (c0 == c1 ? 1 : 4);
  uint32_t bits = 0;
  for (int i = 0; i < 16; ++i) {
    int best = 0;
    if (transparent && px[i][3] < 128) {
      best = 3;
    } else {
      for (int k = 1; k < choices; ++k)
        if (distance2(px[i], table + 4 * k) < distance2(px[i], table + 4 * best)) best = k;
    }
    bits |= uint32_t(best) << (2 * i);
  }
  const uint8_t b[8] = {uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8),
                        uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
  std::memcpy(out, b, 8);
}

void dxt3_alpha(const uint8_t px[16][4], uint8_t* out) {
  uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= uint64_t((px[i][3] * 15 + 127) / 255) << (4 * i);
  for (int k = 0; k < 8; ++k) out[k] = uint8_t(bits >> (8 * k));
}

void dxt5_alpha(const uint8_t px[16][4], uint8_t* out) {
  uint8_t a0 = 0, a1 = 255;
  for (int i = 0; i < 16; ++i) a0 = std::max(a0, px[i][3]), a1 = std::min(a1, px[i][3]);
  int table[8] = {a0, a1};
  for (int k = 1; k <= 6; ++k) table[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;  // used when a0 > a1
  uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) {
    int best = 0;
    for (int k = 1; k < (a0 > a1 ? 8 : 1); ++k)
      if (std::abs(px[i][3] - table[k]) < std::abs(px[i][3] - table[best])) best = k;
    bits |= uint64_t(best) << (3 * i);
  }
  out[0] = a0;
  out[1] = a1;
  for (int k = 0; k < 6; ++k) out[2 + k] = uint8_t(bits >> (8 * k));
}

bytes dds_header_bytes(const rgba_image& img, uint32_t linear, uint32_t pf_flags, const char* fourcc,
                       uint32_t bits, const uint32_t masks[4]) {
  const dds_header h = make_dds_header(uint32_t(img.width), uint32_t(img.height), linear, fourcc, pf_flags, bits, masks);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&h);
  return bytes(p, p + sizeof h);
}

// --- Library encoders --------------------------------------------------------------------

int write_gif_bytes(GifFileType* gif, const GifByteType* data, int len) {
  auto* out = static_cast<bytes*>(gif->UserData);
  out->insert(out->end(), data, data + len);
  return len;
}

[[noreturn]] void gif_failed(int err) { throw io_error(std::string("GIF encoding failed: ") + GifErrorString(err)); }

}  // namespace

bytes encode_dxt_blocks(const rgba_image& img, dxt_format f) {
  bytes out;
  for (int by = 0; by < img.height; by += 4)
    for (int bx = 0; bx < img.width; bx += 4) {
      uint8_t px[16][4];
      for (int i = 0; i < 16; ++i)  // edge blocks repeat the last row and column
        std::memcpy(px[i], pixel(img, std::min(bx + i % 4, img.width - 1), std::min(by + i / 4, img.height - 1)), 4);
      uint8_t block[16];
      if (f == dxt3) dxt3_alpha(px, block);
      if (f == dxt5) dxt5_alpha(px, block);
      const size_t colour_at = f == dxt1 ? 0 : 8;
      colour_block(px, f, block + colour_at);
      out.insert(out.end(), block, block + dxt_block_bytes(f));
    }
  return out;
}

bytes encode_dds(const rgba_image& img, dxt_format f) {
  static const char* const codes[] = {nullptr, "DXT1", nullptr, "DXT3", nullptr, "DXT5"};
  const bytes blocks = encode_dxt_blocks(img, f);
  bytes out = dds_header_bytes(img, uint32_t(blocks.size()), dds_fourcc_present, codes[f], 0, nullptr);
  out.insert(out.end(), blocks.begin(), blocks.end());
  return out;
}

bytes encode_dds_uncompressed(const rgba_image& img, int bits) {
  static const uint32_t masks32[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  static const uint32_t masks16[4] = {0xF800, 0x07E0, 0x001F, 0};
  const bool wide = bits == 32;
  bytes out = dds_header_bytes(img, 0, wide ? uint32_t(dds_alpha_present) : 0u, nullptr, uint32_t(bits), wide ? masks32 : masks16);
  for (size_t i = 0; i < img.pixels.size(); i += 4) {
    const uint8_t* p = &img.pixels[i];
    if (wide)
      put32(out, uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    else
      put16(out, to565(p));
  }
  return out;
}

bytes encode_bmp(const rgba_image& img, int bits) {
  const uint32_t stride = uint32_t(img.width * (bits / 8) + 3) & ~3u;
  const uint32_t data_size = stride * uint32_t(img.height);
  bytes out = bmp_headers(img.width, img.height, uint16_t(bits), data_size, 2835);  // bottom-up rows
  for (int y = img.height - 1; y >= 0; --y) {
    const size_t row_start = out.size();
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = pixel(img, x, y);
      out.insert(out.end(), {p[2], p[1], p[0]});
      if (bits == 32) out.push_back(p[3]);
    }
    out.resize(row_start + stride, 0);
  }
  return out;
}

bytes encode_jpeg(const rgba_image& img, int quality) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);  // the default handler ends the program: only our own images come here
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = JDIMENSION(img.width);
  c.image_height = JDIMENSION(img.height);
  c.input_components = 4;
  c.in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(&c);  // YCbCr output with a JFIF header
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(pixel(img, 0, int(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  bytes out(mem, mem + size);
  jpeg_destroy_compress(&c);
  free(mem);
  return out;
}

bytes encode_gif(const rgba_image& img) {
  constexpr int transparent = 216;
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) {
    const int r = i / 36 % 6, g = i / 6 % 6, b = i % 6;
    map->Colors[i] = i < 216 ? GifColorType{GifByteType(r * 51), GifByteType(g * 51), GifByteType(b * 51)}
                             : GifColorType{0, 0, 0};
  }
  bytes out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, write_gif_bytes, &err);
  if (!gif) gif_failed(err);
  EGifSetGifVersion(gif, true);
  GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent};
  GifByteType ext[4];
  EGifGCBToExtension(&gcb, ext);
  std::vector<GifPixelType> line(size_t(img.width));
  const bool ok = EGifPutScreenDesc(gif, img.width, img.height, 8, 0, map) != GIF_ERROR &&
                  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) != GIF_ERROR &&
                  EGifPutImageDesc(gif, 0, 0, img.width, img.height, false, nullptr) != GIF_ERROR;
  for (int y = 0; ok && y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = pixel(img, x, y);
      auto level = [](uint8_t v) { return (v + 25) / 51; };
      line[size_t(x)] = GifPixelType(p[3] < 128 ? transparent : level(p[0]) * 36 + level(p[1]) * 6 + level(p[2]));
    }
    if (EGifPutLine(gif, line.data(), img.width) == GIF_ERROR) gif_failed(gif->Error);
  }
  if (!ok) gif_failed(gif->Error);
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &err) == GIF_ERROR) gif_failed(err);
  return out;
}

void write_file_bytes(const std::string& path, const bytes& data) {
  binfile f;
  if (!file_open(f, path, binfile_write)) throw io_error(path + ": cannot create");
  file_write(f, data.data(), data.size());
  file_close(f);
}
