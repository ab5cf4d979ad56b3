// The registry's own promises: duplicate names, queries by name and kind, defaults.
#include "cmdline/parser.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/cmdline/parser_fixtures.h"

namespace {

using cmdline::cmdline_error;
using cmdline::parser;
using cmdline_testing::Parse;
using cmdline_testing::RegisterDriverOptions;

// The message of the cmdline_error that `call` throws; empty when it throws none.
template <class Call>
std::string ThrownMessage(Call call) {
  try {
    call();
  } catch (const cmdline_error& error) {
    return error.what();
  }
  return {};
}

}  // namespace

TEST(ParserRegistry, SecondRegistrationOfANameThrowsAndKeepsTheFirst) {
  parser options;
  RegisterDriverOptions(options);
  const std::string usage = options.usage_text();

  EXPECT_EQ(ThrownMessage([&] { options.register_value_option("exeName", 'x', "other", false, "d"); }),
            "multiple definition: exeName");
  EXPECT_EQ(ThrownMessage([&] { options.register_flag("help", 'h', "other"); }), "multiple definition: help");
  EXPECT_EQ(ThrownMessage([&] { options.register_flag("exeName", 'x', "other"); }), "multiple definition: exeName");

  // The first records stay as they were: once in the usage text, with their letters.
  EXPECT_EQ(options.usage_text(), usage);
  EXPECT_EQ(options.value_of("exeName"), "");
  EXPECT_TRUE(Parse(options, {"-e", "a", "-z", "b", "-d", "c"}));
  EXPECT_EQ(options.value_of("exeName"), "a");
}

TEST(ParserRegistry, QueriesOfUnknownNamesOrWrongKindThrow) {
  parser options;
  RegisterDriverOptions(options);
  EXPECT_EQ(ThrownMessage([&] { options.option_given("exename"); }), "there is no flag: --exename");
  EXPECT_EQ(ThrownMessage([&] { options.value_of("nothing"); }), "there is no flag: --nothing");
  EXPECT_EQ(ThrownMessage([&] { options.value_of(""); }), "there is no flag: --");
  EXPECT_EQ(ThrownMessage([&] { options.value_of("help"); }), "type mismatch flag 'help'");
  // A cmdline_error is a standard exception, so a caller may catch it as one.
  EXPECT_THROW(options.value_of("help"), std::exception);
}

TEST(ParserRegistry, BeforeParsingValuesAreDefaultsAndNothingIsGiven) {
  parser options;
  RegisterDriverOptions(options);
  options.register_value_option("mode", 'm', "run mode", false, "fast");
  EXPECT_EQ(options.value_of("exeName"), "");
  EXPECT_EQ(options.value_of("mode"), "fast");
  EXPECT_FALSE(options.option_given("help"));
  EXPECT_FALSE(options.option_given("exeName"));
  EXPECT_EQ(options.first_error(), "");
}

TEST(ParserRegistry, ValueReferenceFollowsTheOptionThroughLaterRegistrationsAndParses) {
  parser options;
  RegisterDriverOptions(options);
  const std::string& exe = options.value_of("exeName");
  for (char letter = 'a'; letter <= 'y'; ++letter) {
    options.register_flag(std::string("flag_") + letter, '\0', "filler");
  }
  Parse(options, {"--exeName=app.exe"});
  EXPECT_EQ(exe, "app.exe");
}
