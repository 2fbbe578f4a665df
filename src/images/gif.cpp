#include "images/gif.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

namespace {

struct memory_source {
  byte_span data;
  size_t pos = 0;
};

int read_memory(GifFileType* gif, GifByteType* buf, int len) {
  auto* src = static_cast<memory_source*>(gif->UserData);
  const size_t n = std::min(size_t(std::max(len, 0)), src->data.size() - src->pos);
  std::memcpy(buf, src->data.data() + src->pos, n);
  src->pos += n;
  return int(n);
}

struct gif_closer {
  GifFileType* gif;
  ~gif_closer() {
    int err = 0;
    if (gif) DGifCloseFile(gif, &err);
  }
};

// Reads an extension record; a graphic control block may name the transparent index.
bool read_extension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block) {
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_ERROR) return false;
    transparent = gcb.TransparentColor;
  }
  while (block)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

// The rows of the image in the order they are stored.
std::vector<int> row_order(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
  return rows;
}

bool read_image(GifFileType* gif, int transparent, size_t file_bytes, rgba_image& out) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
  const GifImageDesc& d = gif->Image;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map || d.Width <= 0 || d.Height <= 0 || d.Left < 0 || d.Top < 0) return false;
  const int64_t w = gif->SWidth > 0 ? gif->SWidth : d.Width;
  const int64_t h = gif->SHeight > 0 ? gif->SHeight : d.Height;
  if (!allocate_image(out, w, h, image_gif, file_bytes)) return false;
  std::vector<GifPixelType> line(size_t(d.Width));
  for (int y : row_order(d.Height, d.Interlace)) {
    if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return false;
    if (d.Top + y >= h) continue;
    for (int x = 0; x < d.Width && d.Left + x < w; ++x) {
      uint8_t* px = &out.pixels[size_t((d.Top + y) * w + d.Left + x) * 4];
      const int i = line[size_t(x)];
      if (i == transparent) continue;  // stays transparent black
      const bool known = i < map->ColorCount;
      px[0] = known ? map->Colors[i].Red : 0;
      px[1] = known ? map->Colors[i].Green : 0;
      px[2] = known ? map->Colors[i].Blue : 0;
      px[3] = 255;
    }
  }
  return true;
}

}  // namespace

bool decode_gif(byte_span data, rgba_image& out) {
  memory_source src{data};
  int err = 0;
  gif_closer file{DGifOpen(&src, read_memory, &err)};
  if (!file.gif) return false;
  int transparent = NO_TRANSPARENT_COLOR;
  GifRecordType type;
  do {
    if (DGifGetRecordType(file.gif, &type) == GIF_ERROR) return false;
    if (type == EXTENSION_RECORD_TYPE && !read_extension(file.gif, transparent)) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return read_image(file.gif, transparent, data.size(), out);
  } while (type != TERMINATE_RECORD_TYPE);
  return false;  // no image in the file
}
