// cmd_image: what the texture loader makes of an image file: its format, size
// and a checksum of the decoded RGBA pixels, printed as JSON; --raw writes the
// pixels themselves.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include "base/sys.h"
#include "mesh/texfile.h"
#include "tool/commands.h"

int cmd_image(const astr& args) {
  const command_args a = parse_command_args(args, command_named("image"), 1, 1, {"--raw"});
  rgba_image img;
  const read_result r = decode_image(a.positional[0], img);
  if (!r) throw tool_error(r.message);
  const auto raw = a.options.find("--raw");
  if (raw != a.options.end()) replace_file(raw->second, img.pixels.data(), img.pixels.size());
  const uLong crc = crc32_z(crc32_z(0, nullptr, 0), img.pixels.data(), img.pixels.size());
  const nlohmann::ordered_json out = {
    {"format", image_format_name(img.format)}, {"width", img.width}, {"height", img.height}, {"crc32", crc}};
  std::printf("%s\n", out.dump(2).c_str());
  return 0;
}
