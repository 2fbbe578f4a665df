#include "base/parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "common/scratch_dir.h"

static preca parse(const std::string& text, bool keep_blanks = false, char separator = '=') {
  preca out;
  parse_text(text.data(), text.size(), keep_blanks, separator, out);
  return out;
}

TEST(Parser, KeyAndValueWithAndWithoutBlanks) {
  preca kept = parse("size = 12", true);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].key, "size ");
  EXPECT_EQ(kept[0].value, "12");
  EXPECT_EQ(kept[0].line, "size = 12");
  EXPECT_EQ(kept[0].as_int, 12);
  EXPECT_EQ(kept[0].as_real, 12.0);
  EXPECT_TRUE(kept[0].is_positive);
  preca dropped = parse("size = 12");
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].key, "size");
  EXPECT_EQ(dropped[0].value, "12");
  preca tabs = parse("\tau\tthor name\t=\t Ann Lee", true);
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0].key, "author name");
  EXPECT_EQ(tabs[0].value, "Ann Lee");
  EXPECT_EQ(parse("author_name=Ann Lee")[0].value, "AnnLee");  // blanks inside go too
}

TEST(Parser, NumericFields) {
  preca r = parse("v=1,2,3\nx=1.5e3\nn=abc\nm=-3\np=+7\nbig=99999999999\nE=2E2");
  ASSERT_EQ(r.size(), 7u);
  EXPECT_EQ(r[0].as_vec.x, 1);
  EXPECT_EQ(r[0].as_vec.z, 3);
  EXPECT_EQ(r[0].as_pair[0], 1);
  EXPECT_EQ(r[0].as_pair[1], 2);
  EXPECT_EQ(r[0].as_quad[0], 0);  // needs three separators
  EXPECT_EQ(r[0].as_quad[3], 0);
  EXPECT_EQ(r[1].as_real, 1500.0);
  EXPECT_EQ(r[1].as_int, 1);
  EXPECT_EQ(r[2].value, "abc");
  EXPECT_EQ(r[2].as_int, 0);
  EXPECT_EQ(r[2].as_real, 0);
  EXPECT_FALSE(r[2].is_positive);
  EXPECT_EQ(r[3].as_int, -3);
  EXPECT_FALSE(r[3].is_positive);
  EXPECT_TRUE(r[4].is_positive);
  EXPECT_EQ(r[5].as_int, INT32_MAX);
  EXPECT_EQ(r[6].as_real, 200.0);
}

TEST(Parser, ListsFillByItemSeparators) {
  preca r = parse("q=1,2,3,4\nf=1,2,3,4,5\nb=4 5 6", true);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].as_quad[3], 4);
  EXPECT_EQ(r[0].as_quint[0], 0);  // needs four separators
  EXPECT_EQ(r[1].as_quint[4], 5);
  EXPECT_EQ(r[2].as_vec.y, 5);  // kept blanks separate items too
  EXPECT_EQ(r[2].as_vec.z, 6);
}

TEST(Parser, TrailingComments) {
  preca r = parse("a=5 ;comment\nb=6 // note\nc=7;x", true);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].value, "5 ");
  EXPECT_EQ(r[0].as_pair[0], 5);  // one item separator: the kept blank
  EXPECT_EQ(r[0].as_pair[1], 0);
  EXPECT_EQ(r[1].value, "6 ");
  EXPECT_EQ(r[2].value, "7");
  EXPECT_EQ(parse("url=a/b")[0].value, "a/b");  // one slash is no comment
}

TEST(Parser, IgnoredLines) {
  preca r = parse("//a=1\n;b=2\nab\nc=\n\n\r\nok=1\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].key, "ok");
}

TEST(Parser, BraceComments) {
  // A comment opened on one line and closed with the last character of the next.
  EXPECT_TRUE(parse("x=1 {open\nstill=2}").empty());
  preca r = parse("{ start\nx=1\nend }\ny=2\na{note}=5\nb=1 {\nc=2\n}\nd=3\ne=4 {x}");
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].key, "y");
  EXPECT_EQ(r[1].key, "a");  // the inline comment is dropped
  EXPECT_EQ(r[1].value, "5");
  EXPECT_EQ(r[2].key, "b");  // a line ending with "{" still counts
  EXPECT_EQ(r[2].as_int, 1);
  EXPECT_EQ(r[3].key, "d");  // a lone "}" closed the comment
}

TEST(Parser, LongLinesContinueAsTheNextLine) {
  std::string text = "k=" + std::string(300, 'x') + "\r\nz=1";
  preca r = parse(text);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].line.size(), 250u);
  EXPECT_EQ(r[0].value, std::string(248, 'x'));
  EXPECT_EQ(r[1].key, std::string(52, 'x'));  // no separator: all key
  EXPECT_EQ(r[1].value, "");
  EXPECT_EQ(r[2].line, "z=1");
}

TEST(Parser, OtherSeparatorsAndAppending) {
  preca out(1);
  out[0].key = "before";
  std::string text = "mass: 1200\r\nname: x=y";
  parse_text(text.data(), text.size(), false, ':', out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].key, "before");
  EXPECT_EQ(out[1].as_int, 1200);
  EXPECT_EQ(out[2].value, "x=y");
}

TEST(Parser, Files) {
  scratch_dir t;
  t.put("vrk.cfg", "author_name = Jo\r\n");
  preca r;
  parse_file(t.file("vrk.cfg"), false, '=', r);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].value, "Jo");
  parse_file(t.file("missing.cfg"), false, '=', r);
  parse_file(t.path, false, '=', r);  // a folder cannot be read either
  EXPECT_EQ(r.size(), 1u);
  EXPECT_EQ(parse_file(t.file("missing.cfg"), false, '=', r).status, read_missing);
  EXPECT_EQ(parse_file(t.path, false, '=', r).status, read_unreadable);
}

TEST(Parser, ArbitraryBytesStayWithinBounds) {
  std::mt19937 rng(11);
  const char alphabet[] = "ab=,; {}/\t\r\n.e-+0123456789\0\xff";
  for (int round = 0; round < 300; round++) {
    std::string text(rng() % 700, ' ');
    for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
    preca r = parse(text, round % 2, round % 3 ? '=' : ' ');
    for (const parserectyp& p : r) {
      ASSERT_LE(p.line.size(), 250u);
      ASSERT_LE(p.key.size() + p.value.size(), p.line.size());
      ASSERT_EQ(p.is_positive, p.as_int > 0);
    }
  }
}
