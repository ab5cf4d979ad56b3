// Linux: UTF-8 is the one code page, the ANSI one included; GBK and the rest
// give the empty result of an unknown code page, since the static program
// loads no converter.
#include "util/encoding.h"

#include <string>

#include <gtest/gtest.h>

TEST(CodePages, GbkGivesTheEmptyResult) {
  const std::string started = "\xE6\x9B\xB4\xE6\x96\xB0";  // "update" in Chinese, UTF-8
  EXPECT_EQ(Utf8ToGbk(started), "");
  EXPECT_EQ(GbkToUtf8("\xB8\xFC\xD0\xC2"), "");
  EXPECT_EQ(WideToMultiByteBuffer(u"abc", nullptr, 0, platform::kGbkCodePage), 0);
  EXPECT_EQ(MultiByteToWideBuffer("", nullptr, 0, platform::kGbkCodePage), 0);
}

TEST(CodePages, Utf8AndUtf16ConvertAnyInput) {
  const struct {
    std::string utf8;
    std::u16string utf16;
    bool roundTrips;
  } cases[] = {
      {"a\xE4\xB8\xAD" "b", u"a\u4E2Db", true},
      {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, true},  // a pair of surrogates
      {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}, true},  // the highest code point
      // Each byte that starts no well-formed sequence is one U+FFFD.
      {"a\xFF" "b", u"a\uFFFDb", false},
      {"\xC0\x80", u"\uFFFD\uFFFD", false},              // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},    // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},  // above 10FFFF
      {"a\xE4\xB8", u"a\uFFFD\uFFFD", false},            // cut short
  };
  for (const auto& row : cases) {
    EXPECT_EQ(AnsiToWide(row.utf8), row.utf16) << row.utf8;
    if (row.roundTrips) {
      EXPECT_EQ(WideToAnsi(row.utf16), row.utf8) << row.utf8;
    }
  }
  // A surrogate without its partner becomes U+FFFD.
  EXPECT_EQ(WideToAnsi({u'a', 0xD83D, u'b', 0xDE00}), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}
