// UTF-8 and UTF-16 by our own rules: pairs, single surrogates, overlong and broken forms.
#include "util/utf.h"

#include <gtest/gtest.h>

TEST(Utf8ToUtf16, DecodesOneToFourByteForms) {
  EXPECT_EQ(Utf8ToUtf16("A"), u"A");
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9"), u"\u00E9");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\u20AC");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
  EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), std::u16string({0xDBFF, 0xDFFF}));
  EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(Utf8ToUtf16, ToleratesWhatItDoesNotReject) {
  // Overlong forms decode to their value; a three-byte surrogate stays one unit.
  EXPECT_EQ(Utf8ToUtf16("\xC1\x81"), u"A");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xB1"), u"1");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\xBD"), std::u16string({0xD83D}));
  // Bytes that cannot start a sequence are skipped.
  EXPECT_EQ(Utf8ToUtf16("\x80"
                        "A\xBF"
                        "B\xF8\xFF"
                        "C"),
            u"ABC");
  // Code points beyond U+10FFFF are dropped, the text goes on.
  EXPECT_EQ(Utf8ToUtf16("x\xF4\x90\x80\x80y\xF7\xBF\xBF\xBFz"), u"xyz");
}

TEST(Utf8ToUtf16, BrokenContinuationOrZeroEndsTheText) {
  EXPECT_EQ(Utf8ToUtf16("\x41\xC3\x41"), u"A");
  EXPECT_EQ(Utf8ToUtf16("ab\xF0\x9F\x98"), u"ab");
  EXPECT_EQ(Utf8ToUtf16("ab\xE2\x82"), u"ab");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC\xE2\x28\xA1z"), u"\u20AC");
  EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), u"a");
  EXPECT_EQ(Utf8ToUtf16(std::string("\xC3\0\xA9", 3)), u"");
}

TEST(Utf16ToUtf8, EncodesEachUnitOnItsOwn) {
  EXPECT_EQ(Utf16ToUtf8(u"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(Utf16ToUtf8(u"A\u007F\u0080\u07FF\u0800\uFFFF"), "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
  // A pair is not combined: each surrogate becomes three bytes.
  EXPECT_EQ(Utf16ToUtf8(std::u16string({0xD83D, 0xDE00})), "\xED\xA0\xBD\xED\xB8\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string({u'a', 0, u'b'})), "a");
  EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(Utf16ToUtf8, EveryUnitComesBackThroughUtf8ToUtf16) {
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
    const std::u16string text(1, static_cast<char16_t>(unit));
    ASSERT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text) << static_cast<unsigned>(unit);
  }
}
