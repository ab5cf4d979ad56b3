// The zip reader: opening from a file, a stream and bytes; listing; closing.
#include "zip/zip_reader.h"

#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"

using namespace zip_testing;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const char kLoadFile[] = "Error loading zip file!";
const char kLoadMemory[] = "Error loading zip in memory!";

std::vector<EntryRecipe> SampleEntries() {
  EntryRecipe folder = File("update/", "");
  folder.method = kStored;
  EntryRecipe notes = File("notes.txt", "stored as it is");
  notes.method = kStored;
  return {folder, File("update/app.exe", std::string(5000, 'x') + "end"), notes};
}

}  // namespace

TEST(ZipReader, RefusesWhatIsNotAnArchive) {
  TempDir dir;
  const std::string archive = ArchiveBytes({File("a.txt", "alpha")});
  const std::string truncated = archive.substr(0, archive.size() / 2);
  WriteFileBytes(dir.path() / "garbage.zip", "plain text, no archive at all");
  WriteFileBytes(dir.path() / "truncated.zip", truncated);

  for (const char* name : {"missing.zip", "garbage.zip", "truncated.zip", ""}) {
    EXPECT_EQ(ErrorOf([&] { ZipReader reader(dir.str(name), ""); }), kLoadFile) << name;
  }
  for (const std::string& bytes : {std::string(), std::string("PK"), truncated}) {
    EXPECT_EQ(ErrorOf([&] { ZipReader reader(AsBuffer(bytes), ""); }), kLoadMemory);
    std::istringstream stream(bytes);
    EXPECT_EQ(ErrorOf([&] { ZipReader reader(stream, ""); }), kLoadMemory);
  }
  std::istringstream failed(archive);
  failed.setstate(std::ios::failbit);
  EXPECT_EQ(ErrorOf([&] { ZipReader reader(failed, ""); }), kLoadMemory);
}

TEST(ZipReader, ListsEntriesInDirectoryOrderFromEverySource) {
  TempDir dir;
  const std::string archive = ArchiveBytes(SampleEntries());
  WriteFileBytes(dir.path() / "sample.zip", archive);

  ZipReader fromFile(dir.str("sample.zip"), "");
  const std::vector<ArchiveEntry> listed = fromFile.listEntries();
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].entryName, "update/");
  EXPECT_EQ(listed[0].unpackedSize, 0u);
  EXPECT_TRUE(listed[0].directory);
  EXPECT_EQ(listed[1].entryName, "update/app.exe");
  EXPECT_FALSE(listed[1].directory);
  EXPECT_EQ(listed[1].unpackedSize, 5003u);
  EXPECT_LT(listed[1].packedSize, listed[1].unpackedSize);
  EXPECT_EQ(listed[2].entryName, "notes.txt");
  EXPECT_EQ(listed[2].packedSize, listed[2].unpackedSize);
  EXPECT_EQ(fromFile.listEntries(), listed);

  // The stream and the buffer are read once: the reader keeps its own copy.
  auto stream = std::make_unique<std::istringstream>(archive);
  ZipReader fromStream(*stream, "");
  stream.reset();
  std::vector<std::uint8_t> bytes = AsBuffer(archive);
  ZipReader fromBuffer(bytes, "");
  bytes.assign(bytes.size(), 0);
  EXPECT_EQ(fromStream.listEntries(), listed);
  EXPECT_EQ(fromBuffer.listEntries(), listed);
}

TEST(ZipReader, DescribesTheEntryStamp) {
  EntryRecipe impossible = File("bad-date.txt", "b");
  impossible.dosDateTime = kJuly3rd2024 & ~(0x0Fu << 21);  // month field 0
  ZipReader reader(AsBuffer(ArchiveBytes({File("a.txt", "a"), impossible})), "");
  const std::vector<ArchiveEntry> listed = reader.listEntries();
  ASSERT_EQ(listed.size(), 2u);

  EXPECT_EQ(listed[0].dosDateTime, kJuly3rd2024);
  EXPECT_EQ(listed[0].dateParts, (DateParts{8, 5, 10, 3, 6, 2024}));
  EXPECT_EQ(listed[0].timeText, "2024-6-3 10:5:8");

  EXPECT_EQ(listed[1].dateParts, DateParts{});
  EXPECT_EQ(listed[1].timeText, "0-0-0 0:0:0");
  EXPECT_EQ(listed[1].dosDateTime, impossible.dosDateTime);

  // After the listing the last entry is current.
  EXPECT_EQ(reader.readCurrentEntryInfo(), listed[1]);
}

// A name must fit the 256-byte buffer with its terminating zero; a longer one
// is refused rather than cut and written under another name.
// The name buffer once held 255 bytes and refused every longer name; the
// format's length field allows 65535.
TEST(ZipReader, NamesComeWholeUpToTheFormatsLongest) {
  for (const std::string& name : {"d/" + std::string(253, 'n'), "d/" + std::string(65533, 'n')}) {
    ZipReader reader(AsBuffer(ArchiveBytes({File("ok.txt", "o"), File(name, "x")})), "");
    ASSERT_EQ(reader.listEntries().size(), 2u);
    EXPECT_EQ(reader.listEntries()[1].entryName, name);
  }
}

TEST(ZipReader, EmptyArchiveOpensWithNoEntries) {
  TempDir dir;
  WriteArchive(dir.str("empty.zip"), {});
  ZipReader fromFile(dir.str("empty.zip"), "");
  EXPECT_TRUE(fromFile.listEntries().empty());
  EXPECT_TRUE(fromFile.extractAll(dir.str("out")));
  EXPECT_EQ(TreeOf(dir.str()), std::vector<std::string>{"empty.zip"});

  ZipReader fromBuffer(AsBuffer(testing_support::ReadFileBytes(dir.path() / "empty.zip")), "");
  EXPECT_TRUE(fromBuffer.listEntries().empty());
}

TEST(ZipReader, ClosedReaderWritesNothing) {
  TempDir dir;
  const std::string archive = ArchiveBytes(SampleEntries());
  WriteFileBytes(dir.path() / "sample.zip", archive);
  ZipReader fromFile(dir.str("sample.zip"), "");
  ZipReader fromBuffer(AsBuffer(archive), "");

  for (ZipReader* reader : {&fromFile, &fromBuffer}) {
    reader->closeArchive();
    reader->closeArchive();
    EXPECT_TRUE(reader->listEntries().empty());
    EXPECT_TRUE(reader->extractAll(dir.str("out")));
    EXPECT_FALSE(reader->extractOne("notes.txt", dir.str("out")));
    std::vector<std::uint8_t> buffer;
    EXPECT_FALSE(reader->readEntryToBuffer("notes.txt", buffer));
    std::ostringstream stream;
    EXPECT_FALSE(reader->readEntryToStream("notes.txt", stream));
    EXPECT_TRUE(buffer.empty());
    EXPECT_TRUE(stream.str().empty());
  }
  EXPECT_EQ(TreeOf(dir.str()), std::vector<std::string>{"sample.zip"});
}
