// Windows: GBK (code page 936) through the system's conversions.
#include "util/encoding.h"

#include <gtest/gtest.h>

namespace {
// "Update program started" and "log file" in Chinese.
const std::string kStartedUtf8 = "\xE6\x9B\xB4\xE6\x96\xB0\xE7\xA8\x8B\xE5\xBA\x8F\xE5\xB7\xB2\xE5\x90\xAF\xE5\x8A\xA8";
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
  EXPECT_EQ(Utf8ToGbk("a\xE2\x82\xAC"
                      "b"),
            "a\x80"
            "b");  // the euro sign is 0x80 in code page 936
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                      "b"),
            "a??b");  // one for each unit of the pair
  EXPECT_EQ(Utf8ToGbk("a\xFF"
                      "b"),
            "a?b");
}

TEST(CodePageBuffers, GbkCountsItsOwnBytes) {
  const char16_t wide[] = {0x4E2D, 0x6587, 0};  // two Chinese characters
  EXPECT_EQ(WideToMultiByteBuffer(wide, nullptr, 0, platform::kGbkCodePage), 5);
  char narrow[6] = "#####";
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 4, platform::kGbkCodePage), 0);
  EXPECT_EQ(std::string(narrow, 5), std::string("\0####", 5));
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 0, platform::kGbkCodePage), 0);
  EXPECT_EQ(narrow[0], '\0');
  EXPECT_EQ(WideToMultiByteBuffer(wide, narrow, 5, platform::kGbkCodePage), 5);
  EXPECT_EQ(std::string(narrow, 6), std::string("\xD6\xD0\xCE\xC4\0", 6));

  EXPECT_EQ(MultiByteToWideBuffer("", nullptr, 0, platform::kGbkCodePage), 1);
}
