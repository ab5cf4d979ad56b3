// Linux: UTF-8 is the one code page, the ANSI one too; GBK and the rest give
// the empty result of an unknown code page (the static program loads no converter).
#include "util/encoding.h"

#include <gtest/gtest.h>

TEST(CodePages, GbkIsUnknownAndUtf8ConvertsAnyInput) {
  EXPECT_EQ(Utf8ToGbk("\xE6\x9B\xB4"), "");
  EXPECT_EQ(GbkToUtf8("\xB8\xFC"), "");
  const std::pair<std::string, std::u16string> decoded[] = {
      {"a\xE4\xB8\xAD\xF0\x9F\x98\x80", {u'a', 0x4E2D, 0xD83D, 0xDE00}},
      // Each byte that starts no well-formed sequence is one U+FFFD: overlong,
      // an encoded surrogate, above 10FFFF, cut short.
      {"\xC0\x80\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80\xE4\xB8", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"}};
  for (const auto& [utf8, utf16] : decoded) EXPECT_EQ(AnsiToWide(utf8), utf16) << utf8;
  EXPECT_EQ(WideToAnsi({u'a', 0x4E2D, 0xD83D, 0xDE00, 0xDE00}), "a\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}
