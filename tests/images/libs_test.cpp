// PNG, JPEG and GIF through their libraries: round trips, recognition, and
// damaged data that must end in "no image" without a crash or a large
// allocation.
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "images/picture.h"
#include "mkdemo/imgwrite.h"
#include "alloc_watch.h"

namespace {

using px4 = std::array<int, 4>;

px4 at(const rgba_image& img, int x, int y) {
  const uint8_t* p = &img.pixels[(size_t(y) * img.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// A small picture with a gradient, colour-cube corners and a transparent corner.
rgba_image test_picture(int w = 24, int h = 16) {
  rgba_image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &img.pixels[(size_t(y) * w + x) * 4];
      p[0] = uint8_t(x * 255 / (w - 1) / 51 * 51);
      p[1] = uint8_t(y * 255 / (h - 1) / 51 * 51);
      p[2] = 102;
      p[3] = x < 2 && y < 2 ? 0 : 255;
    }
  return img;
}

// Decoding never crashes, and whatever it returns is consistent.
void expect_safe(const std::vector<uint8_t>& data, const char* what) {
  rgba_image img;
  if (decode_picture(data, no_colour_key, img)) {
    EXPECT_EQ(img.pixels.size(), size_t(img.width) * img.height * 4) << what;
    EXPECT_LE(int64_t(img.width) * img.height, max_image_pixels) << what;
  } else {
    EXPECT_TRUE(img.pixels.empty()) << what;
  }
}

// Every prefix that lacks more than the optional tail of the file is refused;
// bytes overwritten with a fixed pattern give a refusal or a consistent picture.
void damage(const std::vector<uint8_t>& good, size_t optional_tail) {
  rgba_image img;
  for (size_t cut = 0; cut < good.size(); ++cut) {
    const std::vector<uint8_t> part(good.begin(), good.begin() + long(cut));
    if (cut + optional_tail < good.size()) {
      EXPECT_FALSE(decode_picture(part, no_colour_key, img)) << "cut at " << cut;
    } else {
      expect_safe(part, "truncated");
    }
  }
  uint32_t seed = 12345;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bad = good;
    for (int k = 0; k < 4; ++k) {
      seed = seed * 1103515245 + 12345;
      bad[8 + (seed >> 8) % (bad.size() - 8)] ^= uint8_t(seed >> 24 | 1);
    }
    expect_safe(bad, "flipped");
  }
}

void put_be32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

// The PNG with its IHDR size replaced (and the chunk's CRC made right again).
std::vector<uint8_t> png_claiming(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
  put_be32(png, 16, width);
  put_be32(png, 20, height);
  put_be32(png, 29, uint32_t(crc32(crc32(0, nullptr, 0), &png[12], 17)));
  return png;
}

// The JPEG with the size in its baseline frame header replaced.
std::vector<uint8_t> jpeg_claiming(std::vector<uint8_t> jpg, uint16_t width, uint16_t height) {
  size_t sof = 2;
  while (sof + 9 < jpg.size() && !(jpg[sof] == 0xFF && jpg[sof + 1] == 0xC0)) ++sof;
  EXPECT_LT(sof + 9, jpg.size());
  if (sof + 9 >= jpg.size()) return {};
  jpg[sof + 5] = uint8_t(height >> 8), jpg[sof + 6] = uint8_t(height);
  jpg[sof + 7] = uint8_t(width >> 8), jpg[sof + 8] = uint8_t(width);
  return jpg;
}

const uint8_t sos[] = {0xFF, 0xDA};  // JPEG: start of the entropy-coded scan

// The GIF with its logical screen size replaced.
std::vector<uint8_t> gif_claiming(std::vector<uint8_t> gif, uint16_t width, uint16_t height) {
  gif[6] = uint8_t(width), gif[7] = uint8_t(width >> 8);
  gif[8] = uint8_t(height), gif[9] = uint8_t(height >> 8);
  return gif;
}

rgba_image solid_picture(int w, int h) {
  return rgba_image{w, h, std::vector<uint8_t>(size_t(w) * h * 4, 200)};
}

}  // namespace

// --- PNG ------------------------------------------------------------------------------

TEST(Png, RoundTripKeepsEveryByte) {
  const rgba_image src = test_picture();
  rgba_image img;
  ASSERT_TRUE(decode_picture(encode_png(src), no_colour_key, img));
  EXPECT_EQ(img.format, image_png);
  EXPECT_EQ(img.width, src.width);
  EXPECT_EQ(img.pixels, src.pixels);
}

TEST(Png, RecognisedOnlyByTheFullSignatureAfterEightBytes) {
  std::vector<uint8_t> png = encode_png(test_picture());
  EXPECT_EQ(recognise_picture(png), image_png);
  EXPECT_EQ(recognise_picture(std::vector<uint8_t>(png.begin(), png.begin() + 8)), image_none);
  png[4] = '\n';
  EXPECT_EQ(recognise_picture(png), image_none);
}

TEST(Png, DamagedDataGivesNoImage) { damage(encode_png(test_picture()), 12); }  // the end chunk

TEST(Png, HugeSizeInTheHeaderIsRefusedBeforeAllocating) {
  rgba_image img;
  EXPECT_FALSE(decode_picture(png_claiming(encode_png(test_picture()), 65535, 65535), no_colour_key, img));
}

// --- JPEG -----------------------------------------------------------------------------

TEST(Jpeg, RoundTripIsClose) {
  const rgba_image src = test_picture(32, 24);
  rgba_image img;
  ASSERT_TRUE(decode_picture(encode_jpeg(src, 95), no_colour_key, img));
  EXPECT_EQ(img.format, image_jpeg);
  ASSERT_EQ(img.width, 32);
  ASSERT_EQ(img.height, 24);
  for (int y = 4; y < 24; y += 5)
    for (int x = 4; x < 32; x += 7)
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(at(img, x, y)[c], at(src, x, y)[c], 40) << x << "," << y;
  EXPECT_EQ(at(img, 0, 0)[3], 255);  // JPEG has no alpha
}

TEST(Jpeg, OnlyJfifIsRecognised) {
  std::vector<uint8_t> jpg = encode_jpeg(test_picture());
  EXPECT_EQ(recognise_picture(jpg), image_jpeg);
  std::vector<uint8_t> exif = jpg;
  exif[3] = 0xE1;  // APP1
  std::memcpy(&exif[6], "Exif\0", 5);
  EXPECT_EQ(recognise_picture(exif), image_none);
  rgba_image img;
  EXPECT_FALSE(decode_picture(exif, no_colour_key, img));
  std::vector<uint8_t> no_zero = jpg;
  no_zero[10] = 'X';
  EXPECT_EQ(recognise_picture(no_zero), image_none);
  EXPECT_EQ(recognise_picture(std::vector<uint8_t>(jpg.begin(), jpg.begin() + 12)), image_none);
}

TEST(Jpeg, DamagedDataGivesNoImage) { damage(encode_jpeg(test_picture()), 0); }

TEST(Jpeg, HugeSizeInTheFrameHeaderIsRefused) {
  rgba_image img;
  EXPECT_FALSE(decode_picture(jpeg_claiming(encode_jpeg(test_picture()), 65535, 65535), no_colour_key, img));
}

// --- GIF ------------------------------------------------------------------------------

TEST(Gif, RoundTripWithTransparency) {
  const rgba_image src = test_picture();
  rgba_image img;
  ASSERT_TRUE(decode_picture(encode_gif(src), no_colour_key, img));
  EXPECT_EQ(img.format, image_gif);
  EXPECT_EQ(at(img, 0, 0), (px4{0, 0, 0, 0}));  // the transparent index
  for (int y = 0; y < src.height; ++y)
    for (int x = 2; x < src.width; ++x) EXPECT_EQ(at(img, x, y), at(src, x, y));
}

TEST(Gif, InterlacedRowsLandInPlace) {
  // Eleven rows written in the four interlace passes; row y has colour index y.
  std::vector<uint8_t> out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* d, int n) {
    auto* o = static_cast<std::vector<uint8_t>*>(g->UserData);
    o->insert(o->end(), d, d + n);
    return n;
  }, &err);
  ASSERT_NE(gif, nullptr);
  ColorMapObject* map = GifMakeMapObject(16, nullptr);
  for (int i = 0; i < 16; ++i) map->Colors[i] = {GifByteType(i * 10), 0, 0};
  ASSERT_NE(EGifPutScreenDesc(gif, 3, 11, 4, 0, map), GIF_ERROR);
  ASSERT_NE(EGifPutImageDesc(gif, 0, 0, 3, 11, true, nullptr), GIF_ERROR);
  for (int y : {0, 8, 4, 2, 6, 10, 1, 3, 5, 7, 9}) {
    GifPixelType line[3] = {GifPixelType(y), GifPixelType(y), GifPixelType(y)};
    ASSERT_NE(EGifPutLine(gif, line, 3), GIF_ERROR);
  }
  ASSERT_NE(EGifCloseFile(gif, &err), GIF_ERROR);
  GifFreeMapObject(map);
  rgba_image img;
  ASSERT_TRUE(decode_picture(out, no_colour_key, img));
  for (int y = 0; y < 11; ++y) EXPECT_EQ(at(img, 1, y), (px4{y * 10, 0, 0, 255})) << y;
}

TEST(Gif, RecognisesBothVersions) {
  std::vector<uint8_t> g = encode_gif(test_picture());
  EXPECT_EQ(recognise_picture(g), image_gif);
  std::memcpy(&g[3], "87a", 3);
  EXPECT_EQ(recognise_picture(g), image_gif);
  std::memcpy(&g[3], "88a", 3);
  EXPECT_EQ(recognise_picture(g), image_none);
  EXPECT_EQ(recognise_picture(std::vector<uint8_t>(g.begin(), g.begin() + 13)), image_none);
}

TEST(Gif, DamagedDataGivesNoImage) { damage(encode_gif(test_picture()), 1); }  // the trailer byte

TEST(Gif, HugeSizesAreRefused) {
  std::vector<uint8_t> g = encode_gif(test_picture());
  rgba_image img;
  EXPECT_FALSE(decode_picture(gif_claiming(g, 65535, 65535), no_colour_key, img));
  // An image descriptor far larger than its data: refused when the lines run out.
  std::vector<uint8_t> frame = g;
  size_t desc = 13 + 3 * 256;
  while (desc < frame.size() && frame[desc] != 0x2C) ++desc;
  ASSERT_LT(desc + 9, frame.size());
  frame[desc + 5] = frame[desc + 6] = frame[desc + 7] = frame[desc + 8] = 0xFF;
  EXPECT_FALSE(decode_picture(frame, no_colour_key, img));
}

// --- All three ---------------------------------------------------------------------------

TEST(Picture, SmallFilesClaimingLargePicturesAllocateLittle) {
  // 8000 x 8000 is within the size cap, but not in files of a few hundred bytes.
  const std::vector<uint8_t> jpg = jpeg_claiming(encode_jpeg(test_picture()), 8000, 8000);
  const size_t scan = size_t(std::search(jpg.begin(), jpg.end(), sos, sos + 2) - jpg.begin());
  const std::vector<uint8_t> files[] = {
      png_claiming(encode_png(test_picture()), 8000, 8000),
      std::vector<uint8_t>(jpg.begin(), jpg.begin() + long(std::min(scan + 40, jpg.size()))),  // data cut short
      gif_claiming(encode_gif(test_picture()), 8000, 8000),                   // a small image on a huge screen
  };
  for (const std::vector<uint8_t>& f : files) {
    rgba_image img;
    const size_t largest = largest_allocation([&] { EXPECT_FALSE(decode_picture(f, no_colour_key, img)); });
    EXPECT_LT(largest, size_t(1) << 20) << image_format_name(recognise_picture(f));
  }
}

TEST(Picture, LargePlainPicturesStillDecode) {
  // One colour compresses best: these are as small as real files of this size get.
  const rgba_image src = solid_picture(2048, 1024);
  for (const std::vector<uint8_t>& f : {encode_png(src), encode_jpeg(src), encode_gif(src)}) {
    rgba_image img;
    ASSERT_TRUE(decode_picture(f, no_colour_key, img)) << image_format_name(recognise_picture(f)) << " " << f.size();
    EXPECT_EQ(img.width, 2048);
    EXPECT_EQ(img.height, 1024);
  }
}

TEST(Picture, UnknownDataAndFormatNames) {
  rgba_image img;
  EXPECT_FALSE(decode_picture(std::vector<uint8_t>(100, 0), no_colour_key, img));
  EXPECT_EQ(recognise_picture({}), image_none);
  EXPECT_STREQ(image_format_name(image_jpeg), "jpeg");
  EXPECT_STREQ(image_format_name(image_dds), "dds");
  EXPECT_STREQ(image_format_name(image_none), "");
}
