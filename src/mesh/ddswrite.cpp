#include "mesh/ddswrite.h"

#include <squish.h>

#include <algorithm>

#include "mesh/dds.h"

namespace {

int squish_flags(dxt_format f) { return (f == dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit; }

int mip_levels(int32_t width, int32_t height) {
  int levels = 1;
  for (int32_t side = std::max(width, height); side > 1; side /= 2) ++levels;
  return levels;
}

void append_blocks(std::vector<uint8_t>& out, const rgba_image& img, int flags) {
  const size_t at = out.size();
  out.resize(at + size_t(squish::GetStorageRequirements(img.width, img.height, flags)));
  squish::CompressImage(img.pixels.data(), img.width, img.height, out.data() + at, flags);
}

}  // namespace

dxt_format dds_format_for(const rgba_image& img) {
  for (size_t i = 3; i < img.pixels.size(); i += 4)
    if (img.pixels[i] != 0 && img.pixels[i] != 255) return dxt5;
  return dxt1;
}

rgba_image half_image(const rgba_image& img) {
  rgba_image out;
  out.width = std::max(1, img.width / 2);
  out.height = std::max(1, img.height / 2);
  out.format = img.format;
  out.pixels.resize(size_t(out.width) * out.height * 4);
  auto at = [&img](int32_t x, int32_t y, int c) {
    return unsigned(img.pixels[(size_t(std::min(y, img.height - 1)) * img.width + std::min(x, img.width - 1)) * 4 + c]);
  };
  for (int32_t y = 0; y < out.height; ++y)
    for (int32_t x = 0; x < out.width; ++x)
      for (int c = 0; c < 4; ++c) {
        const unsigned sum = at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) + at(2 * x + 1, 2 * y + 1, c);
        out.pixels[(size_t(y) * out.width + x) * 4 + c] = uint8_t((sum + 2) / 4);
      }
  return out;
}

std::vector<uint8_t> encode_dds_texture(const rgba_image& img) {
  const dxt_format f = dds_format_for(img);
  const int flags = squish_flags(f);
  const int levels = mip_levels(img.width, img.height);
  dds_header h = make_dds_header(uint32_t(img.width), uint32_t(img.height),
                                 uint32_t(squish::GetStorageRequirements(img.width, img.height, flags)),
                                 f == dxt1 ? "DXT1" : "DXT5", dds_fourcc_present, 0, nullptr);
  h.flags |= dds_has_mipmap_count;
  h.mipmap_count = uint32_t(levels);
  if (levels > 1) h.caps |= dds_caps_complex | dds_caps_mipmap;
  const uint8_t* head = reinterpret_cast<const uint8_t*>(&h);
  std::vector<uint8_t> out(head, head + sizeof h);
  append_blocks(out, img, flags);
  rgba_image level;
  for (int i = 1; i < levels; ++i) {
    level = half_image(i == 1 ? img : level);
    append_blocks(out, level, flags);
  }
  return out;
}
