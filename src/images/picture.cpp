#include "images/picture.h"

#include <cstring>

#include "images/bmp.h"
#include "images/gif.h"
#include "images/jpg.h"
#include "images/png.h"

namespace {

using decoder = bool (*)(byte_span, rgba_image&);

bool starts_with(byte_span d, size_t at, const char* text, size_t n) {
  return d.size() >= at + n && std::memcmp(d.data() + at, text, n) == 0;
}

bool is_bmp(byte_span d) {
  if (d.size() <= 53 || !starts_with(d, 0, "BM", 2)) return false;
  return bmp_known_depth(d[28] | d[29] << 8);
}

bool is_png(byte_span d) {
  return d.size() > 8 && starts_with(d, 0, "\x89PNG\r\n\x1a\n", 8);
}

// Only JFIF files: an Exif (APP1) header is not accepted.
bool is_jpeg(byte_span d) {
  return d.size() > 12 && starts_with(d, 0, "\xff\xd8\xff\xe0", 4) && starts_with(d, 6, "JFIF", 5);
}

bool is_gif(byte_span d) {
  return d.size() > 13 && (starts_with(d, 0, "GIF87a", 6) || starts_with(d, 0, "GIF89a", 6));
}

struct format_entry {
  image_format format;
  bool (*recognise)(byte_span);
  decoder decode;
};

// In the order the formats are tried.
const format_entry formats[] = {
  {image_bmp, is_bmp, decode_bmp},
  {image_png, is_png, decode_png},
  {image_jpeg, is_jpeg, decode_jpeg},
  {image_gif, is_gif, decode_gif},
};

// The most pixels one byte of a file can code, with room to spare: deflate packs
// at most 1032 bytes into one, so 1-bit PNG rows about 8,256 pixels; a 12-bit GIF
// code stands for at most 4,096 pixels; a Huffman-coded JPEG spends at least a
// bit on each 8 x 8 block; a BMP run codes at most 255 pixels in two bytes. A
// header claiming more is damaged or hostile (a bitmap that skips most of its
// area is refused with it).
int64_t max_pixels_per_byte(image_format f) {
  return f == image_png ? int64_t(1) << 14 : int64_t(1) << 12;
}

}  // namespace

image_format recognise_picture(byte_span data) {
  for (const format_entry& f : formats)
    if (f.recognise(data)) return f.format;
  return image_none;
}

bool decode_picture(byte_span data, uint32_t key, rgba_image& out) {
  out = rgba_image{};
  for (const format_entry& f : formats) {
    if (!f.recognise(data)) continue;
    if (!f.decode(data, out)) {
      out = rgba_image{};
      return false;
    }
    out.format = f.format;
    apply_colour_key(out, key);
    return true;
  }
  return false;
}

bool allocate_image(rgba_image& out, int64_t width, int64_t height, image_format f, size_t file_bytes) {
  if (width <= 0 || height <= 0 || width > max_image_pixels || height > max_image_pixels ||
      width * height > max_image_pixels || width * height / max_pixels_per_byte(f) > int64_t(file_bytes))
    return false;
  out.width = int32_t(width);
  out.height = int32_t(height);
  out.format = f;
  out.pixels.assign(size_t(width * height) * 4, 0);
  return true;
}

void apply_colour_key(rgba_image& img, uint32_t key) {
  if (key > 0xFFFFFF) return;
  const uint8_t r = key & 0xFF, g = key >> 8 & 0xFF, b = key >> 16 & 0xFF;
  for (size_t i = 0; i + 3 < img.pixels.size(); i += 4) {
    uint8_t* p = &img.pixels[i];
    if (p[0] == r && p[1] == g && p[2] == b) p[3] = 0;
  }
}

const char* image_format_name(image_format f) {
  static const char* const names[] = {"", "dds", "bmp", "png", "jpeg", "gif"};
  return unsigned(f) < std::size(names) ? names[f] : "";
}
