// The Spacecraft3 import, from the text of a vessel file. Whatever it builds
// is a design that must save and read back to the same bytes.
#include <string>

#include "design/sc3import.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vessel_design d;
  import_sc3_text(d, std::string(reinterpret_cast<const char*>(data), size), sc3_default_name);
  check_design_round_trip(d);
  return 0;
}
