// parser: splits a configuration text into lines, each line into key and value, and
// reads the value's numbers once so that callers take whichever form they need.
#include "base/parser.h"

#include <climits>

#include "base/asys.h"
#include "base/strval.h"

// Collects the next line from buffer[pos..length): up to a line feed (consumed), the
// line limit or the end. Carriage returns and line feeds are not stored.
static void next_line(const char* buffer, size_t length, size_t& pos, std::string& line) {
  line.clear();
  while (pos < length && int(line.size()) < parser_line_limit) {
    char c = buffer[pos++];
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
}

static bool is_blank(char c) { return c == ' ' || c == '\t'; }
static bool starts_number(char c) { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

// What one line holds once comments are removed.
struct line_parts {
  std::string key;      // before the separator
  std::string value;    // after it, to the end or a trailing comment
  int separators = 0;   // commas and kept blanks of the value
  bool real = false;    // the value has a "." or an exponent mark
  bool cut = false;     // a trailing ";" or "//" ended the scan
};

static void add_key_char(line_parts& p, char c, bool keep_blanks) {
  if (c == '\t' || (c == ' ' && !keep_blanks)) return;
  p.key += c;
}

static void add_value_char(line_parts& p, char c, bool keep_blanks) {
  if (is_blank(c)) {
    if (p.value.empty() || !keep_blanks) return;  // leading blanks always go
    p.separators++;
  } else if (c == ',') {
    p.separators++;
  } else if (c == '.' || c == 'e' || c == 'E') {
    p.real = true;
  }
  p.value += c;
}

// Scans a line, carrying the brace-comment state in and out.
static line_parts split_line(const std::string& line, bool keep_blanks, char separator,
                             bool& in_comment) {
  line_parts p;
  bool in_value = false;
  for (size_t i = 0; i < line.size(); i++) {
    char c = line[i];
    if (in_comment) {
      in_comment = c != '}';
    } else if (c == '{') {
      in_comment = true;
    } else if (!in_value) {
      if (c == separator) in_value = true;
      else add_key_char(p, c, keep_blanks);
    } else if (c == ';' || (c == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
      p.cut = true;  // the rest of the line is a trailing comment, braces included
      break;
    } else {
      add_value_char(p, c, keep_blanks);
    }
  }
  return p;
}

static int32_t to_i32(long long v) {
  return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : int32_t(v));
}

static void read_numbers(parserectyp& r, int separators, bool real) {
  if (r.value.empty() || !starts_number(r.value[0])) return;
  r.as_int = to_i32(text_to_int(r.value));
  r.as_real = real ? text_to_decimal(r.value) : r.as_int;
  if (separators >= 1) two_numbers(r.value, r.as_pair[0], r.as_pair[1]);
  if (separators >= 2) r.as_vec = three_numbers(r.value);
  if (separators >= 3) four_numbers(r.value, r.as_quad);
  if (separators >= 4) five_numbers(r.value, r.as_quint);
  r.is_positive = r.as_int > 0;
}

static bool is_brace(char c) { return c == '{' || c == '}'; }

// Whole-line comments are skipped outright; short lines still open and close brace
// comments (a lone "{" or "}" line) but give no record.
static void take_line(const std::string& line, bool keep_blanks, char separator,
                      bool& in_comment, preca& out) {
  if (line.starts_with("//") || line.starts_with(";")) return;
  line_parts p = split_line(line, keep_blanks, separator, in_comment);
  bool edge = !p.cut && !line.empty() && is_brace(line.back());
  if (line.size() <= 2 || in_comment != edge) return;
  parserectyp r;
  r.key = std::move(p.key);
  r.value = std::move(p.value);
  r.line = line;
  read_numbers(r, p.separators, p.real);
  out.push_back(std::move(r));
}

void parse_text(const char* buffer, size_t length, bool keep_blanks, char separator, preca& out) {
  bool in_comment = false;
  size_t pos = 0;
  std::string line;
  while (pos < length) {
    next_line(buffer, length, pos, line);
    take_line(line, keep_blanks, separator, in_comment, out);
  }
}

read_result parse_file(const std::string& name, bool keep_blanks, char separator, preca& out) {
  std::vector<uint8_t> data;
  const read_result r = read_file_bytes(name, data);
  if (r) parse_text(reinterpret_cast<const char*>(data.data()), data.size(), keep_blanks, separator, out);
  return r;
}
