// Key names and scan codes, both ways.
#include <gtest/gtest.h>
#include "base/keynames.h"

TEST(KeyNames, NamesLettersCodesAndTheShownTextAllReadBack) {
  const std::pair<const char*, int> cases[] = {
      {"D", 0x20}, {"d", 0x20}, {"F5", 0x3F}, {"space", 0x39}, {"32", 32}, {" 63 ", 63}, {"32 D", 0x20},
      {"1", 1}, {"Delete", 0xD3}, {"xyz", -1}, {"256", -1}, {"-1", -1}, {"", -1}, {"33 D", -1},
  };
  for (const auto& [text, code] : cases) EXPECT_EQ(key_code_of(text), code) << text;
  for (int code = 0; code < 256; ++code) EXPECT_EQ(key_code_of(key_text(code)), code) << code;
  EXPECT_EQ(key_text(0x3F), "63 F5");
  EXPECT_EQ(key_text(0x54), "84");                // no name: the code alone
}
