#include "mesh/texfile.h"

#include <cstring>

#include "base/asys.h"
#include "base/instpath.h"
#include "mesh/dds.h"

std::string locate_file(const std::string& path) {
  const std::string p = to_slashes(path);
  if (file_exists(p)) return p;
  if (p.empty()) return "";
  const std::string found = p[0] == '/' ? install_path("/", p.substr(1)) : install_path("", p);
  return !found.empty() && file_exists(found) ? found : "";
}

bool decode_image_bytes(byte_span data, rgba_image& out, uint32_t key) {
  out = rgba_image{};
  if (data.size() < 4 || std::memcmp(data.data(), "DDS ", 4) != 0) return decode_picture(data, key, out);
  dds_image dds;
  size_t pos = 0;
  if (!read_dds(data, pos, false, dds)) return false;
  out.width = int32_t(dds.width);
  out.height = int32_t(dds.height);
  out.pixels = std::move(dds.pixels);
  out.format = image_dds;
  return true;
}

read_result decode_image(const std::string& path, rgba_image& out, uint32_t key) {
  out = rgba_image{};
  const std::string found = locate_file(path);
  if (found.empty()) return read_failure(read_missing, path + ": file not found");
  std::vector<uint8_t> bytes;
  read_result r = read_file_bytes(found, bytes);
  if (r && !decode_image_bytes(bytes, out, key))
    r = read_failure(read_not_format, path + ": no image recognised (DDS, BMP, PNG, JPEG or GIF), or its data is damaged");
  return r;
}
