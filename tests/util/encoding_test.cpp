// Conversions through the system's code pages and the C library's locale.
#include "util/encoding.h"

#include <gtest/gtest.h>

namespace {
// "Update program started" and "log file" in Chinese.
const std::string kStartedUtf8 =
    "\xE6\x9B\xB4\xE6\x96\xB0\xE7\xA8\x8B\xE5\xBA\x8F\xE5\xB7\xB2\xE5\x90\xAF\xE5\x8A\xA8";
const std::string kStartedGbk = "\xB8\xFC\xD0\xC2\xB3\xCC\xD0\xF2\xD2\xD1\xC6\xF4\xB6\xAF";
const std::string kLogFileUtf8 = "\xE6\x97\xA5\xE5\xBF\x97\xE6\x96\x87\xE4\xBB\xB6";
const std::string kLogFileGbk = "\xC8\xD5\xD6\xBE\xCE\xC4\xBC\xFE";
}  // namespace

TEST(GbkText, RoundTripsChineseText) {
  EXPECT_EQ(GbkToUtf8(kStartedGbk), kStartedUtf8);
  EXPECT_EQ(Utf8ToGbk(kStartedUtf8), kStartedGbk);
  const std::string mixed = "v1.2 " + kLogFileUtf8 + ": C:\\app\\log";
  EXPECT_EQ(Utf8ToGbk(mixed), "v1.2 " + kLogFileGbk + ": C:\\app\\log");
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(mixed)), mixed);
  EXPECT_EQ(GbkToUtf8(""), "");
  EXPECT_EQ(Utf8ToGbk(""), "");
  // The text ends at its first zero byte.
  EXPECT_EQ(GbkToUtf8(kLogFileGbk + std::string("\0x", 2)), kLogFileUtf8);
}

TEST(GbkText, WhatGbkLacksBecomesAQuestionMark) {
  EXPECT_EQ(Utf8ToGbk("a\xE2\x82\xAC" "b"), "a\x80" "b");  // the euro sign is 0x80 in code page 936
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a??b");  // one for each unit of the pair
  EXPECT_EQ(Utf8ToGbk("a\xFF" "b"), "a?b");
}

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

  EXPECT_EQ(WideToMultiByteBuffer(wide, nullptr, 0, platform::kGbkCodePage), 5);
  char narrow[6] = "#####";
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 4, platform::kGbkCodePage), 0);
  EXPECT_EQ(std::string(narrow, 5), std::string("\0####", 5));
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 0, platform::kGbkCodePage), 0);
  EXPECT_EQ(narrow[0], '\0');
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 5, platform::kGbkCodePage), 5);
  EXPECT_EQ(std::string(narrow, 6), std::string("\xD6\xD0\xCE\xC4\0", 6));

  EXPECT_EQ(MultiByteToWideBuffer("", nullptr, 0, platform::kGbkCodePage), 1);
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
