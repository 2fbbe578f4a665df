#include "mesh/dds.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/asys.h"

namespace {

// Larger sides cannot be right for any file we read, and keep the size
// arithmetic below far from overflow.
constexpr uint32_t max_side = 1u << 20;

dxt_format format_of(const char fourcc[4]) {
  static const struct { char code[5]; dxt_format format; } codes[] = {
    {"DXT1", dxt1}, {"DXT3", dxt3}, {"DXT5", dxt5}};
  for (const auto& c : codes)
    if (std::memcmp(fourcc, c.code, 4) == 0) return c.format;
  return dxt_other;
}

bool read_compressed(const dds_header& h, byte_span data, size_t& pos, bool keep, dds_image& out) {
  const dxt_format f = format_of(h.format.fourcc);
  if (!keep && f == dxt_other) return false;
  const size_t stored = h.linear_size ? h.linear_size : size_t(h.width) * h.height;
  // Blocks we know need an exact size; other codes must be wholly present.
  const size_t needed = f == dxt_other ? stored : dxt_data_size(f, h.width, h.height);
  const size_t take = std::min(stored, data.size() - pos);
  if (stored < needed || take < needed) return false;
  const uint8_t* blocks = data.data() + pos;
  if (keep) {
    const size_t kept = f == dxt_other ? take : needed;
    out.compressed.assign(blocks, blocks + kept);
    out.format = f;
  } else {
    out.pixels.resize(size_t(h.width) * h.height * 4);
    decode_dxt(f, blocks, h.width, h.height, out.pixels.data());
  }
  pos += take;
  return true;
}

struct channel_rule {
  uint32_t mask, shift, scale;
};

// A channel wider than 8 bits keeps its highest 8 (255 div its largest value
// would be 0 and turn the channel black).
channel_rule rule_for(uint32_t mask) {
  uint32_t shift = mask ? std::countr_zero(mask) : 0;
  shift += uint32_t(std::max(0, int(std::bit_width(mask >> shift)) - 8));
  const uint32_t top = mask >> shift;
  return {mask, shift, top ? 255 / top : 1};
}

uint8_t apply(const channel_rule& c, uint32_t value) {
  return uint8_t(std::min<uint64_t>(uint64_t(value & c.mask) * c.scale >> c.shift, 255));
}

bool read_uncompressed(const dds_header& h, byte_span data, size_t& pos, dds_image& out) {
  const uint32_t bytes = h.format.bits_per_pixel / 8;
  if (bytes < 1 || bytes > 4) return false;
  const size_t count = size_t(h.width) * h.height;
  if ((data.size() - pos) / bytes < count) return false;
  channel_rule rules[4];
  for (int c = 0; c < 4; ++c) rules[c] = rule_for(h.format.masks[c]);
  const bool alpha = h.format.flags & dds_alpha_present;
  out.pixels.resize(count * 4);
  const uint8_t* src = data.data() + pos;
  uint8_t* px = out.pixels.data();
  for (size_t i = 0; i < count; ++i, src += bytes, px += 4) {
    uint32_t v = 0;
    for (uint32_t b = 0; b < bytes; ++b) v |= uint32_t(src[b]) << (8 * b);
    for (int c = 0; c < 3; ++c) px[c] = apply(rules[c], v);
    px[3] = alpha ? apply(rules[3], v) : 255;
  }
  pos += count * bytes;
  return true;
}

}  // namespace

dds_header make_dds_header(uint32_t width, uint32_t height, uint32_t linear_size, const char* fourcc,
                           uint32_t format_flags, uint32_t bits, const uint32_t masks[4]) {
  dds_header h{};
  std::memcpy(h.magic, "DDS ", 4);
  h.header_size = 124;
  h.flags = 0x1007 | (fourcc ? 0x80000 : 0x8);  // caps, height, width, pixel format, size field
  h.height = height;
  h.width = width;
  h.linear_size = linear_size;
  h.format.size = 32;
  h.format.flags = format_flags;
  if (fourcc) std::memcpy(h.format.fourcc, fourcc, 4);
  h.format.bits_per_pixel = bits;
  if (masks) std::copy_n(masks, 4, h.format.masks);
  h.caps = dds_caps_texture;
  return h;
}

bool read_dds(byte_span data, size_t& pos, bool keep_compressed, dds_image& out) {
  out = dds_image{};
  if (pos > data.size() || data.size() - pos < sizeof(dds_header)) return false;
  dds_header h;
  std::memcpy(&h, data.data() + pos, sizeof h);
  if (std::memcmp(h.magic, "DDS ", 4) != 0 || !(h.caps & dds_caps_texture)) return false;
  if (h.width == 0 || h.height == 0 || h.width > max_side || h.height > max_side) return false;
  size_t at = pos + sizeof h;
  const bool ok = (h.format.flags & dds_fourcc_present)
                      ? read_compressed(h, data, at, keep_compressed, out)
                      : read_uncompressed(h, data, at, out);
  if (!ok) {
    out = dds_image{};
    return false;
  }
  out.width = h.width;
  out.height = h.height;
  pos = at;
  return true;
}

bool read_dds_file(const std::string& path, bool keep_compressed, dds_image& out) {
  out = dds_image{};
  if (!file_exists(path)) return false;
  const std::vector<uint8_t> data = file_read_all(path);
  size_t pos = 0;
  return read_dds(data, pos, keep_compressed, out);
}

std::vector<dds_image> read_dds_sequence(const std::string& path, bool keep_compressed) {
  std::vector<dds_image> images;
  if (!file_exists(path)) return images;
  const std::vector<uint8_t> data = file_read_all(path);
  size_t pos = 0;
  dds_image img;
  while (pos < data.size() && read_dds(data, pos, keep_compressed, img)) images.push_back(std::move(img));
  return images;
}

void blur_alpha(uint8_t* rgba, int32_t width, int32_t height) {
  if (width < 3 || height < 3) return;
  const size_t w = size_t(width);
  std::vector<uint8_t> alpha(w * size_t(height));
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = rgba[i * 4 + 3];
  for (size_t y = 1; y + 1 < size_t(height); ++y)
    for (size_t x = 1; x + 1 < w; ++x) {
      unsigned sum = 0;
      for (size_t dy = 0; dy < 3; ++dy)
        for (size_t dx = 0; dx < 3; ++dx) sum += alpha[(y + dy - 1) * w + x + dx - 1];
      rgba[(y * w + x) * 4 + 3] = uint8_t((sum + 4) / 9);  // a ninth never ends in exactly .5
    }
}
