// The texture loader's entry point, which recognises DDS, BMP, PNG, JPEG and
// GIF by the first bytes. A decoded image has width x height x 4 bytes; a
// failed one is empty. DDS data are also read as the GL upload keeps them,
// compressed, where the kept blocks must be exactly what the size needs.
#include <cstring>

#include "fuzz_check.h"
#include "mesh/dds.h"
#include "mesh/texfile.h"

namespace {

void check_decoded(byte_span data) {
  rgba_image img;
  // The last byte picks a colour key, so the keyed path is covered too.
  const uint32_t key = data.empty() || data.back() & 1 ? no_colour_key : 0xFF00FFu;
  if (!decode_image_bytes(data, img, key)) {
    fuzz_check(img.pixels.empty() && img.width == 0 && img.height == 0, "a failed image is empty");
    return;
  }
  fuzz_check(img.width > 0 && img.height > 0 && img.format != image_none, "a decoded image has a size and format");
  fuzz_check(img.pixels.size() == size_t(img.width) * size_t(img.height) * 4, "width x height x 4 bytes");
}

void check_kept(byte_span data) {
  dds_image dds;
  size_t pos = 0;
  if (!read_dds(data, pos, true, dds)) return;
  fuzz_check(pos <= data.size() && dds.width > 0 && dds.height > 0, "position and size");
  if (dds.format == dxt1 || dds.format == dxt3 || dds.format == dxt5)
    fuzz_check(dds.compressed.size() == dxt_data_size(dds.format, dds.width, dds.height), "whole blocks kept");
  else if (dds.format == dxt_none)
    fuzz_check(dds.pixels.size() == size_t(dds.width) * dds.height * 4, "uncompressed data decoded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const byte_span bytes(data, size);
  check_decoded(bytes);
  if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) check_kept(bytes);
  return 0;
}
