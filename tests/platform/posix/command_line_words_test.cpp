// Splitting a Windows command line into words for a POSIX start.
#include "platform/posix/command_line_words.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(SplitCommandLine, ProgramNameKnowsQuotesButNoEscapes) {
  EXPECT_EQ(platform::SplitCommandLine("prog"), Words({"prog"}));
  EXPECT_EQ(platform::SplitCommandLine("  \"/opt/my app/run\" x"), Words({"/opt/my app/run", "x"}));
  EXPECT_EQ(platform::SplitCommandLine(R"(C:\a\"b c"\d e)"), Words({R"(C:\a\b c\d)", "e"}));
  EXPECT_EQ(platform::SplitCommandLine(""), Words());
  EXPECT_EQ(platform::SplitCommandLine(" \t "), Words());
}

TEST(SplitCommandLine, ArgumentsFollowTheBackslashAndQuoteRules) {
  struct Case {
    const char* line;
    Words words;
  };
  const Case cases[] = {
      {"p a\tb  c ", {"p", "a", "b", "c"}},
      {R"(p "a b" c)", {"p", "a b", "c"}},
      {R"(p a"b c"d)", {"p", "ab cd"}},
      {R"(p a\"b)", {"p", "a\"b"}},
      {R"(p a\\"b c")", {"p", R"(a\b c)"}},
      {R"(p a\\\"b)", {"p", R"(a\"b)"}},
      {R"(p a\\b c\)", {"p", R"(a\\b)", R"(c\)"}},
      {R"(p "" x)", {"p", "", "x"}},
      {R"(p "a""b" c)", {"p", "a\"b", "c"}},
      {R"(p "unclosed arg)", {"p", "unclosed arg"}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SplitCommandLine(c.line), c.words) << c.line;
  EXPECT_EQ(platform::SplitCommandLine(std::string("p a\0b", 5)), Words({"p", "a"}));
}
