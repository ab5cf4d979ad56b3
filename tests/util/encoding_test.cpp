// Conversions through the system's code pages and the C library's locale.
#include "util/encoding.h"

#include <gtest/gtest.h>

TEST(AnsiText, AsciiRoundTrips) {
  EXPECT_EQ(AnsiToWide("C:\\app\\update.exe"), u"C:\\app\\update.exe");
  EXPECT_EQ(WideToAnsi(u"C:\\app\\update.exe"), "C:\\app\\update.exe");
  EXPECT_EQ(AnsiToWide(std::string("ab\0c", 4)), u"ab");
  EXPECT_EQ(WideToAnsi(std::u16string({u'a', 0, u'c'})), "a");
  EXPECT_EQ(AnsiToWide(""), u"");
}

TEST(CodePageBuffers, CountIncludesTheTerminatorAndSmallBuffersGetNothing) {
  const char* text = "\xE4\xB8\xAD\xE6\x96\x87";  // two Chinese characters in UTF-8
  EXPECT_EQ(MultiByteToWideBuffer(text, nullptr, 0, platform::kUtf8CodePage), 3);
  char16_t wide[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(MultiByteToWideBuffer(text, wide, 2, platform::kUtf8CodePage), 0);
  EXPECT_EQ(std::u16string(wide, 4), std::u16string({0, u'#', u'#', u'#'}));
  EXPECT_EQ(MultiByteToWideBuffer(text, wide, 3, platform::kUtf8CodePage), 3);
  EXPECT_EQ(std::u16string(wide, 4), std::u16string({0x4E2D, 0x6587, 0, u'#'}));

  EXPECT_EQ(MultiByteToWideBuffer(nullptr, nullptr, 0, platform::kGbkCodePage), 0);
  EXPECT_EQ(MultiByteToWideBuffer("abc", nullptr, 0, 12345), 0);  // no such code page
  EXPECT_EQ(MultiByteToWideBuffer("abc", wide, 4, 12345), 0);
  EXPECT_EQ(wide[0], 0);
}

TEST(LocaleBuffers, SizeRules) {
  EXPECT_EQ(LocaleToWideBuffer(nullptr, 10, nullptr, 0), 0);
  EXPECT_EQ(LocaleToWideBuffer("abc", 10, nullptr, 0), 3);
  wchar_t wide[5] = {L'#', L'#', L'#', L'#', L'#'};
  EXPECT_EQ(LocaleToWideBuffer("abc", 10, wide, 0), 0);
  EXPECT_EQ(wide[0], L'#');
  EXPECT_EQ(LocaleToWideBuffer("abc", 10, wide, 1), 0);
  EXPECT_EQ(std::wstring(wide, 2), std::wstring(L"\0#", 2));
  EXPECT_EQ(LocaleToWideBuffer("abc", 10, wide, 3), 2);
  EXPECT_EQ(std::wstring(wide, 4), std::wstring(L"ab\0#", 4));
  EXPECT_EQ(LocaleToWideBuffer("abc", 10, wide, 5), 3);
  EXPECT_EQ(std::wstring(wide, 4), std::wstring(L"abc\0", 4));

  EXPECT_EQ(WideToLocaleBuffer(nullptr, 10, nullptr, 0), 0);
  EXPECT_EQ(WideToLocaleBuffer(L"abc", 10, nullptr, 0), 3);
  char narrow[5] = "####";
  EXPECT_EQ(WideToLocaleBuffer(L"abc", 10, narrow, 0), 0);
  EXPECT_EQ(narrow[0], '#');
  EXPECT_EQ(WideToLocaleBuffer(L"abc", 10, narrow, 1), 0);
  EXPECT_EQ(std::string(narrow, 2), std::string("\0#", 2));
  EXPECT_EQ(WideToLocaleBuffer(L"abc", 10, narrow, 3), 2);
  EXPECT_EQ(std::string(narrow, 4), std::string("ab\0#", 4));
}

TEST(LocaleBuffers, UnconvertibleTextGivesAnEmptyBuffer) {
  // The C locale has no Chinese characters.
  char narrow[8] = "#######";
  EXPECT_EQ(WideToLocaleBuffer(L"a\u4E2Db", 10, narrow, sizeof narrow), 0);
  EXPECT_EQ(narrow[0], '\0');
}
