// assets: constant data compiled into the designer.
//
// The code page 437 glyph bitmaps of the text font and the cursor picture.
// Both are produced at build time by the generators in data/tools: the font
// from the console font package, the cursor drawn by our own program.
//
// Builds on: nothing.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int font_glyph_count = 256;           // one glyph per byte value
constexpr int font_glyph_rows = 16;             // one byte per row, top row first, bit 7 leftmost
extern const uint8_t font_cp437_8x16[font_glyph_count * font_glyph_rows]; // 4096 bytes

extern const uint8_t cursor_png[];              // 32 by 32 RGBA picture, PNG encoded
extern const size_t cursor_png_size;            // its length in bytes
