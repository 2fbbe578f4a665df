// The design block read from the end of a design file or a module, as the
// designer's Load and the tool's commands read it: from a file, of which only
// the block is read. A block that reads must write and read back to the same
// bytes; one that does not leaves a message.
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vessel_design d;
  const design_read_result r = read_design_file(d, scratch_file("fuzz.vessdef", data, size));
  if (r.status != design_read_ok) {
    fuzz_check(!r.message.empty(), "a refused block says why");
    return 0;
  }
  check_design_round_trip(d);
  return 0;
}
