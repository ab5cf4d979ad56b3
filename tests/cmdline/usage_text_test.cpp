// The usage text: the driver's six lines, column widths, letters and defaults.
#include "cmdline/parser.h"

#include <gtest/gtest.h>

#include "tests/cmdline/parser_fixtures.h"

using cmdline::parser;
using cmdline_testing::Parse;
using cmdline_testing::RegisterDriverOptions;

TEST(UsageText, DriverOptionsGiveSixLinesBeforeAndAfterParsing) {
  const std::string expected =
      "usage: update.exe --exeName=string --zipFile=string --dstPath=string [options] ... "
      "filename ...\n"
      "options:\n"
      "  -e, --exeName    kill process name (string)\n"
      "  -z, --zipFile    extract zip name (string)\n"
      "  -d, --dstPath    dest copy file path (string)\n"
      "      --help       print this message\n";
  parser options;
  RegisterDriverOptions(options);
  EXPECT_EQ(options.usage_text(), expected);
  EXPECT_EQ(options.usage_text(), expected);
  Parse(options, {"-e", "a", "--help", "--bogus"});
  EXPECT_EQ(options.usage_text(), expected);
}

TEST(UsageText, EmptyRegistryGivesTwoLines) {
  parser options;
  EXPECT_EQ(options.usage_text(), "usage:  [options] ... \noptions:\n");
}

TEST(UsageText, HelpColumnIsFourBlanksAfterTheLongestName) {
  parser options;
  options.register_value_option("seven77", 's', "a", true, "");
  options.register_flag("four", 'f', "b");
  options.register_flag("x", '\0', "c");
  EXPECT_EQ(options.usage_text(),
            "usage:  --seven77=string [options] ... \n"
            "options:\n"
            "  -s, --seven77    a (string)\n"
            "  -f, --four       b\n"
            "      --x          c\n");
}

TEST(UsageText, OptionalValueOptionIsOnlyListedWithItsDefault) {
  parser options;
  options.register_flag("quiet", 'q', "say nothing");
  options.register_value_option("mode", 'm', "run mode", false, "x");
  options.register_value_option("target", '\0', "where", true, "");
  options.register_value_option("tag", 't', "label", false, "");
  options.set_usage_name("tool");
  options.set_usage_footer("files");
  EXPECT_EQ(options.usage_text(),
            "usage: tool --target=string [options] ... files\n"
            "options:\n"
            "  -q, --quiet     say nothing\n"
            "  -m, --mode      run mode (string [=x])\n"
            "      --target    where (string)\n"
            "  -t, --tag       label (string [=])\n");
}

TEST(UsageText, ProgramNameComesFromTheVectorOnlyWhenUnset) {
  parser unnamed;
  const char* vector[] = {"C:\\App\\update.exe", "-e", nullptr};
  unnamed.parse_arguments(2, vector);
  EXPECT_EQ(unnamed.usage_text(), "usage: C:\\App\\update.exe [options] ... \noptions:\n");

  parser named;
  RegisterDriverOptions(named);
  named.parse_arguments(2, vector);
  EXPECT_EQ(named.usage_text().substr(0, 18), "usage: update.exe ");
}
