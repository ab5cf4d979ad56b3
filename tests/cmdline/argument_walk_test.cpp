// The argument walk: values, flags, clusters, odd arguments and the messages they record.
#include "cmdline/parser.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/cmdline/parser_fixtures.h"

namespace {

using cmdline::parser;
using cmdline_testing::Messages;
using cmdline_testing::Parse;
using cmdline_testing::RefusingReader;
using cmdline_testing::RegisterDriverOptions;

class ArgumentWalk : public testing::Test {
 protected:
  ArgumentWalk() { RegisterDriverOptions(options); }

  bool Walk(const std::vector<std::string>& arguments) { return Parse(options, arguments); }
  const Messages& Recorded() const { return options.recorded_errors(); }
  const std::string& Value(const std::string& name) const { return options.value_of(name); }

  parser options;
};

}  // namespace

TEST_F(ArgumentWalk, NoArgumentsRecordsMissingOptionsInNameOrder) {
  EXPECT_FALSE(Walk({}));
  EXPECT_EQ(Recorded(), (Messages{"need option: --dstPath", "need option: --exeName", "need option: --zipFile"}));
  EXPECT_EQ(options.first_error(), "need option: --dstPath");
}

TEST(ArgumentWalkOrder, MissingOptionsFollowUnsignedByteOrderOfNames) {
  parser options;
  for (const char* name : {"\xE9t", "ab", "a", "B", "-"}) {
    options.register_value_option(name, '\0', "d", true, "");
  }
  EXPECT_FALSE(Parse(options, {}));
  EXPECT_EQ(options.recorded_errors(), (Messages{"need option: ---", "need option: --B", "need option: --a",
                                                 "need option: --ab", "need option: --\xE9t"}));
}

TEST(ArgumentWalkOrder, CountBelowOneRecordsOneMessageAndReadsNothing) {
  parser options;
  RegisterDriverOptions(options);
  EXPECT_FALSE(options.parse_arguments(0, nullptr));
  EXPECT_EQ(options.recorded_errors(), Messages{"argument number must be longer than 0"});
  EXPECT_FALSE(options.parse_arguments(-3, nullptr));
  EXPECT_EQ(options.first_error(), "argument number must be longer than 0");
}

TEST_F(ArgumentWalk, ShortAndLongFormsGiveValues) {
  EXPECT_TRUE(Walk({"-e", "a", "-z", "b", "-d", "c"}));
  EXPECT_TRUE(Recorded().empty());
  EXPECT_EQ(options.first_error(), "");

  parser other;
  RegisterDriverOptions(other);
  EXPECT_TRUE(Parse(other, {"--exeName=x", "--zipFile", "y", "-d", "z"}));
  for (parser* walked : {&options, &other}) {
    EXPECT_TRUE(walked->option_given("exeName"));
    EXPECT_TRUE(walked->option_given("zipFile"));
    EXPECT_TRUE(walked->option_given("dstPath"));
    EXPECT_FALSE(walked->option_given("help"));
  }
  EXPECT_EQ(Value("exeName") + Value("zipFile") + Value("dstPath"), "abc");
  EXPECT_EQ(other.value_of("exeName") + other.value_of("zipFile") + other.value_of("dstPath"), "xyz");
}

TEST_F(ArgumentWalk, EqualsFormSplitsAtTheFirstEqualsOnly) {
  EXPECT_TRUE(Walk({"--exeName=", "--zipFile=a=b", "--dstPath==c"}));
  EXPECT_TRUE(options.option_given("exeName"));
  EXPECT_EQ(Value("exeName"), "");
  EXPECT_EQ(Value("zipFile"), "a=b");
  EXPECT_EQ(Value("dstPath"), "=c");
}

TEST_F(ArgumentWalk, NextArgumentIsTheValueWhateverItLooksLike) {
  EXPECT_FALSE(Walk({"--exeName", "--zipFile", "x", "-d", "-e"}));
  EXPECT_EQ(Value("exeName"), "--zipFile");
  EXPECT_EQ(Value("dstPath"), "-e");
  EXPECT_EQ(options.positional_arguments(), Messages{"x"});
  EXPECT_EQ(Recorded(), Messages{"need option: --zipFile"});

  parser other;
  RegisterDriverOptions(other);
  EXPECT_TRUE(Parse(other, {"-e", "-z", "--zipFile", "", "-d", "--help"}));
  EXPECT_EQ(other.value_of("exeName"), "-z");
  EXPECT_EQ(other.value_of("zipFile"), "");
  EXPECT_EQ(other.value_of("dstPath"), "--help");
  EXPECT_FALSE(other.option_given("help"));
}

TEST_F(ArgumentWalk, OnlyTheLastLetterOfAClusterTakesAValue) {
  EXPECT_FALSE(Walk({"-ez", "a", "-dxe", "-d", "c"}));
  EXPECT_EQ(Value("zipFile"), "a");
  EXPECT_EQ(Value("exeName"), "-d");  // the letter e ends its cluster
  EXPECT_EQ(options.positional_arguments(), Messages{"c"});
  EXPECT_EQ(Recorded(), (Messages{"option needs value: --exeName", "option needs value: --dstPath",
                                  "undefined short option: -x", "need option: --dstPath"}));
}

TEST_F(ArgumentWalk, ClusterNeverTakesItsOwnRestAsTheValue) {
  EXPECT_FALSE(Walk({"-efoo", "z"}));
  EXPECT_EQ(Recorded(), (Messages{"option needs value: --exeName", "undefined short option: -f",
                                  "undefined short option: -o", "undefined short option: -o", "need option: --dstPath",
                                  "need option: --exeName", "need option: --zipFile"}));
  EXPECT_EQ(options.positional_arguments(), Messages{"z"});
}

TEST_F(ArgumentWalk, ValueOptionAsLastArgumentNeedsAValue) {
  EXPECT_FALSE(Walk({"-z", "b", "-d", "c", "-e"}));
  EXPECT_EQ(options.first_error(), "option needs value: --exeName");
  EXPECT_FALSE(Walk({"-z", "b", "-d", "c", "--exeName"}));
  EXPECT_EQ(options.first_error(), "option needs value: --exeName");
  EXPECT_FALSE(Walk({"-z", "b", "-d", "c", "-de"}));
  EXPECT_EQ(Recorded(),
            (Messages{"option needs value: --dstPath", "option needs value: --exeName", "need option: --exeName"}));
}

TEST_F(ArgumentWalk, FlagIsSetByNameOnlyRefusesAValueAndHasNoLetter) {
  EXPECT_FALSE(Walk({"--help=1", "-h"}));
  EXPECT_FALSE(options.option_given("help"));
  EXPECT_EQ(Recorded(), (Messages{"option value is invalid: --help=1", "undefined short option: -h",
                                  "need option: --dstPath", "need option: --exeName", "need option: --zipFile"}));
  Walk({"--help"});
  EXPECT_TRUE(options.option_given("help"));
}

TEST_F(ArgumentWalk, DashesAloneAndEmptyArgumentsAreNotOptions) {
  EXPECT_FALSE(Walk({"-", "--", "---x", "", "--=v", "-e", "a", "-z", "b", "-d", "c"}));
  EXPECT_EQ(Recorded(), (Messages{"undefined option: --", "undefined option: ---x", "undefined option: --"}));
  EXPECT_EQ(options.positional_arguments(), Messages{""});
  EXPECT_EQ(Value("exeName") + Value("zipFile") + Value("dstPath"), "abc");
}

TEST_F(ArgumentWalk, UnknownArgumentsDoNotStopTheWalk) {
  EXPECT_FALSE(Walk({"--bogus", "-e", "a", "-q", "--zipFile=b", "--nope=1", "file", "--help"}));
  EXPECT_EQ(Recorded(), (Messages{"undefined option: --bogus", "undefined short option: -q", "undefined option: --nope",
                                  "need option: --dstPath"}));
  EXPECT_EQ(Value("exeName") + Value("zipFile"), "ab");
  EXPECT_TRUE(options.option_given("help"));
  EXPECT_EQ(options.positional_arguments(), Messages{"file"});
}

TEST_F(ArgumentWalk, RepeatedOptionsKeepTheLastValueWithoutComplaint) {
  EXPECT_TRUE(Walk({"-e", "a", "--help", "-z", "b", "--exeName=c", "-d", "d", "--help"}));
  EXPECT_EQ(Value("exeName"), "c");
  EXPECT_TRUE(options.option_given("help"));
}

TEST_F(ArgumentWalk, EntryZeroIsNeverAnArgument) {
  const char* vector[] = {"-e", "--help", nullptr};
  EXPECT_FALSE(options.parse_arguments(2, vector));
  EXPECT_TRUE(options.option_given("help"));
  EXPECT_FALSE(options.option_given("exeName"));
}

TEST_F(ArgumentWalk, ReparsingKeepsValuesAndGivenMarksButNotMessages) {
  EXPECT_FALSE(Walk({"-e", "a", "--help", "stray", "-q"}));
  EXPECT_FALSE(Walk({"-z", "b"}));
  EXPECT_EQ(Value("exeName"), "a");
  EXPECT_TRUE(options.option_given("exeName"));
  EXPECT_TRUE(options.option_given("help"));
  EXPECT_EQ(Value("zipFile"), "b");
  EXPECT_EQ(Recorded(), Messages{"need option: --dstPath"});
  EXPECT_TRUE(options.positional_arguments().empty());
  EXPECT_TRUE(Walk({"-d", "c"}));
}

TEST(ArgumentWalkLetters, SharedLetterStopsTheParseBeforeAnyArgument) {
  parser options;
  RegisterDriverOptions(options);
  options.register_value_option("extra", 'e', "d", false, "");
  EXPECT_FALSE(Parse(options, {"-z", "b", "--dstPath=c", "--help"}));
  EXPECT_EQ(options.recorded_errors(), Messages{"short option 'e' is ambiguous"});
  EXPECT_FALSE(options.option_given("zipFile"));
  EXPECT_FALSE(options.option_given("dstPath"));
  EXPECT_FALSE(options.option_given("help"));
}

TEST(ArgumentWalkLetters, NamelessOptionKeepsNoLetter) {
  parser options;
  options.register_flag("", 'v', "nameless");
  options.register_flag("verbose", 'v', "talk");
  EXPECT_TRUE(Parse(options, {"-v"}));
  EXPECT_TRUE(options.option_given("verbose"));
  EXPECT_FALSE(options.option_given(""));
  // The nameless option is still reached by "--" itself.
  EXPECT_TRUE(Parse(options, {"--"}));
  EXPECT_TRUE(options.option_given(""));
}

TEST(ArgumentWalkReader, RefusedValueIsRecordedAndItsReasonWritten) {
  parser options;
  options.register_value_option("level", 'l', "how much", false, "low", RefusingReader{});
  testing::internal::CaptureStdout();
  const bool parsed = Parse(options, {"--level=bad", "-l", "bad"});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "e:cannot read bade:cannot read bad");
  EXPECT_FALSE(parsed);
  EXPECT_EQ(options.recorded_errors(),
            (Messages{"option value is invalid: --level=bad", "option value is invalid: --level=bad"}));
  EXPECT_EQ(options.value_of("level"), "low");
  EXPECT_FALSE(options.option_given("level"));
}
