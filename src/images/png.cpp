#include "images/png.h"

#include <png.h>

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
