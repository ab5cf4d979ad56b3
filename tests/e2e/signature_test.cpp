// Only the vendor's archives install once its key stands beside the updater;
// the keys and signatures are the vendor's tool's (signed_archives.sh).
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"
#include "tests/support/tree_snapshot.h"

using namespace update_e2e;

namespace {

enum class Key { kNone, kVendor, kDamaged };
enum class Change { kNone, kOneByte, kTrustedComment };

struct Row {
  std::string archive;  ///< made by signed_archives.sh, with its signature where it has one
  Key key;
  Change change;
  int exitCode;
  std::string expected;  ///< installed: the readme's text; refused: the reason
};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST_F(UpdateRun, OnlyTheVendorsSignedArchivesInstallOnceItsKeyIsThere) {
  const char* made = std::getenv("UPDATE_SIGNED_ARCHIVES");
  if (made == nullptr) GTEST_SKIP() << "UPDATE_SIGNED_ARCHIVES names no folder: run through ctest";
  const fs::path archives = fs::u8path(made);
  StartInstalledApp();
  const fs::path key = updaterDir_ / "update-key.pub";
  const fs::path signature = zip_.string() + ".minisig";
  const std::vector<Row> rows = {
      {"unsigned.zip", Key::kNone, Change::kNone, 0, "unsigned"},
      {"unsigned.zip", Key::kVendor, Change::kNone, 3, "the archive is not signed"},
      {"foreign.zip", Key::kVendor, Change::kNone, 3, "made with another key"},
      {"prehashed.zip", Key::kVendor, Change::kOneByte, 3, "does not match its bytes"},
      {"prehashed.zip", Key::kVendor, Change::kTrustedComment, 3, "trusted comment was changed"},
      {"prehashed.zip", Key::kDamaged, Change::kNone, 3, "the key file is damaged"},
      {"newer.zip", Key::kVendor, Change::kNone, 0, "newer"},
      {"older.zip", Key::kVendor, Change::kNone, 3, "before the installed release (signed at 1700000000)"},
      {"untimed.zip", Key::kVendor, Change::kNone, 3, "has no timestamp"},
      {"legacy.zip", Key::kVendor, Change::kNone, 0, "legacy"},
      {"prehashed.zip", Key::kVendor, Change::kNone, 0, "prehashed"},
  };
  for (const Row& row : rows) {
    const std::string label = row.archive + " row expecting " + row.expected;
    fs::copy_file(archives / row.archive, zip_, fs::copy_options::overwrite_existing);
    fs::remove(signature);
    if (fs::exists(archives / (row.archive + ".minisig")))
      fs::copy_file(archives / (row.archive + ".minisig"), signature);
    fs::remove(key);
    if (row.key != Key::kNone) fs::copy_file(archives / "key.pub", key);
    if (row.key == Key::kDamaged) WriteFileBytes(key, ReadFileBytes(key).substr(0, 70));
    if (row.change == Change::kOneByte) {
      std::string bytes = ReadFileBytes(zip_);
      bytes[bytes.size() / 2] ^= 1;
      WriteFileBytes(zip_, bytes);
    } else if (row.change == Change::kTrustedComment) {
      std::string text = ReadFileBytes(signature);
      text.replace(text.find("timestamp:"), 11, "timestamp:2");
      WriteFileBytes(signature, text);
    }
    const std::vector<AppRecord> runs = AppRecords();
    const TreeSnapshot before = SnapshotTree(installDir_);
    const std::string logBefore = LogText();

    EXPECT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, row.exitCode) << label;
    const std::string logAfter = LogText();
    if (row.exitCode == 0) {
      EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), row.expected + "\n") << label;
      EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == runs.size() + 1; })) << label;
      continue;
    }
    EXPECT_EQ(SnapshotTree(installDir_), before) << label;
    EXPECT_TRUE(IsAlive(runs.back().pid)) << label;
    EXPECT_EQ(Count(logAfter, "Signature Refused:"), Count(logBefore, "Signature Refused:") + 1) << label;
    EXPECT_NE(logAfter.find(row.expected, logBefore.size()), std::string::npos) << label;
    EXPECT_EQ(Count(logAfter, "Stop Process Ret"), Count(logBefore, "Stop Process Ret")) << label;
  }
}
