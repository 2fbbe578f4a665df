// The Spacecraft3 import, from the text of a vessel file. Whatever it builds
// is a design that must save and read back to the same bytes; a text that is
// no vessel file at all (no section) is refused with io_error, which is fine.
#include <string>

#include "base/asys.h"
#include "design/sc3import.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vessel_design d;
  try {
    import_sc3_text(d, std::string(reinterpret_cast<const char*>(data), size), sc3_default_name);
  } catch (const io_error&) {
    return 0;
  }
  check_design_round_trip(d);
  return 0;
}
