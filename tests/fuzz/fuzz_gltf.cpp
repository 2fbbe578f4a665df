// The glTF import on a file "model.gltf": JSON, or binary glTF told by its magic.
#include "fuzz_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_import("model.gltf", data, size);
  return 0;
}
