// module_writer: vessel modules made of a finished module image and the design.
//
// A vessel module is never compiled: one of the two module images, chosen by
// the design's payload_manager flag, is copied unchanged and the design block
// follows it, with the block length as the file's last 4 bytes. The module
// finds its vessel from the end of its own file. The design file writer puts
// the same block after the image, so modules and design files always carry
// identical blocks.
//
// Builds on: designfile (the one block writer), module_images (the two
// images), addon_names (default name, root check).
//
// Notes: both ways of building first put every animation of the live design at
// rest at 0; that change stays in the editor.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "design/kvvar.h"
#include "module_images.h"

module_image chosen_module_image(const vessel_design& d);             // with Payload Manager when the flag is set
std::string default_module_name(const vessel_design& d);             // "modules\" + dll_name + ".dll"
std::vector<uint8_t> build_module(const vessel_design& d, module_image image);  // image + block + length
std::vector<uint8_t> build_module(const vessel_design& d);                 // with the chosen image
// Writes the module to name, or to the default name below root when name is
// empty; io_error when it cannot be written or dll_name would leave the root.
std::string module_target(const vessel_design& d, const std::string& name, const std::string& root = "."); // name, or the default below root
std::string write_module_file(const vessel_design& d, const std::string& name, const std::string& root = "."); // returns the path written
