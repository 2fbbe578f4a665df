// DXT block decoding as tabulated, DDS headers and their checks, the DDS
// sequence reader, the alpha blur and the texture loader's format choice.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>

#include "common/scratch_dir.h"
#include "mesh/dds.h"
#include "mesh/texfile.h"
#include "mkdemo/imgwrite.h"

namespace {

namespace fs = std::filesystem;
using px4 = std::array<int, 4>;

px4 at(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t x, uint32_t y) {
  const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

std::vector<uint8_t> decode(dxt_format f, std::initializer_list<uint8_t> blocks, uint32_t w = 4, uint32_t h = 4) {
  std::vector<uint8_t> data(blocks), out(size_t(w) * h * 4, 0xCD);
  EXPECT_EQ(data.size(), dxt_data_size(f, w, h));
  EXPECT_TRUE(decode_dxt(f, data.data(), w, h, out.data()));
  return out;
}

struct dds_params {
  uint32_t width = 4, height = 4;
  const char* fourcc = nullptr;    // null: uncompressed
  uint32_t linear = 0, bits = 0, pf_flags = 0, caps = dds_caps_texture;
  uint32_t masks[4] = {};
};

std::vector<uint8_t> make_dds(const dds_params& s, const std::vector<uint8_t>& payload) {
  dds_header h{};
  std::memcpy(h.magic, "DDS ", 4);
  h.header_size = 124;
  h.width = s.width;
  h.height = s.height;
  h.linear_size = s.linear;
  h.format.flags = s.pf_flags | (s.fourcc ? dds_fourcc_present : 0);
  if (s.fourcc) std::memcpy(h.format.fourcc, s.fourcc, 4);
  h.format.bits_per_pixel = s.bits;
  std::memcpy(h.format.masks, s.masks, sizeof s.masks);
  h.caps = s.caps;
  std::vector<uint8_t> out(reinterpret_cast<uint8_t*>(&h), reinterpret_cast<uint8_t*>(&h) + sizeof h);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

bool read_one(const std::vector<uint8_t>& file, dds_image& img, bool keep = false) {
  size_t pos = 0;
  return read_dds(file, pos, keep, img);
}

const std::vector<uint8_t> red_blue_block = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};

}  // namespace

// --- DXT ------------------------------------------------------------------------------

TEST(Dxtc, Dxt1FourColourRuleWhenC0IsGreater) {
  const auto out = decode(dxt1, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});  // red > blue
  EXPECT_EQ(at(out, 4, 0, 0), (px4{248, 0, 0, 255}));
  EXPECT_EQ(at(out, 4, 1, 0), (px4{0, 0, 248, 255}));
  EXPECT_EQ(at(out, 4, 2, 0), (px4{165, 0, 83, 255}));  // (2*248 + 0 + 1) div 3, (248 + 1) div 3
  EXPECT_EQ(at(out, 4, 3, 0), (px4{83, 0, 165, 255}));
  EXPECT_EQ(at(out, 4, 0, 3), (px4{248, 0, 0, 255}));   // index bits 0 everywhere else
}

TEST(Dxtc, Dxt1ThreeColourRuleAndTransparentBlack) {
  const auto lower = decode(dxt1, {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0});  // blue < red
  EXPECT_EQ(at(lower, 4, 2, 0), (px4{124, 0, 124, 255}));
  EXPECT_EQ(at(lower, 4, 3, 0), (px4{0, 0, 0, 0}));
  const auto equal = decode(dxt1, {0xFF, 0xFF, 0xFF, 0xFF, 0xE4, 0, 0, 0});  // c0 == c1: white
  EXPECT_EQ(at(equal, 4, 0, 0), (px4{248, 252, 248, 255}));  // expanded without replicating high bits
  EXPECT_EQ(at(equal, 4, 2, 0), (px4{248, 252, 248, 255}));
  EXPECT_EQ(at(equal, 4, 3, 0), (px4{0, 0, 0, 0}));
}

TEST(Dxtc, IndexBitsRunRowByRowLowestFirst) {
  // Only pixel (column 1, row 2) has index 1: bits 2 * (4*2 + 1) = 18.
  const auto out = decode(dxt1, {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x04, 0x00});
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 4; ++x)
      EXPECT_EQ(at(out, 4, x, y)[2], x == 1 && y == 2 ? 248 : 0) << x << "," << y;
}

TEST(Dxtc, Dxt3AlphaNibblesAndAlwaysFourColours) {
  // Alpha of pixel i is i; colours blue < red would be the three-colour rule in DXT1.
  const auto out = decode(dxt3, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                                 0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4});
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(at(out, 4, i % 4, i / 4)[3], int(i * 17));
  EXPECT_EQ(at(out, 4, 2, 0), (px4{83, 0, 165, 34}));
  EXPECT_EQ(at(out, 4, 3, 3), (px4{165, 0, 83, 255}));
}

TEST(Dxtc, Dxt5EightAndSixValueAlpha) {
  // Pixel i uses alpha index i mod 8; 48 index bits, lowest first.
  uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= uint64_t(i % 8) << (3 * i);
  auto block = [&](uint8_t a0, uint8_t a1) {
    std::vector<uint8_t> b = {a0, a1};
    for (int k = 0; k < 6; ++k) b.push_back(uint8_t(bits >> (8 * k)));
    b.insert(b.end(), red_blue_block.begin(), red_blue_block.end());
    std::vector<uint8_t> out(64);
    EXPECT_TRUE(decode_dxt(dxt5, b.data(), 4, 4, out.data()));
    std::vector<int> alphas;
    for (uint32_t i = 0; i < 8; ++i) alphas.push_back(at(out, 4, i % 4, i / 4)[3]);
    for (uint32_t i = 8; i < 16; ++i) EXPECT_EQ(at(out, 4, i % 4, i / 4)[3], alphas[i - 8]);
    return alphas;
  };
  // End points chosen so that the rounding terms (+3 and +2) show.
  EXPECT_EQ(block(200, 99), (std::vector<int>{200, 99, 186, 171, 157, 142, 128, 113}));
  EXPECT_EQ(block(100, 202), (std::vector<int>{100, 202, 120, 141, 161, 182, 0, 255}));
}

TEST(Dxtc, SizesThatAreNotMultiplesOfFourKeepInsideTheImage) {
  // 5 x 3: two blocks side by side; the second one's first column is column 4.
  const auto out = decode(dxt1, {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0, 0x1F, 0x00, 0x1F, 0x00, 0, 0, 0, 0}, 5, 3);
  EXPECT_EQ(out.size(), 5u * 3 * 4);
  EXPECT_EQ(at(out, 5, 3, 2), (px4{248, 0, 0, 255}));
  EXPECT_EQ(at(out, 5, 4, 2), (px4{0, 0, 248, 255}));
  EXPECT_FALSE(decode_dxt(dxt_other, out.data(), 4, 4, std::vector<uint8_t>(64).data()));
}

// --- DDS ------------------------------------------------------------------------------

TEST(Dds, Uncompressed565FullRedIs248AndFullGreen252) {
  dds_params s{.width = 2, .height = 2, .bits = 16, .masks = {0xF800, 0x07E0, 0x001F, 0}};
  dds_image img;
  ASSERT_TRUE(read_one(make_dds(s, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}), img));
  EXPECT_EQ(at(img.pixels, 2, 0, 0), (px4{248, 0, 0, 255}));
  EXPECT_EQ(at(img.pixels, 2, 1, 0), (px4{0, 252, 0, 255}));
  EXPECT_EQ(at(img.pixels, 2, 0, 1), (px4{0, 0, 248, 255}));
  EXPECT_EQ(at(img.pixels, 2, 1, 1), (px4{248, 252, 248, 255}));
}

TEST(Dds, UncompressedAlphaOnlyWithItsFlag) {
  dds_params s{.width = 1, .height = 1, .bits = 32, .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}};
  const std::vector<uint8_t> pixel = {0x30, 0x20, 0x10, 0x40};  // B G R A
  dds_image img;
  ASSERT_TRUE(read_one(make_dds(s, pixel), img));
  EXPECT_EQ(at(img.pixels, 1, 0, 0), (px4{0x10, 0x20, 0x30, 255}));
  s.pf_flags = dds_alpha_present;
  ASSERT_TRUE(read_one(make_dds(s, pixel), img));
  EXPECT_EQ(at(img.pixels, 1, 0, 0), (px4{0x10, 0x20, 0x30, 0x40}));
  // 24 bits: three bytes a pixel, no padding at the row ends.
  dds_params t{.width = 3, .height = 1, .bits = 24, .masks = {0xFF0000, 0xFF00, 0xFF, 0}};
  ASSERT_TRUE(read_one(make_dds(t, {1, 2, 3, 4, 5, 6, 7, 8, 9}), img));
  EXPECT_EQ(at(img.pixels, 3, 2, 0), (px4{9, 8, 7, 255}));
}

TEST(Dds, UncompressedChannelsWiderThanEightBitsKeepTheirTopBits) {
  // 10-bit red, green and blue with 2-bit alpha, then a 16-bit luminance-style red.
  dds_params s{.width = 2, .height = 1, .bits = 32, .pf_flags = dds_alpha_present,
               .masks = {0x000003FF, 0x000FFC00, 0x3FF00000, 0xC0000000}};
  dds_image img;
  ASSERT_TRUE(read_one(make_dds(s, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x02, 0x00, 0x00}), img));
  EXPECT_EQ(at(img.pixels, 2, 0, 0), (px4{255, 255, 255, 255}));
  EXPECT_EQ(at(img.pixels, 2, 1, 0), (px4{128, 0, 0, 0}));  // red 512 of 1023
  dds_params w{.width = 1, .height = 1, .bits = 16, .masks = {0xFFFF, 0, 0, 0}};
  ASSERT_TRUE(read_one(make_dds(w, {0x34, 0x12}), img));
  EXPECT_EQ(at(img.pixels, 1, 0, 0), (px4{0x12, 0, 0, 255}));
}

TEST(Dds, HeaderChecks) {
  const std::vector<uint8_t> blocks(8, 0);
  dds_image img;
  EXPECT_TRUE(read_one(make_dds({.fourcc = "DXT1"}, blocks), img));
  EXPECT_FALSE(read_one(make_dds({.fourcc = "DXT1", .caps = 0x1000 - 1}, blocks), img));  // no texture bit
  std::vector<uint8_t> bad_magic = make_dds({.fourcc = "DXT1"}, blocks);
  bad_magic[3] = 'X';
  EXPECT_FALSE(read_one(bad_magic, img));
  EXPECT_FALSE(read_one(std::vector<uint8_t>(bad_magic.begin(), bad_magic.begin() + 127), img));
  EXPECT_FALSE(read_one(make_dds({.width = 0, .fourcc = "DXT1"}, blocks), img));
  EXPECT_FALSE(read_one(make_dds({.fourcc = "ATI2"}, blocks), img));  // decoding an unknown code fails
  EXPECT_TRUE(img.pixels.empty());
}

TEST(Dds, LinearSizeZeroMeansWidthTimesHeight) {
  // 8 x 8 DXT5: four 16-byte blocks, exactly width x height bytes.
  const bytes blocks = encode_dxt_blocks(rgba_image{8, 8, std::vector<uint8_t>(256, 200)}, dxt5);
  dds_image img;
  ASSERT_TRUE(read_one(make_dds({.width = 8, .height = 8, .fourcc = "DXT5", .linear = 0}, blocks), img));
  EXPECT_EQ(img.pixels.size(), 256u);
  // A sequence then finds the next image right after those width x height bytes.
  std::vector<uint8_t> two = make_dds({.width = 8, .height = 8, .fourcc = "DXT5"}, blocks);
  two.insert(two.end(), two.begin(), two.end());
  size_t pos = 0;
  ASSERT_TRUE(read_dds(two, pos, false, img));
  EXPECT_EQ(pos, 128u + 64);
  EXPECT_TRUE(read_dds(two, pos, false, img));
  EXPECT_EQ(pos, two.size());
}

TEST(Dds, SizesTheFileCannotHoldAreRejected) {
  dds_image img;
  const std::vector<uint8_t> small(64, 0);
  EXPECT_FALSE(read_one(make_dds({.width = 65535, .height = 65535, .fourcc = "DXT1"}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 65535, .height = 65535, .fourcc = "DXT5", .linear = 16}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 65535, .height = 65535, .bits = 32}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 0xFFFFFFFF, .height = 0xFFFFFFFF, .fourcc = "DXT1"}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 65535, .height = 65535, .fourcc = "XYZW"}, small), img, true));
  // A linear size below what the blocks need, and depths we cannot read.
  EXPECT_FALSE(read_one(make_dds({.width = 8, .height = 8, .fourcc = "DXT1", .linear = 16}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 2, .height = 2, .bits = 4}, small), img));
  EXPECT_FALSE(read_one(make_dds({.width = 2, .height = 2, .bits = 64}, small), img));
  EXPECT_TRUE(img.pixels.empty());
}

TEST(Dds, KeptCompressedDataAndFormatCodes) {
  const std::vector<uint8_t> blocks = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const struct { const char* code; dxt_format f; size_t kept; } cases[] = {
      {"DXT1", dxt1, 8}, {"DXT3", dxt3, 16}, {"DXT5", dxt5, 16}, {"ATI2", dxt_other, 16}};
  for (const auto& c : cases) {
    dds_image img;
    ASSERT_TRUE(read_one(make_dds({.fourcc = c.code, .linear = 16}, blocks), img, true)) << c.code;
    EXPECT_EQ(img.format, c.f);
    EXPECT_EQ(img.compressed, std::vector<uint8_t>(blocks.begin(), blocks.begin() + long(c.kept)));
    EXPECT_TRUE(img.pixels.empty());
    EXPECT_EQ(img.width, 4u);
  }
}

TEST(Dds, SequenceKeepsTheImagesBeforeTheFirstBadOne) {
  const scratch_dir scratch;
  const fs::path& dir = scratch.path;
  std::vector<uint8_t> file;
  for (uint32_t side : {4u, 8u, 12u}) {
    const bytes one = make_dds({.width = side, .height = side, .fourcc = "DXT1", .linear = side * side / 2},
                               std::vector<uint8_t>(side * side / 2, uint8_t(side)));
    file.insert(file.end(), one.begin(), one.end());
  }
  const bytes last = make_dds({.width = 64, .height = 64, .fourcc = "DXT1"}, std::vector<uint8_t>(100));
  file.insert(file.end(), last.begin(), last.end());  // truncated: its blocks are not all there
  write_file_bytes((dir / "planet.dds").string(), file);
  const auto images = read_dds_sequence((dir / "planet.dds").string(), true);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[2].width, 12u);
  EXPECT_EQ(images[2].compressed, std::vector<uint8_t>(72, 12));
  EXPECT_TRUE(read_dds_sequence((dir / "none.dds").string(), true).empty());
  dds_image img;
  EXPECT_EQ(read_dds_file((dir / "PLANET.DDS").string(), false, img), !posix_files);  // exact path only
  EXPECT_TRUE(read_dds_file((dir / "planet.dds").string(), false, img));
}

TEST(Dds, BlurAlphaUsesAnUnchangedCopy) {
  std::vector<uint8_t> px(4 * 3 * 4, 7);
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 0;
  px[(1 * 4 + 1) * 4 + 3] = 255;
  px[3] = 4;  // corner (0, 0)
  blur_alpha(px.data(), 4, 3);
  EXPECT_EQ(at(px, 4, 1, 1)[3], 29);  // 259 / 9 = 28.8
  EXPECT_EQ(at(px, 4, 2, 1)[3], 28);  // 255 / 9 = 28.3, from the original 255
  EXPECT_EQ(at(px, 4, 0, 0)[3], 4);   // borders keep theirs
  EXPECT_EQ(at(px, 4, 3, 2)[3], 0);
  EXPECT_EQ(at(px, 4, 1, 1)[0], 7);   // colours stay
}

// --- Texture loader -------------------------------------------------------------------------

TEST(Texfile, ChoosesTheFormatFromTheFirstBytes) {
  rgba_image src{4, 4, std::vector<uint8_t>(64, 255)};
  rgba_image img;
  ASSERT_TRUE(decode_image_bytes(encode_dds(src, dxt1), img));
  EXPECT_EQ(img.format, image_dds);
  EXPECT_EQ(at(img.pixels, 4, 3, 3), (px4{248, 252, 248, 255}));
  ASSERT_TRUE(decode_image_bytes(encode_bmp(src), img));
  EXPECT_EQ(img.format, image_bmp);
  EXPECT_FALSE(decode_image_bytes(std::vector<uint8_t>{'D', 'D', 'S'}, img));
  EXPECT_FALSE(decode_image_bytes({}, img));
  EXPECT_FALSE(decode_image("/nonexistent/x.dds", img));
  EXPECT_TRUE(img.pixels.empty());
}

TEST(Texfile, FindsFilesWhateverTheirCase) {
  const scratch_dir scratch;
  const fs::path& dir = scratch.path;
  fs::create_directories(dir / "Textures");
  write_file_bytes((dir / "Textures" / "Hull.DDS").string(), encode_dds({4, 4, std::vector<uint8_t>(64, 9)}, dxt5));
  if (posix_files) EXPECT_EQ(locate_file((dir / "textures\\hull.dds").string()), (dir / "Textures" / "Hull.DDS").string());
  rgba_image img;
  EXPECT_TRUE(decode_image((dir / "TEXTURES" / "hull.dds").string(), img));
  EXPECT_EQ(img.width, 4);
  EXPECT_EQ(locate_file((dir / "textures" / "other.dds").string()), "");
}
