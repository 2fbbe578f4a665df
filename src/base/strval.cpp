// strval: number texts. std::to_chars / std::from_chars keep "." whatever the locale.
#include "base/strval.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

static char upper_ascii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

std::string lower_case(std::string_view s) {
  std::string t(s);
  for (char& c : t) c = lower_ascii(c);
  return t;
}

std::string upper_case(std::string_view s) {
  std::string t(s);
  for (char& c : t) c = upper_ascii(c);
  return t;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower_ascii(x) == lower_ascii(y); });
}

static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Splits off an optional sign; from_chars itself accepts only "-".
static bool take_sign(std::string_view& s) {
  bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  return negative;
}

// --- Integers ------------------------------------------------------------------------

std::string int_to_text(long long v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

long long text_to_int(std::string_view s) {
  s = trim(s);
  bool negative = take_sign(s);
  unsigned long long u = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), u);
  if (r.ec == std::errc::result_out_of_range) return negative ? LLONG_MIN : LLONG_MAX;
  if (r.ec != std::errc()) return 0;
  if (negative) return u > 1ull + LLONG_MAX ? LLONG_MIN : (long long)(0 - u);
  return u > (unsigned long long)LLONG_MAX ? LLONG_MAX : (long long)u;
}

// --- Decimals ------------------------------------------------------------------------

int automatic_decimals(double x) {
  double a = std::fabs(x);
  double f = a - std::trunc(a);
  int d = 0;
  for (int i = 1; i <= 3; i++) {
    f *= 10;
    // A digit counts when it rounds to 1 or more: 1.21's second step gives
    // 0.99999999999999..., which is the digit 1, not a 0 ending the number.
    if (f + decimal_threshold >= 1) d = i;
    if (std::fabs(f - std::round(f)) < decimal_threshold) break;
    f -= std::trunc(f);
  }
  return d;
}

std::string decimal_to_text(double x, int d) {
  if (d == auto_decimals) d = automatic_decimals(x);
  d = d < 0 ? 0 : (d > 30 ? 30 : d);
  char buf[400];  // the largest double has 309 integer digits
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, d);
  std::string text(buf, r.ptr);
  // A value that rounds to zero prints without a sign: "-0.00" would read as negative.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

double text_to_decimal(std::string_view s) {
  s = trim(s);
  bool negative = take_sign(s);
  // Only digits or a point may follow the sign: "inf" and "nan" are not numbers here.
  if (s.empty() || !(is_digit(s.front()) || s.front() == '.')) return 0;
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (r.ec != std::errc()) return 0;  // no digits, or out of range
  return negative ? -v : v;
}

bool is_whole_number(std::string_view s, bool integer) {
  s = trim(s);
  take_sign(s);
  if (s.empty() || !(is_digit(s.front()) || (!integer && s.front() == '.'))) return false;
  const char* end = s.data() + s.size();
  if (integer) {
    unsigned long long u;
    const auto r = std::from_chars(s.data(), end, u);
    return r.ec == std::errc() && r.ptr == end;
  }
  double v;
  const auto r = std::from_chars(s.data(), end, v, std::chars_format::general);
  return r.ec == std::errc() && r.ptr == end;
}

double chars_to_decimal(const char* chars, size_t size) {
  size_t n = 0;
  while (n < size && chars[n]) n++;
  return text_to_decimal(std::string_view(chars, n));
}

// --- Character positions ---------------------------------------------------------------

static bool matches(char ch, char c) { return ch == c || (c == ' ' && ch == '\t'); }

int char_pos(std::string_view s, char c) { return char_pos_nth(s, c, 1); }

int char_pos_nth(std::string_view s, char c, int n) {
  if (n < 1) return 0;
  for (size_t i = 0; i < s.size(); i++)
    if (matches(s[i], c) && --n == 0) return int(i + 1);
  return 0;
}

std::string collapse_runs(std::string_view s, char c) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s)
    if (ch != c || out.empty() || out.back() != c) out += ch;
  return out;
}

// --- Quantities --------------------------------------------------------------------------

struct quantity_range {
  double below;      // |x| under this uses this row
  double divisor;    // printed value is x / divisor
  const char* unit;  // text after the number
};

static const quantity_range quantity_ranges[] = {
    {1e3, 1, ""},
    {1e6, 1e3, "k"},
    {1e9, 1e6, "M"},
    {1e4 * astronomical_unit, astronomical_unit, "AU"},
    {1e3 * light_year, light_year, "le"},
    {1e6 * light_year, 1e3 * light_year, "kle"},
    {1e9 * light_year, 1e6 * light_year, "Mle"},
    {INFINITY, 1e9 * light_year, "Gle"},
};

// Quantities that are no distances: astronomical units would mean nothing for them.
static const quantity_range si_ranges[] = {
    {1e3, 1, ""}, {1e6, 1e3, "k"}, {1e9, 1e6, "M"}, {1e12, 1e9, "G"},
    {1e15, 1e12, "T"}, {1e18, 1e15, "P"}, {INFINITY, 1e18, "E"},
};

static std::string ranged_text(double x, const quantity_range* r) {
  if (!std::isfinite(x)) return decimal_to_text(x);
  double a = std::fabs(x);
  while (a >= r->below) r++;  // the last row is open-ended
  return decimal_to_text(x / r->divisor) + r->unit;
}

std::string quantity_to_text(double x) { return ranged_text(x, quantity_ranges); }
std::string si_quantity_to_text(double x) { return ranged_text(x, si_ranges); }

// --- Number lists ---------------------------------------------------------------------

// Reads count numbers separated by commas, or by spaces where the k-th comma is missing.
// No separator at all: leading values 0, the whole text the last value. Otherwise a
// missing separator lies just past the end, so the values after it read 0. Leading
// blanks separate nothing, so they go first.
static void number_list(std::string_view s, double* out, int count) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  std::string t = collapse_runs(s, ' ');
  const int len = int(t.size());
  int sep[4];  // 0-based separator indices; lists have at most five numbers
  int prev = -1;
  for (int k = 1; k < count; k++) {
    int p = char_pos_nth(t, ',', k);
    if (p == 0) p = char_pos_nth(t, ' ', k);
    p = (p == 0 || p - 1 <= prev) ? len : p - 1;  // a separator must lie after the previous one
    sep[k - 1] = prev = p;
  }
  if (count > 1 && sep[0] == len) {
    for (int k = 0; k < count - 1; k++) out[k] = 0;
    out[count - 1] = text_to_decimal(t);
    return;
  }
  int start = 0;
  for (int k = 0; k < count; k++) {
    int end = k < count - 1 ? sep[k] : len;
    out[k] = start < end ? text_to_decimal(std::string_view(t).substr(start, end - start)) : 0;
    start = end < len ? end + 1 : len;
  }
}

void two_numbers(std::string_view s, double& a, double& b) {
  double v[2];
  number_list(s, v, 2);
  a = v[0];
  b = v[1];
}

vec3 three_numbers(std::string_view s) {
  double v[3];
  number_list(s, v, 3);
  return {v[0], v[1], v[2]};
}

void four_numbers(std::string_view s, double out[4]) { number_list(s, out, 4); }
void five_numbers(std::string_view s, double out[5]) { number_list(s, out, 5); }
