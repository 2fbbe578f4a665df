#include "generate/module_writer.h"

#include "design/designfile.h"
#include "generate/addon_names.h"

module_image chosen_module_image(const vessel_design& d) { return module_image_for(d.header.payload_manager != 0); }

std::string default_module_name(const vessel_design& d) {
  return module_entry_name(name_of(d.header.dll_name, sizeof d.header.dll_name));
}

std::vector<uint8_t> build_module(const vessel_design& d, module_image image) {
  std::vector<uint8_t> out(image.bytes, image.bytes + image.size);  // one copy of the image
  append_design_block(d, out);                                        // animations at rest
  return out;
}

std::vector<uint8_t> build_module(const vessel_design& d) { return build_module(d, chosen_module_image(d)); }

std::string module_target(const vessel_design& d, const std::string& name, const std::string& root) {
  return name.empty() ? target_path(root, checked_target_name(default_module_name(d), "DLL name")) : name;
}

std::string write_module_file(const vessel_design& d, const std::string& name, const std::string& root) {
  const std::string target = module_target(d, name, root);
  module_image image = chosen_module_image(d);
  write_design_file(d, target, image.bytes, image.size);
  return target;
}
