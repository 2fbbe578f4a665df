// texfile: the one entry point that turns a texture file into RGBA pixels.
//
// The format is chosen from the first bytes, in this order: DDS, BMP, PNG,
// JPEG (JFIF only), GIF. The mesh reader, the preview's sprites and the tool
// all load images through here. Paths may use "\" or "/"; when the exact path
// does not exist it is matched case-insensitively, component by component, as
// the installation's folders are named with any capitalisation.
//
// Builds on: dds, images/picture, base/instpath, base/asys.
//
// Notes: a missing, unreadable or unrecognised file, or damaged data, gives an
// empty image and says which it was (the preview shows no texture; the tool
// and the generator can name the cause).
#pragma once
#include <string>

#include "base/asys.h"
#include "images/picture.h"

std::string locate_file(const std::string& path);                  // path, or its any-case match; "" when none
bool decode_image_bytes(byte_span data, rgba_image& out, uint32_t key = no_colour_key); // whole file in memory
read_result decode_image(const std::string& path, rgba_image& out, uint32_t key = no_colour_key); // file by path
