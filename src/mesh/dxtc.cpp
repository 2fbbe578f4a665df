#include "mesh/dxtc.h"

#include <cstring>

namespace {

uint32_t get16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t get32(const uint8_t* p) { return get16(p) | get16(p + 2) << 16; }

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

struct rgb { uint32_t r, g, b; };

rgb expand565(uint32_t c) { return {(c >> 11) << 3, ((c >> 5) & 63) << 2, (c & 31) << 3}; }

// The four colours of a colour block; DXT3 and DXT5 always use four colours.
void colour_table(const uint8_t* block, bool allow_three, uint32_t table[4]) {
  const uint32_t c0 = get16(block), c1 = get16(block + 2);
  const rgb a = expand565(c0), b = expand565(c1);
  table[0] = rgba(a.r, a.g, a.b, 255);
  table[1] = rgba(b.r, b.g, b.b, 255);
  if (c0 > c1 || !allow_three) {
    table[2] = rgba((2 * a.r + b.r + 1) / 3, (2 * a.g + b.g + 1) / 3, (2 * a.b + b.b + 1) / 3, 255);
    table[3] = rgba((a.r + 2 * b.r + 1) / 3, (a.g + 2 * b.g + 1) / 3, (a.b + 2 * b.b + 1) / 3, 255);
  } else {
    table[2] = rgba((a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2, 255);
    table[3] = 0;  // transparent black
  }
}

void colour_block(const uint8_t* block, bool allow_three, uint32_t out[16]) {
  uint32_t table[4];
  colour_table(block, allow_three, table);
  const uint32_t bits = get32(block + 4);
  for (int i = 0; i < 16; ++i) out[i] = table[bits >> (2 * i) & 3];
}

void replace_alpha(uint32_t& px, uint32_t a) { px = (px & 0x00FFFFFF) | a << 24; }

void dxt1_block(const uint8_t* block, uint32_t out[16]) { colour_block(block, true, out); }

void dxt3_block(const uint8_t* block, uint32_t out[16]) {
  colour_block(block + 8, false, out);
  uint64_t alphas = uint64_t(get32(block)) | uint64_t(get32(block + 4)) << 32;
  for (int i = 0; i < 16; ++i, alphas >>= 4) replace_alpha(out[i], uint32_t(alphas & 15) * 17);
}

void dxt5_block(const uint8_t* block, uint32_t out[16]) {
  colour_block(block + 8, false, out);
  const uint32_t a0 = block[0], a1 = block[1];
  uint32_t table[8] = {a0, a1};
  if (a0 > a1) {
    for (uint32_t k = 1; k <= 6; ++k) table[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
  } else {
    for (uint32_t k = 1; k <= 4; ++k) table[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
    table[6] = 0;
    table[7] = 255;
  }
  uint64_t bits = uint64_t(get32(block + 2)) | uint64_t(get16(block + 6)) << 32;
  for (int i = 0; i < 16; ++i, bits >>= 3) replace_alpha(out[i], table[bits & 7]);
}

using block_decoder = void (*)(const uint8_t*, uint32_t[16]);

block_decoder decoder_for(dxt_format f) {
  switch (f) {
    case dxt1: return dxt1_block;
    case dxt3: return dxt3_block;
    case dxt5: return dxt5_block;
    default: return nullptr;
  }
}

}  // namespace

size_t dxt_block_bytes(dxt_format f) {
  switch (f) {
    case dxt1: return 8;
    case dxt3:
    case dxt5: return 16;
    default: return 0;
  }
}

size_t dxt_data_size(dxt_format f, uint32_t width, uint32_t height) {
  return size_t((width + 3) / 4) * ((height + 3) / 4) * dxt_block_bytes(f);
}

bool decode_dxt(dxt_format f, const uint8_t* blocks, uint32_t width, uint32_t height, uint8_t* out) {
  const block_decoder decode = decoder_for(f);
  if (!decode) return false;
  const size_t step = dxt_block_bytes(f), row_bytes = size_t(width) * 4;
  uint32_t px[16];
  for (uint32_t by = 0; by < height; by += 4) {
    const uint32_t rows = height - by < 4 ? height - by : 4;
    for (uint32_t bx = 0; bx < width; bx += 4, blocks += step) {
      decode(blocks, px);
      const size_t cols = width - bx < 4 ? width - bx : 4;
      uint8_t* dst = out + by * row_bytes + size_t(bx) * 4;
      for (uint32_t r = 0; r < rows; ++r, dst += row_bytes) std::memcpy(dst, px + 4 * r, cols * 4);
    }
  }
  return true;
}
