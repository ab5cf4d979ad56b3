// Entries with traditional encryption: decrypted with the reader's password,
// refused without one, failing with a wrong one; plain entries beside them
// read the same whatever the password.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;
using testing_support::ReadFileBytes;

namespace {

constexpr char kPassword[] = "s3cret pass";
// Long and varied enough that a wrong key cannot inflate to it by chance.
const std::string kSecretText = [] {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i * 7919 % 1000) + " of the secret\n";
  return text;
}();
constexpr char kPlainText[] = "plain and readable";

// minizip checks no verifier byte, so a wrong key shows as an inflate error
// (false) or as the CRC error at close (thrown): either is a failure.
bool Fails(const std::function<bool()>& action) {
  try {
    return !action();
  } catch (const std::runtime_error&) {
    return true;
  }
}

class EncryptedEntry : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    EntryRecipe secret = File("secret.txt", kSecretText);
    secret.method = GetParam();
    secret.password = kPassword;
    WriteArchive(archive(), {File("plain.txt", kPlainText), secret});
  }
  std::string archive() const { return dir.str("archive.zip"); }
  std::string out(const std::string& name) const { return dir.str("out/" + name); }

  testing_support::TempDir dir;
};

}  // namespace

TEST_P(EncryptedEntry, RightPasswordReadsBothEntries) {
  ZipReader reader(archive(), kPassword);
  ASSERT_TRUE(reader.extractAll(dir.str("out")));
  EXPECT_EQ(ReadFileBytes(out("secret.txt")), kSecretText);
  EXPECT_EQ(ReadFileBytes(out("plain.txt")), kPlainText);

  std::vector<std::uint8_t> buffer;
  ASSERT_TRUE(reader.readEntryToBuffer("secret.txt", buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), kSecretText);
}

TEST_P(EncryptedEntry, WrongPasswordFailsAndPlainEntryStillReads) {
  ZipReader reader(archive(), "wrong password");
  EXPECT_TRUE(Fails([&] { return reader.extractAll(dir.str("out")); }));
  std::vector<std::uint8_t> buffer;
  EXPECT_TRUE(Fails([&] { return reader.readEntryToBuffer("secret.txt", buffer); }));

  std::vector<std::uint8_t> plain;
  ASSERT_TRUE(reader.readEntryToBuffer("plain.txt", plain));
  EXPECT_EQ(std::string(plain.begin(), plain.end()), kPlainText);
}

// The update run has no password: it keeps refusing encrypted entries.
TEST_P(EncryptedEntry, NoPasswordRefusesTheEncryptedEntry) {
  ZipReader reader(archive(), "");
  EXPECT_EQ(ErrorOf([&] { reader.extractAll(dir.str("out")); }),
            "Error -102 opening internal file 'secret.txt' in zip");
  std::vector<std::uint8_t> plain;
  ASSERT_TRUE(reader.readEntryToBuffer("plain.txt", plain));
  EXPECT_EQ(std::string(plain.begin(), plain.end()), kPlainText);
}

INSTANTIATE_TEST_SUITE_P(StoredAndDeflated, EncryptedEntry, ::testing::Values(kStored, kDeflated),
                         [](const ::testing::TestParamInfo<int>& method) {
                           return method.param == kStored ? std::string("Stored") : std::string("Deflated");
                         });
