// Our BMP decoder: depths, palettes, row order, run-length data, bit fields,
// and files it must refuse.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "images/bmp.h"
#include "images/picture.h"
#include "alloc_watch.h"

namespace {

using px4 = std::array<int, 4>;

struct bmp_params {
  int32_t width = 1, height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;        // 0xRRGGBB
  uint32_t colours_used = 0;
  std::vector<uint32_t> masks;          // written after the 40-byte header
};

void put(std::vector<uint8_t>& b, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> bmp_file(const bmp_params& s, const std::vector<uint8_t>& data) {
  const uint32_t offset = uint32_t(54 + 4 * (s.masks.size() + s.palette.size()));
  std::vector<uint8_t> b = {'B', 'M'};
  put(b, offset + uint32_t(data.size()), 4);
  put(b, 0, 4);
  put(b, offset, 4);
  put(b, 40, 4);
  put(b, uint32_t(s.width), 4);
  put(b, uint32_t(s.height), 4);
  put(b, 1, 2);
  put(b, s.bits, 2);
  put(b, s.compression, 4);
  put(b, uint32_t(data.size()), 4);
  put(b, 0, 4);
  put(b, 0, 4);
  put(b, s.colours_used, 4);
  put(b, 0, 4);
  for (uint32_t m : s.masks) put(b, m, 4);
  for (uint32_t c : s.palette) put(b, c, 4);  // stored B G R 0: the low byte first
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

px4 at(const rgba_image& img, int x, int y) {
  const uint8_t* p = &img.pixels[(size_t(y) * img.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

rgba_image decoded(const std::vector<uint8_t>& file) {
  rgba_image img;
  EXPECT_TRUE(decode_picture(file, no_colour_key, img));
  EXPECT_EQ(img.format, image_bmp);
  EXPECT_EQ(img.pixels.size(), size_t(img.width) * img.height * 4);
  return img;
}

const px4 black = {0, 0, 0, 255}, white = {255, 255, 255, 255};

}  // namespace

TEST(Bmp, OneBitRowsComeOutTopFirst) {
  // Stored bottom row first: bottom = 1 0 1, top = 0 1 1 (bits from the high end).
  const rgba_image img = decoded(bmp_file({.width = 3, .height = 2, .bits = 1, .palette = {0, 0xFFFFFF}},
                                          {0xA0, 0, 0, 0, 0x60, 0, 0, 0}));
  EXPECT_EQ(img.width, 3);
  EXPECT_EQ(at(img, 0, 0), black);
  EXPECT_EQ(at(img, 1, 0), white);
  EXPECT_EQ(at(img, 0, 1), white);
  EXPECT_EQ(at(img, 1, 1), black);
  EXPECT_EQ(at(img, 2, 1), white);
}

TEST(Bmp, FourAndEightBitPalettes) {
  std::vector<uint32_t> pal16(16);
  for (uint32_t i = 0; i < 16; ++i) pal16[i] = i * 0x10 << 16 | i;  // red i*16, blue i
  const rgba_image four = decoded(bmp_file({.width = 3, .bits = 4, .palette = pal16}, {0x12, 0x30, 0, 0}));
  EXPECT_EQ(at(four, 0, 0), (px4{0x10, 0, 1, 255}));
  EXPECT_EQ(at(four, 2, 0), (px4{0x30, 0, 3, 255}));
  // Two palette entries in use; an index past them reads as opaque black.
  const rgba_image eight = decoded(bmp_file({.width = 3, .bits = 8, .palette = {0x123456, 0xABCDEF}, .colours_used = 2},
                                            {1, 0, 200, 0}));
  EXPECT_EQ(at(eight, 0, 0), (px4{0xAB, 0xCD, 0xEF, 255}));
  EXPECT_EQ(at(eight, 1, 0), (px4{0x12, 0x34, 0x56, 255}));
  EXPECT_EQ(at(eight, 2, 0), black);
}

TEST(Bmp, TrueColourTopDownAndPadding) {
  // 24 bits, 2 x 2, top-down (negative height): rows as stored, each padded to 8 bytes.
  const rgba_image img = decoded(bmp_file({.width = 2, .height = -2},
                                          {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}));
  EXPECT_EQ(img.height, 2);
  EXPECT_EQ(at(img, 0, 0), (px4{3, 2, 1, 255}));
  EXPECT_EQ(at(img, 1, 1), (px4{12, 11, 10, 255}));
}

TEST(Bmp, ThirtyTwoBitAlphaIsUsedUnlessAllZero) {
  const rgba_image opaque = decoded(bmp_file({.width = 2, .bits = 32}, {1, 2, 3, 0, 4, 5, 6, 0}));
  EXPECT_EQ(at(opaque, 0, 0), (px4{3, 2, 1, 255}));
  const rgba_image alpha = decoded(bmp_file({.width = 2, .bits = 32}, {1, 2, 3, 0, 4, 5, 6, 128}));
  EXPECT_EQ(at(alpha, 0, 0), (px4{3, 2, 1, 0}));
  EXPECT_EQ(at(alpha, 1, 0), (px4{6, 5, 4, 128}));
}

TEST(Bmp, BitFieldMasks) {
  // Red in the low byte, green next, blue in the high byte, no alpha mask.
  const rgba_image img = decoded(bmp_file({.bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}},
                                          {10, 20, 30, 40}));
  EXPECT_EQ(at(img, 0, 0), (px4{10, 20, 30, 255}));
}

TEST(Bmp, RunLengthEightBit) {
  // Bottom row: absolute run 2, 1, 2 (padded to a whole word), a run of one 1, end of line.
  // Top row: four of index 1, then end of bitmap.
  const rgba_image img = decoded(bmp_file({.width = 4, .height = 2, .bits = 8, .compression = 1, .palette = {0, 0xFF0000, 0x00FF00}},
                                          {0, 3, 2, 1, 2, 0, 1, 1, 0, 0, 4, 1, 0, 1}));
  const px4 red = {255, 0, 0, 255}, green = {0, 255, 0, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(at(img, x, 0), red);
  EXPECT_EQ(at(img, 0, 1), green);
  EXPECT_EQ(at(img, 1, 1), red);
  EXPECT_EQ(at(img, 2, 1), green);
  EXPECT_EQ(at(img, 3, 1), red);
}

TEST(Bmp, RunLengthFourBitWithDelta) {
  // Row 0 (bottom): run of 3 alternating 1, 2; delta (+1, +1); run of 1 of index 2 at (4, 1).
  const rgba_image img = decoded(bmp_file({.width = 5, .height = 2, .bits = 4, .compression = 2, .palette = {0, 0xFF0000, 0x0000FF}},
                                          {3, 0x12, 0, 2, 1, 1, 1, 0x20, 0, 1}));
  EXPECT_EQ(at(img, 0, 1), (px4{255, 0, 0, 255}));
  EXPECT_EQ(at(img, 1, 1), (px4{0, 0, 255, 255}));
  EXPECT_EQ(at(img, 2, 1), (px4{255, 0, 0, 255}));
  EXPECT_EQ(at(img, 4, 0), (px4{0, 0, 255, 255}));
  EXPECT_EQ(at(img, 3, 0), (px4{0, 0, 0, 0}));
}

TEST(Bmp, RecognitionNeedsLengthAndAKnownDepth) {
  std::vector<uint8_t> file = bmp_file({}, {1, 2, 3, 0});
  EXPECT_EQ(recognise_picture(file), image_bmp);
  EXPECT_EQ(recognise_picture(std::vector<uint8_t>(file.begin(), file.begin() + 53)), image_none);
  file[28] = 16;
  EXPECT_EQ(recognise_picture(file), image_none);
}

TEST(Bmp, DamagedFilesAreRefused) {
  rgba_image img;
  const std::vector<std::vector<uint8_t>> bad = {
      bmp_file({.width = 0}, {0, 0, 0, 0}),
      bmp_file({.width = 2, .height = 2}, {1, 2, 3, 4, 5, 6, 0, 0}),               // one row short
      bmp_file({.width = 65535, .height = 65535, .bits = 32}, {1, 2, 3, 4}),     // size the file cannot hold
      bmp_file({.width = 4, .height = 2, .bits = 8, .compression = 1, .palette = {0}}, {4, 1, 0, 0}),  // RLE cut short
      bmp_file({.width = 4, .height = -2, .bits = 8, .compression = 1, .palette = {0}}, {0, 1}),  // top-down RLE
      bmp_file({.bits = 24, .compression = 4}, {0, 0, 0, 0}),                   // embedded JPEG
      bmp_file({.bits = 24, .compression = 1}, {0, 0, 0, 0}),                   // RLE8 needs 8 bits
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_FALSE(decode_picture(bad[i], no_colour_key, img)) << i;
    EXPECT_TRUE(img.pixels.empty());
  }
  std::vector<uint8_t> far_data = bmp_file({}, {1, 2, 3, 0});
  far_data[10] = 0xFF, far_data[11] = 0xFF, far_data[12] = 0xFF;  // pixel data beyond the file
  EXPECT_FALSE(decode_bmp(far_data, img));
  std::vector<uint8_t> small_header = bmp_file({}, {1, 2, 3, 0});
  small_header[14] = 12;  // old-style core header
  EXPECT_FALSE(decode_bmp(small_header, img));
}

TEST(Bmp, ColourKeyMakesMatchingPixelsTransparent) {
  const std::vector<uint8_t> file = bmp_file({.width = 2}, {0x30, 0x20, 0x10, 0x31, 0x20, 0x10, 0, 0});
  rgba_image img;
  ASSERT_TRUE(decode_picture(file, 0x302010, img));  // 0xBBGGRR: red 0x10, green 0x20, blue 0x30
  EXPECT_EQ(at(img, 0, 0), (px4{0x10, 0x20, 0x30, 0}));
  EXPECT_EQ(at(img, 1, 0), (px4{0x10, 0x20, 0x31, 255}));
  ASSERT_TRUE(decode_picture(file, no_colour_key, img));
  EXPECT_EQ(at(img, 0, 0)[3], 255);
}

TEST(Bmp, UnknownDepthsAreRefusedEvenWhenCalledDirectly) {
  // 0 bits would divide by a zero row length, 16 or 2 would read past each row.
  for (uint16_t bits : {0, 2, 16, 48}) {
    rgba_image img;
    EXPECT_FALSE(decode_bmp(bmp_file({.width = 2, .height = 2, .bits = bits}, std::vector<uint8_t>(64, 7)), img)) << bits;
    EXPECT_TRUE(img.pixels.empty());
  }
}

TEST(Bmp, SmallFileClaimingAHugePictureAllocatesLittle) {
  // 8000 x 8000 run-length pixels whose data ends at once: within the size cap,
  // but no real bitmap of that size fits in a few hundred bytes.
  const std::vector<uint8_t> file =
      bmp_file({.width = 8000, .height = 8000, .bits = 8, .compression = 1, .palette = {0xFF0000}}, {0, 1});
  rgba_image img;
  const size_t largest = largest_allocation([&] { EXPECT_FALSE(decode_picture(file, no_colour_key, img)); });
  EXPECT_LT(largest, size_t(1) << 20);
  // A run-length bitmap that does code its pixels is still read.
  std::vector<uint8_t> runs;
  for (int row = 0; row < 64; ++row) runs.insert(runs.end(), {64, 0, 0, 0});
  runs.insert(runs.end(), {0, 1});
  EXPECT_EQ(decoded(bmp_file({.width = 64, .height = 64, .bits = 8, .compression = 1, .palette = {0xFF0000}}, runs))
                .width, 64);
}
