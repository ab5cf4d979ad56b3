// The option records on their own: what each kind accepts, its synopsis and help text.
#include "cmdline/parser.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/cmdline/parser_fixtures.h"

namespace {

using cmdline::parser;
using cmdline_testing::RefusingReader;
using TextOption = parser::option_with_value_with_reader<std::string, cmdline::default_reader<std::string>>;

}  // namespace

TEST(OptionRecords, FlagRefusesTextAndIsAlwaysSatisfied) {
  parser::option_without_value help("help", '\0', "print this message");
  EXPECT_FALSE(help.takes_value());
  EXPECT_TRUE(help.is_satisfied());
  EXPECT_FALSE(help.accept_text("1"));
  EXPECT_FALSE(help.was_given());
  EXPECT_TRUE(help.accept_flag());
  EXPECT_TRUE(help.was_given());
  EXPECT_FALSE(help.is_required());
  EXPECT_EQ(help.get_synopsis(), "--help");
  EXPECT_EQ(help.get_help_text(), "print this message");
}

TEST(OptionRecords, ValueOptionRefusesFlagAndIsSatisfiedOnceGiven) {
  TextOption exe("exeName", 'e', "kill process name", true, "", {});
  EXPECT_TRUE(exe.takes_value());
  EXPECT_FALSE(exe.is_satisfied());
  EXPECT_FALSE(exe.accept_flag());
  EXPECT_FALSE(exe.was_given());
  EXPECT_FALSE(exe.is_satisfied());
  EXPECT_TRUE(exe.accept_text(""));
  EXPECT_TRUE(exe.was_given());
  EXPECT_TRUE(exe.is_satisfied());
  EXPECT_EQ(exe.get_synopsis(), "--exeName=string");
  EXPECT_EQ(exe.get_short_letter(), 'e');
}

TEST(OptionRecords, HelpTextShowsTypeAndOptionalDefault) {
  EXPECT_EQ(TextOption("exeName", 'e', "kill process name", true, "", {}).get_help_text(),
            "kill process name (string)");
  EXPECT_EQ(TextOption("n", 'n', "d", false, "x", {}).get_help_text(), "d (string [=x])");
  EXPECT_EQ(TextOption("n", 'n', "d", false, "", {}).get_help_text(), "d (string [=])");
  // An optional option is satisfied without being given.
  EXPECT_TRUE(TextOption("n", 'n', "d", false, "", {}).is_satisfied());
}

TEST(OptionRecords, RefusedValueWritesReaderMessageAndKeepsOldValue) {
  parser::option_with_value_with_reader<std::string, RefusingReader> level("level", 'l', "d",
                                                                           false, "low", {});
  testing::internal::CaptureStdout();
  EXPECT_FALSE(level.accept_text("bad"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "e:cannot read bad");
  EXPECT_FALSE(level.was_given());
  EXPECT_EQ(level.get_current_value(), "low");

  EXPECT_TRUE(level.accept_text("high"));
  EXPECT_TRUE(level.was_given());
  EXPECT_EQ(level.get_current_value(), "high");
}
