#include "base/strval.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "common/scratch_dir.h"

TEST(Strval, AutomaticDecimals) {
  EXPECT_EQ(automatic_decimals(3), 0);
  EXPECT_EQ(automatic_decimals(2.5), 1);
  EXPECT_EQ(automatic_decimals(0.05), 2);
  EXPECT_EQ(automatic_decimals(-0.05), 2);
  EXPECT_EQ(automatic_decimals(0.125), 3);
  EXPECT_EQ(automatic_decimals(0.1234), 3);
  EXPECT_EQ(automatic_decimals(0.1), 1);      // 0.1·10 is a hair above 1
  EXPECT_EQ(automatic_decimals(-1.21), 2);    // the second step is a hair below 1: still the digit 1
  EXPECT_EQ(automatic_decimals(0.0999999), 1);
  EXPECT_EQ(decimal_to_text(1.41), "1.41");
  EXPECT_EQ(automatic_decimals(1e20), 0);
  EXPECT_EQ(automatic_decimals(NAN), 0);
}

TEST(Strval, DecimalToText) {
  EXPECT_EQ(decimal_to_text(3), "3");
  EXPECT_EQ(decimal_to_text(2.5), "2.5");
  EXPECT_EQ(decimal_to_text(-0.05), "-0.05");
  EXPECT_EQ(decimal_to_text(0.1234), "0.123");
  EXPECT_EQ(decimal_to_text(1.0 / 3, 4), "0.3333");
  EXPECT_EQ(decimal_to_text(-12, 2), "-12.00");
  EXPECT_EQ(decimal_to_text(2.75, 0), "3");
  EXPECT_EQ(decimal_to_text(-0.0001, 2), "0.00");  // rounds to zero: no sign
  EXPECT_EQ(decimal_to_text(-0.0), "0");
  EXPECT_EQ(decimal_to_text(5, -3), "5");          // a negative count other than -99 means none
  EXPECT_EQ(decimal_to_text(1e300, 2).size(), 301u + 3u);
}

TEST(Strval, IntegerTexts) {
  EXPECT_EQ(int_to_text(0), "0");
  EXPECT_EQ(int_to_text(-1234567), "-1234567");
  EXPECT_EQ(int_to_text(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(text_to_int("  42 \t"), 42);
  EXPECT_EQ(text_to_int("-17"), -17);
  EXPECT_EQ(text_to_int("+5"), 5);
  EXPECT_EQ(text_to_int("12abc"), 12);  // read as far as it goes
  EXPECT_EQ(text_to_int("abc"), 0);
  EXPECT_EQ(text_to_int(""), 0);
  EXPECT_EQ(text_to_int("-"), 0);
  EXPECT_EQ(text_to_int("99999999999999999999"), LLONG_MAX);
  EXPECT_EQ(text_to_int("-9223372036854775808"), LLONG_MIN);
}

TEST(Strval, TextToDecimal) {
  EXPECT_DOUBLE_EQ(text_to_decimal(" 1.5e3 "), 1500);
  EXPECT_DOUBLE_EQ(text_to_decimal("-0.25"), -0.25);
  EXPECT_DOUBLE_EQ(text_to_decimal("+2"), 2);
  EXPECT_DOUBLE_EQ(text_to_decimal(".5"), 0.5);
  EXPECT_DOUBLE_EQ(text_to_decimal("3.5kg"), 3.5);
  EXPECT_DOUBLE_EQ(text_to_decimal("abc"), 0);
  EXPECT_DOUBLE_EQ(text_to_decimal("inf"), 0);
  EXPECT_DOUBLE_EQ(text_to_decimal("-nan"), 0);
  EXPECT_DOUBLE_EQ(text_to_decimal("1e999"), 0);
  EXPECT_DOUBLE_EQ(text_to_decimal("1,5"), 1);  // a comma is never a decimal separator
  const char field[8] = {'1', '2', '.', '5', 0, '9', '9', '9'};
  EXPECT_DOUBLE_EQ(chars_to_decimal(field, sizeof field), 12.5);
  const char full[4] = {'1', '2', '3', '4'};  // no NUL: the field size bounds it
  EXPECT_DOUBLE_EQ(chars_to_decimal(full, 3), 123);
}

TEST(Strval, CharacterPositions) {
  EXPECT_EQ(char_pos("a,b,c", ','), 2);
  EXPECT_EQ(char_pos("abc", ','), 0);
  EXPECT_EQ(char_pos("a\tb c", ' '), 2);  // a tab matches a space
  EXPECT_EQ(char_pos("a\tb", '\t'), 2);
  EXPECT_EQ(char_pos_nth("a b\tc d", ' ', 2), 4);
  EXPECT_EQ(char_pos_nth("a b\tc d", ' ', 3), 6);
  EXPECT_EQ(char_pos_nth("a b", ' ', 2), 0);
  EXPECT_EQ(char_pos_nth("a b", ' ', 0), 0);
  EXPECT_EQ(collapse_runs("a   b  c ", ' '), "a b c ");
  EXPECT_EQ(collapse_runs(",,x,,,", ','), ",x,");
  EXPECT_EQ(collapse_runs("", ' '), "");
}

TEST(Strval, QuantityToText) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},           {999, "999"},         {1500, "1.5k"},
      {-1500, "-1.5k"},   {12500, "12.5k"},     {2000000, "2M"},
      {2500000, "2.5M"},  {1.5e11, "1.003AU"},  {2 * light_year, "2le"},
      {5e3 * light_year, "5kle"}, {3e6 * light_year, "3Mle"}, {2e9 * light_year, "2Gle"},
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(quantity_to_text(x), text) << x;
  EXPECT_EQ(quantity_to_text(5e3 * astronomical_unit), "5000AU");
  // Forces, masses and speeds go on with prefixes where distances turn to astronomical units.
  const std::pair<double, const char*> si_cases[] = {
      {999, "999"}, {2500000, "2.5M"}, {2e9, "2G"}, {-2e9, "-2G"}, {1.5e12, "1.5T"}, {4e15, "4P"}, {3e21, "3000E"},
  };
  for (const auto& [x, text] : si_cases) EXPECT_EQ(si_quantity_to_text(x), text) << x;
}

TEST(Strval, ThreeNumbersReadAlike) {
  for (const char* s : {"1, 2, 3", "1 2 3", "1,2,3", "1    2   3", "1,   2,  3", "1\t2\t3", " 1 2 3 "}) {
    vec3 v = three_numbers(s);
    EXPECT_EQ(v.x, 1) << s;
    EXPECT_EQ(v.y, 2) << s;
    EXPECT_EQ(v.z, 3) << s;
  }
}

TEST(Strval, NumberListsWithMissingParts) {
  double a, b;
  two_numbers("5", a, b);  // no separator: leading values 0, the text the last
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 5);
  two_numbers("1.5, -2e1", a, b);
  EXPECT_EQ(a, 1.5);
  EXPECT_EQ(b, -20);
  vec3 v = three_numbers("7");
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.z, 7);
  v = three_numbers("1 2");  // a missing separator lies past the end
  EXPECT_EQ(v.y, 2);
  EXPECT_EQ(v.z, 0);
  double q[4];
  four_numbers("1 2 3 4 5", q);  // the last piece runs to the end
  EXPECT_EQ(q[2], 3);
  EXPECT_EQ(q[3], 4);
  double f[5];
  five_numbers("1,2,3", f);
  EXPECT_EQ(f[2], 3);
  EXPECT_EQ(f[3], 0);
  EXPECT_EQ(f[4], 0);
  five_numbers("1,2,3,4,5", f);
  EXPECT_EQ(f[4], 5);
  five_numbers("9 8 7 6,5", f);  // commas first, spaces where commas run out
  EXPECT_EQ(f[0], 9);
  four_numbers("", q);
  EXPECT_EQ(q[0] + q[1] + q[2] + q[3], 0);
}

// Builds a German locale in a temporary folder when the system has none installed.
static bool use_comma_locale(scratch_dir& t) {
#ifdef _WIN32
  return std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;   // Windows has every locale
#else
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return true;
  std::string cmd = "localedef -i de_DE -f UTF-8 " + t.file("de_DE.UTF-8") + " >/dev/null 2>&1";
  if (t.path.empty() || std::system(cmd.c_str()) != 0) return false;
  setenv("LOCPATH", t.path.c_str(), 1);
  bool ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  unsetenv("LOCPATH");
  return ok;
#endif
}

TEST(Strval, NumberTextsIgnoreTheLocale) {
  scratch_dir t;
  if (!use_comma_locale(t)) GTEST_SKIP() << "no locale with a decimal comma available";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  std::string seen = probe;
  std::string texts[] = {decimal_to_text(2.5), quantity_to_text(1.5e11), decimal_to_text(-1234.5678, 2)};
  double read = text_to_decimal("1.25");
  vec3 v = three_numbers("1.5, 2.5, 3.5");
  std::setlocale(LC_ALL, "C");
  ASSERT_EQ(seen, "1,5");  // the locale really was active
  EXPECT_EQ(texts[0], "2.5");
  EXPECT_EQ(texts[1], "1.003AU");
  EXPECT_EQ(texts[2], "-1234.57");
  EXPECT_EQ(read, 1.25);
  EXPECT_EQ(v.y, 2.5);
}

TEST(Strval, TrimAndCase) {
  EXPECT_EQ(trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(trim(" \t"), "");
  EXPECT_EQ(lower_case("MiXed_9\xC4"), "mixed_9\xC4");   // only ASCII letters change
  EXPECT_EQ(upper_case("empty_mass"), "EMPTY_MASS");
  EXPECT_TRUE(same_ignoring_case("Meshes", "mESHES"));
  EXPECT_FALSE(same_ignoring_case("Meshes", "Meshe"));
  EXPECT_FALSE(same_ignoring_case("[", "{"));              // 0x5B and 0x7B differ by the case bit only
}
