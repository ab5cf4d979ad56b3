// Small text helpers.
#include "util/text.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "platform/process.h"

TEST(ProcessIdText, PadsToSixDigits) {
  EXPECT_EQ(ProcessIdText(42), "000042");
  EXPECT_EQ(ProcessIdText(0), "000000");
  EXPECT_EQ(ProcessIdText(1234567), "1234567");
  EXPECT_EQ(ProcessIdText(4294967295u), "4294967295");
  const std::string own = ProcessIdText();
  EXPECT_GE(own.size(), 6u);
  EXPECT_EQ(std::stoul(own), platform::CurrentProcessId());
}

TEST(IsNumber, OneNumberWithWhiteSpaceAround) {
  for (const char* yes : {"3.5", " 7 ", "-1e3", "\t+2.\n", "0", ".5"}) EXPECT_TRUE(IsNumber(yes)) << yes;
  for (const char* no : {"7a", "", "  ", "1 2", "a7", ".", "-", "1e", "1e999"}) {
    EXPECT_FALSE(IsNumber(no)) << no;
  }
}

TEST(FormatToString, FormatsAndCutsAt2047Characters) {
  EXPECT_EQ(FormatToString("%s:%d %06u", "ExeName", -5, 42u), "ExeName:-5 000042");
  const std::string longText(3000, 'x');
  EXPECT_EQ(FormatToString("%s", longText.c_str()), std::string(2047, 'x'));
  EXPECT_EQ(FormatToString("%s", longText.substr(0, 2047).c_str()).size(), 2047u);
  EXPECT_EQ(FormatToString(nullptr), "");
}

TEST(ReplaceAll, ResumesAfterTheInsertedText) {
  struct Case {
    const char* text;
    const char* from;
    const char* to;
    const char* result;
  };
  const Case cases[] = {
      {"aaa", "a", "aa", "aaaaaa"},    {"aaaa", "aa", "b", "bb"}, {"abcabc", "b", "", "acac"},  {"abc", "", "x", "abc"},
      {"a.b.c", ".", "\\", "a\\b\\c"}, {"", "a", "b", ""},        {"abab", "ab", "ba", "baba"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    ReplaceAll(text, c.from, c.to);
    EXPECT_EQ(text, c.result) << c.text << " " << c.from << " " << c.to;
  }
}

TEST(HexText, UpperCasePairsEachFollowedByTheSeparator) {
  EXPECT_EQ(HexText("\x0A\xFF", ","), "0A,FF,");
  EXPECT_EQ(HexText(std::string("\0\x10\x9c", 3), ""), "00109C");
  EXPECT_EQ(HexText("", ","), "");
  EXPECT_EQ(HexText("A", " - "), "41 - ");
}

TEST(LocalTimeOf, IsTheInverseOfMktime) {
  for (const std::int64_t seconds : {951782400LL, 1700000000LL, 2000000000LL}) {
    std::tm local = LocalTimeOf(seconds);
    EXPECT_EQ(static_cast<std::int64_t>(std::mktime(&local)), seconds);
  }
}

TEST(LocalTimeOf, UnconvertibleTimeLeavesEveryFieldZero) {
  const std::tm local = LocalTimeOf(LLONG_MAX);
  EXPECT_EQ(local.tm_year, 0);
  EXPECT_EQ(local.tm_mon, 0);
  EXPECT_EQ(local.tm_mday, 0);
  EXPECT_EQ(local.tm_hour, 0);
  EXPECT_EQ(local.tm_min, 0);
  EXPECT_EQ(local.tm_sec, 0);
  EXPECT_EQ(local.tm_isdst, 0);
}
