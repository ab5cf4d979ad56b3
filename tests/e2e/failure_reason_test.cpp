// Every refusal says why: a line naming the entry and the cause comes right
// before the line that ends the run, and the application keeps running.
#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "install/install.h"
#include "platform/symbolic_link.h"
#include "tests/e2e/update_run_fixture.h"
#include "tests/support/short_name.h"
#include "tests/support/tree_snapshot.h"

using namespace update_e2e;

namespace {

// An entry of `data` as stored (with `method`), whose recorded size and CRC
// are `size` and `crc`.
EntryRecipe Stored(const std::string& name, const std::string& data, std::uint64_t size, std::uint32_t crc,
                   int method = zip_testing::kStored) {
  EntryRecipe entry = File(name, data);
  entry.method = method;
  entry.raw = zip_testing::RawEntry{size, crc};
  return entry;
}

// `size` bytes deflated raw, as an archive stores them.
std::string Deflated(std::size_t size) {
  const std::string data(size, 'x');
  std::string out(size + 64, '\0');
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

struct RefusalCase {
  std::string archive;  // the archive's bytes
  std::string reason;   // the start of the line before "Extract File Ret:0"
};

// The archive of `entries`, with `flip` of its bytes changed (from the end
// of the first local header's name on, when not zero).
std::string ArchiveOf(const fs::path& zip, const std::vector<EntryRecipe>& entries, std::size_t flip = 0) {
  WriteArchive(zip.string(), entries);
  std::string bytes = ReadFileBytes(zip);
  // The first entry's data starts after the 30-byte local header and its name.
  if (flip != 0) bytes[30 + entries.front().name.size() + flip] ^= 0x55;
  return bytes;
}

}  // namespace

TEST_F(UpdateRun, EveryRefusedArchiveLogsTheEntryAndTheCause) {
  const std::uint32_t pid = StartInstalledApp();
  std::vector<RefusalCase> cases = {
      {"this is not a zip archive", "Archive Error:Error loading zip file!"},
      {ArchiveOf(zip_, {File("update/big.txt", std::string(4000, 'a') + "tail")}, 4),
       "Entry Damaged:update/big.txt, error:"},
      {ArchiveOf(zip_, {Stored("update/b.txt", "stored bytes", 12, 0x12345678)}),
       "Entry Damaged:update/b.txt, error:-105"},
      {ArchiveOf(zip_, {Stored("update/more.bin", "twelve bytes", 6, 0x12345678)}),
       "Entry Larger Than Recorded:update/more.bin"},
      {ArchiveOf(zip_, {Stored("update/more.dat", Deflated(100000), 1000, 0x12345678, zip_testing::kDeflated)}),
       "Entry Larger Than Recorded:update/more.dat"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/../../../evil.txt", "evil")}),
       "Entry Refused:update/../../../evil.txt, Reason:outside the destination"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/sub/lpt1.txt", "bytes")}),
       "Entry Refused:update/sub/lpt1.txt, Reason:a device name"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/temp/.update-journal", "x")}),
       "Entry Refused:update/temp/.update-journal, Reason:a name the install keeps"},
      // The work folder, as a file or a folder with a file: the install would replace it.
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/temp", "x")}),
       "Entry Refused:update/temp, Reason:a name the install keeps"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/temp/notes.txt", "x")}),
       "Entry Refused:update/temp/notes.txt, Reason:a name the install keeps"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/.update-lock", "x")}),
       "Entry Refused:update/.update-lock, Reason:a name the install keeps"},
      {ArchiveOf(zip_, {File("update/ok.txt", "ok"), zip_testing::Claiming("update/huge.bin", 1ull << 62)}),
       "Archive Needs:"},
  };
  // Names no system should be asked to create; "|" stands for a NUL, which
  // the writer cannot take.
  EntryRecipe notUtf8 = File("update/bad\xC3(.txt", "x");
  notUtf8.flags = zip_testing::kUtf8NameFlag;
  std::string withNul = ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/a.txt|/../../x", "x")});
  for (std::size_t at = withNul.find("a.txt|"); at != std::string::npos; at = withNul.find("a.txt|"))
    withNul[at + 5] = '\0';
  const std::string longName = "update/" + std::string(256, 'n');
  // A name that would end its line and forge the outcome, move the cursor
  // and (U+009B) start a sequence on a terminal.
  const std::string forged = std::string(kDriverLogSource) + " 242 Update App Success!";
  EntryRecipe forging = File("update/a\r\n" + forged + "\n\x1b[2J\xC2\x9B" + "31m\x7F/../../../../x", "x");
  forging.flags = zip_testing::kUtf8NameFlag;
  cases.insert(cases.end(), {
                                {withNul, "Entry Refused:update/a.txt\\x00/../../x, Reason:a NUL inside the name"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), forging}),
                                 "Entry Refused:update/a\\x0D\\x0A" + forged +
                                     "\\x0A\\x1B[2J\\u009B31m\\x7F/../../../../x, "
                                     "Reason:outside the destination"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/notes.txt:hidden", "x")}),
                                 "Entry Refused:update/notes.txt:hidden, Reason:a colon inside the name"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/CONOUT$", "x")}),
                                 "Entry Refused:update/CONOUT$, Reason:a device name"},
                                {ArchiveOf(zip_, {File("update/a.txt", "1"), File("update/a.txt", "2")}),
                                 "Entry Refused:update/a.txt, Reason:the same path as update/a.txt"},
                                {ArchiveOf(zip_, {File("update/d", "file"), Directory("update/d/")}),
                                 "Entry Refused:update/d/, Reason:the same path as update/d"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/sub./a.txt", "x")}),
                                 "Entry Refused:update/sub./a.txt, Reason:a name ending in a dot or a blank"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/a.txt ", "x")}),
                                 "Entry Refused:update/a.txt , Reason:a name ending in a dot or a blank"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), notUtf8}),
                                 "Entry Refused:update/bad\xC3(.txt, Reason:flagged as UTF-8 but not UTF-8"},
                                {ArchiveOf(zip_, {File("update/ok.txt", "ok"), File(longName, "x")}),
                                 "Entry Refused:" + longName + ", Reason:a name longer than the system takes"},
                            });
  if (LogInGbk()) {
    cases.push_back({ArchiveOf(zip_, {File("update/A.txt", "1"), File("update/a.txt", "2")}),
                     "Entry Refused:update/a.txt, Reason:the same path as update/A.txt"});
  }
  // The lock file, which the run holds, under its 8.3 short name (Windows;
  // Wine makes it from the name alone, so any folder tells it).
  WriteFileBytes(root_.path() / "names" / kLockName, "");
  const std::string lockAlias = ShortNameOf(root_.path() / "names" / kLockName);
  if (!lockAlias.empty()) {
    cases.push_back({ArchiveOf(zip_, {File("update/ok.txt", "ok"), File("update/" + lockAlias, "x")}),
                     "Entry Refused:update/" + lockAlias + ", Reason:a name the install keeps"});
  }
  if (platform::kMakesSymbolicLinks) {
    cases.push_back({ArchiveOf(zip_, {File("update/ok.txt", "ok"), zip_testing::Link("update/x", "../../y")}),
                     "Entry Refused:update/x, Reason:a link leading outside"});
    cases.push_back({ArchiveOf(zip_, {File("update/ok.txt", "ok"), zip_testing::Link("update/temp", "ok.txt")}),
                     "Entry Refused:update/temp, Reason:a name the install keeps"});
  }
  const std::regex kStamp("^\\d{8}-\\d{1,2}:\\d{2}:\\d{2}\\.\\d{3}" + kLogOpen);
  const TreeSnapshot before = SnapshotTree(installDir_, "temp");
  for (const RefusalCase& c : cases) {
    WriteFileBytes(zip_, c.archive);
    const std::size_t logBefore = LogText().size();
    EXPECT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 3) << c.reason;
    std::vector<std::string> lines;
    std::istringstream log(LogText().substr(logBefore));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    // The run's own lines only, each stamped, no control character in any.
    for (const std::string& line : lines) {
      EXPECT_TRUE(std::regex_search(line, kStamp)) << line;
      EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](unsigned char byte) {
        return byte < 0x20 || byte == 0x7F;
      })) << line;
    }
    const std::string ended =
        std::string(kDriverLogSource) + " " + std::to_string(kExtractLine) + " Extract File Ret:0";
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines.back().find(ended), std::string::npos) << lines.back();
    const std::string& reasonLine = lines[lines.size() - 2];
    EXPECT_NE(reasonLine.find(std::string(kDriverLogSource) + " "), std::string::npos) << reasonLine;
    EXPECT_NE(reasonLine.find(" " + c.reason), std::string::npos)
        << "expected: " << c.reason << "\nfound: " << reasonLine;
  }
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(SnapshotTree(installDir_, "temp"), before);
}
