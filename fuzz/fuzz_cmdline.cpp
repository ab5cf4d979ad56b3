// Fuzz target: the update driver's options parsed from arbitrary argument vectors.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cmdline/parser.h"
#include "tests/cmdline/parser_fixtures.h"

namespace {

// A broken invariant must stop the run where libFuzzer keeps the input.
void Require(bool holds) {
  if (!holds) std::abort();
}

// The input split at zero bytes: the first piece is entry 0, the program's name.
std::vector<std::string> SplitAtZeroBytes(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t at = 0; at < size; ++at) {
    if (data[at] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[at]));
    }
  }
  return pieces;
}

// Unlike the tests' Parse, entry 0 comes from the input too.
bool ParseEntries(cmdline::parser& options, const std::vector<std::string>& entries) {
  std::vector<const char*> vector;
  for (const std::string& entry : entries) vector.push_back(entry.c_str());
  vector.push_back(nullptr);
  return options.parse_arguments(static_cast<int>(entries.size()), vector.data());
}

// Every recorded message is one of the walk's own texts.
bool IsKnownMessage(const std::string& message) {
  static const char* const kBeginnings[] = {"undefined option: --", "option needs value: --",
                                            "option value is invalid: --", "undefined short option: -",
                                            "need option: --"};
  for (const char* beginning : kBeginnings) {
    if (message.compare(0, std::string(beginning).size(), beginning) == 0) return true;
  }
  return false;
}

const char* const kValueOptions[] = {"exeName", "zipFile", "dstPath"};

// The result is true exactly when nothing was recorded, and first_error is the first message.
void RequireConsistentResult(const cmdline::parser& options, bool parsed) {
  const std::vector<std::string>& messages = options.recorded_errors();
  Require(parsed == messages.empty());
  Require(options.first_error() == (messages.empty() ? std::string() : messages.front()));
  for (const std::string& message : messages) Require(IsKnownMessage(message));
  if (parsed) {
    for (const char* name : kValueOptions) Require(options.option_given(name));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cmdline::parser options;
  cmdline_testing::RegisterDriverOptions(options);
  const std::string usage = options.usage_text();
  const std::vector<std::string> entries = SplitAtZeroBytes(data, size);

  const bool parsed = ParseEntries(options, entries);
  RequireConsistentResult(options, parsed);
  Require(options.usage_text() == usage);

  // The same vector again gives the same result: the marks kept from the
  // first walk are the ones this walk sets anyway.
  const std::vector<std::string> first_messages = options.recorded_errors();
  std::vector<std::string> values;
  for (const char* name : kValueOptions) values.push_back(options.value_of(name));
  const bool help = options.option_given("help");
  Require(ParseEntries(options, entries) == parsed);
  Require(options.recorded_errors() == first_messages);

  // A bare walk afterwards keeps every value and mark; only the options never
  // given are missing, in name order.
  const bool bare = ParseEntries(options, {entries.front()});
  RequireConsistentResult(options, bare);
  std::vector<std::string> missing;
  for (const char* name : {"dstPath", "exeName", "zipFile"}) {
    if (!options.option_given(name)) missing.push_back(std::string("need option: --") + name);
  }
  Require(options.recorded_errors() == missing);
  Require(options.option_given("help") == help);
  for (std::size_t at = 0; at < values.size(); ++at) {
    Require(options.value_of(kValueOptions[at]) == values[at]);
  }
  return 0;
}
