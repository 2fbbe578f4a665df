// The number-text readers on any text. Integers read back exactly from the
// text written for them; decimals are finite and read back within one unit
// of the third decimal; lists give finite numbers.
#include <cmath>
#include <string_view>

#include "base/strval.h"
#include "fuzz_check.h"

namespace {

bool finite(const double* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

void check_decimal(double x) {
  fuzz_check(std::isfinite(x), "a decimal text reads as a finite number");
  const double back = text_to_decimal(decimal_to_text(x));
  // at most 3 decimals are written, fewer when the later ones are zero
  fuzz_check(std::fabs(back - x) <= 0.001 + std::fabs(x) * 1e-15, "a decimal reads back within its rounding");
  for (int d : {0, 3, 30}) fuzz_check(!decimal_to_text(x, d).empty(), "a text for every decimal count");
  fuzz_check(!quantity_to_text(x).empty(), "a quantity text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view s(reinterpret_cast<const char*>(data), size);
  const long long i = text_to_int(s);
  fuzz_check(text_to_int(int_to_text(i)) == i, "an integer reads back exactly");
  check_decimal(text_to_decimal(s));
  check_decimal(chars_to_decimal(s.data(), s.size()));
  double v[5];
  two_numbers(s, v[0], v[1]);
  fuzz_check(finite(v, 2), "two numbers");
  const vec3 p = three_numbers(s);
  fuzz_check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "three numbers");
  four_numbers(s, v);
  fuzz_check(finite(v, 4), "four numbers");
  five_numbers(s, v);
  fuzz_check(finite(v, 5), "five numbers");
  return 0;
}
