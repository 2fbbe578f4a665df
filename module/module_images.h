// module_images: the two vessel-module images carried as constant data.
//
// A module file is one of these images, byte for byte, followed by a design
// block and its length. The image with Payload Manager support is used when a
// design asks for the Payload Manager, the plain image otherwise. Both are
// exactly module_image_size (69,632) bytes.
//
// Builds on: nothing (the bytes are compiled in by the build).
#pragma once
#include <cstddef>
#include <cstdint>

struct module_image {
  const uint8_t* bytes;          // the image, read-only, lives for the whole run
  size_t size;                   // always 69,632
};

module_image module_image_pm();                     // "vrkdll.dll": with Payload Manager
module_image module_image_plain();                  // "vrkdll_nopm.dll": without
module_image module_image_for(bool payload_manager); // the image a design's flag selects
