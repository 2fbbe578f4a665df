// The OBJ import on a file "model.obj" (its MTL, if it names one, is missing).
#include "fuzz_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_import("model.obj", data, size);
  return 0;
}
