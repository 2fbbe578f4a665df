// The text parser as the settings reader calls it (KEY=value, blanks kept)
// and without kept blanks. Every record is one line of at most the line
// limit, without line ends, whose key and value come from that line.
#include "base/parser.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  for (bool keep_blanks : {true, false}) {
    preca records;
    parse_text(text, size, keep_blanks, '=', records);
    for (const parserectyp& r : records) {
      fuzz_check(r.line.size() <= size_t(parser_line_limit), "a line within the limit");
      fuzz_check(r.line.find_first_of("\r\n") == std::string::npos, "no line ends kept");
      fuzz_check(r.key.size() + r.value.size() <= r.line.size(), "key and value come from the line");
      fuzz_check(r.is_positive == (r.as_int > 0), "the positive flag");
    }
  }
  return 0;
}
