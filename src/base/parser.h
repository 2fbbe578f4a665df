// parser: KEY<separator>VALUE configuration texts into records.
//
// Each accepted line becomes one parserectyp holding the key, the value text
// and the value already read as an integer, a real and lists of 2 to 5 numbers.
//
// Builds on: asys (file reading), strval (number texts).
#pragma once
#include <string>
#include <vector>
#include "base/asys.h"
#include "base/maths.h"

struct parserectyp {
  std::string key;            // text before the separator
  std::string value;          // text after the separator
  std::string line;           // the whole line as read
  int32_t as_int = 0;         // integer value of value
  bool is_positive = false;   // as_int > 0
  double as_real = 0;         // real value of value
  double as_pair[2] = {};     // first two numbers
  double as_quad[4] = {};     // first four numbers
  double as_quint[5] = {};    // first five numbers
  vec3 as_vec = {};           // first three numbers
};
using preca = std::vector<parserectyp>;

constexpr int parser_line_limit = 250;   // characters collected before a line is cut

// Appends one record per accepted line of buffer[0..length).
void parse_text(const char* buffer, size_t length, bool keep_blanks, char separator, preca& out);
// Reads the whole file and parses it; a file that is missing or cannot be read
// leaves out unchanged and the result says which.
read_result parse_file(const std::string& name, bool keep_blanks, char separator, preca& out);
