#include "images/png.h"

#include <png.h>

#include <string>

#include "base/asys.h"

bool decode_png(byte_span data, rgba_image& out) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&img, data.data(), data.size())) return false;
  img.format = PNG_FORMAT_RGBA;
  // The header alone can claim a huge picture; check it before allocating.
  if (!allocate_image(out, img.width, img.height, image_png, data.size())) {
    png_image_free(&img);
    return false;
  }
  const bool ok = png_image_finish_read(&img, nullptr, out.pixels.data(), 0, nullptr) != 0;
  png_image_free(&img);  // harmless after finish_read, needed after a failure
  return ok;
}

std::vector<uint8_t> encode_png(const rgba_image& img) {
  png_image p{};
  p.version = PNG_IMAGE_VERSION;
  p.width = uint32_t(img.width);
  p.height = uint32_t(img.height);
  p.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&p, nullptr, &size, 0, img.pixels.data(), 0, nullptr))
    throw io_error(std::string("PNG encoding failed: ") + p.message);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&p, out.data(), &size, 0, img.pixels.data(), 0, nullptr))
    throw io_error(std::string("PNG encoding failed: ") + p.message);
  out.resize(size);
  return out;
}
