// Extraction: every entry to a directory, one entry, buffers and streams.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace fs = std::filesystem;

namespace {

EntryRecipe Directory(const std::string& name) {
  EntryRecipe entry = File(name, "");
  entry.method = kStored;
  return entry;
}

class Extraction : public ::testing::Test {
 protected:
  /// A reader over an archive file of `entries` in the test's directory.
  std::unique_ptr<ZipReader> Open(const std::vector<EntryRecipe>& entries) {
    return OpenArchive(dir.str("archive.zip"), entries);
  }
  std::string Out(const std::string& relative = {}) const { return dir.str("out/" + relative); }
  std::string Contents(const std::string& relative) const { return ReadFileBytes(dir.path() / "out" / relative); }
  std::vector<std::string> Written() const { return TreeOf(Out()); }

  testing_support::TempDir dir;
};

}  // namespace

TEST_F(Extraction, WritesDirectoriesAndFilesCreatingMissingParents) {
  auto reader =
      Open({Directory("update/"), File("update/app.exe", "program"), File("a/b/c.txt", "deep"), Directory("a/")});
  const std::string destination = dir.str("inst/temp");
  EXPECT_TRUE(reader->extractAll(destination));
  EXPECT_EQ(TreeOf(destination), (std::vector<std::string>{"a", "a/b", "a/b/c.txt", "update", "update/app.exe"}));
  EXPECT_EQ(ReadFileBytes(dir.path() / "inst/temp/update/app.exe"), "program");
  EXPECT_EQ(ReadFileBytes(dir.path() / "inst/temp/a/b/c.txt"), "deep");
}

TEST_F(Extraction, StampsWrittenFilesWithTheEntryTime) {
  auto reader = Open({File("stamped.txt", "s")});
  ASSERT_TRUE(reader->extractAll(Out()));
  const std::tm stamp = LocalWriteTime(Out("stamped.txt"));
  EXPECT_EQ(stamp.tm_year + 1900, 2024);
  EXPECT_EQ(stamp.tm_mon, 6);
  EXPECT_EQ(stamp.tm_mday, 3);
  EXPECT_EQ(stamp.tm_hour, 10);
  EXPECT_EQ(stamp.tm_min, 5);
  EXPECT_EQ(stamp.tm_sec, 8);
}

TEST_F(Extraction, ReplacesAnExistingFile) {
  WriteFileBytes(Out("app.exe"), "old and longer than the new one");
  auto reader = Open({File("app.exe", "new")});
  EXPECT_TRUE(reader->extractAll(Out()));
  EXPECT_EQ(Contents("app.exe"), "new");
}

// A failed extraction takes away what it created and leaves what it found.
TEST_F(Extraction, BlockedTargetMakesExtractionFalseAndLeavesNothingBehind) {
  fs::create_directories(Out("taken.txt"));
  WriteFileBytes(Out("old/kept.txt"), "kept");
  auto reader = Open({File("first.txt", "1"), File("old/new/deep.txt", "d"), Directory("made/"), File("taken.txt", "t"),
                      File("after.txt", "a")});
  EXPECT_FALSE(reader->extractAll(Out()));
  EXPECT_EQ(Written(), (std::vector<std::string>{"old", "old/kept.txt", "taken.txt"}));

  // A destination that did not exist is gone again too, also after an entry
  // whose data ends before its recorded size.
  EntryRecipe shortEntry = File("short.txt", "12345");
  shortEntry.method = kStored;
  shortEntry.raw = RawEntry{10, 0};
  ZipReader shortData(AsBuffer(ArchiveBytes({File("a.txt", "a"), shortEntry})), "");
  EXPECT_FALSE(shortData.extractAll(Out("fresh/dest")));
  EXPECT_EQ(Written(), (std::vector<std::string>{"old", "old/kept.txt", "taken.txt"}));
}

TEST_F(Extraction, ReadOnlyTargetMakesExtractionFalse) {
  WriteFileBytes(Out("locked.txt"), "keep");
  fs::permissions(Out("locked.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (std::ofstream(Out("locked.txt"), std::ios::app)) {
    GTEST_SKIP() << "this user may write read-only files";
  }
  auto locked = Open({File("locked.txt", "new")});
  EXPECT_FALSE(locked->extractAll(Out()));
  EXPECT_EQ(Contents("locked.txt"), "keep");
}

// Two file entries of one name installed whichever came first, without a
// word; two folder entries of one name are one folder, as some tools write.
TEST_F(Extraction, DuplicateFileNamesAreRefused) {
  auto reader = Open({File("same.txt", "first"), File("same.txt", "second")});
  EXPECT_FALSE(reader->extractAll(Out()));
  EXPECT_TRUE(Written().empty());
  EXPECT_EQ(reader->lastFailure().reason, "the same path as same.txt");
}

TEST_F(Extraction, EveryRepeatedFolderEntryIsOneFolder) {
  auto reader = Open({Directory("b/"), Directory("a/"), Directory("b/"), File("c.txt", "c1"), Directory("a/")});
  EXPECT_TRUE(reader->extractAll(Out()));
  EXPECT_EQ(Written(), (std::vector<std::string>{"a", "b", "c.txt"}));
}

TEST_F(Extraction, RenamesChooseTheOutputName) {
  auto reader = Open({File("old.txt", "renamed"), File("kept.txt", "kept")});
  EXPECT_TRUE(reader->extractAll(Out(), {{"old.txt", "new/n.txt"}, {"absent", "x"}}));
  EXPECT_EQ(Written(), (std::vector<std::string>{"kept.txt", "new", "new/n.txt"}));
  EXPECT_EQ(Contents("new/n.txt"), "renamed");
}

TEST_F(Extraction, EmptyDestinationWritesBelowTheCurrentDirectory) {
  auto reader = Open({File("here/file.txt", "relative")});
  fs::create_directories(Out());
  const std::string saved = platform::CurrentDir().value;
  ASSERT_TRUE(platform::SetCurrentDir(Out()));
  const bool extracted = reader->extractAll("");
  ASSERT_TRUE(platform::SetCurrentDir(saved));
  EXPECT_TRUE(extracted);
  EXPECT_EQ(Contents("here/file.txt"), "relative");
}

TEST_F(Extraction, DamagedCrcRaisesAfterTheFileIsWritten) {
  EntryRecipe damaged = File("bin/app.dll", "stored bytes");
  damaged.method = kStored;
  damaged.raw = RawEntry{damaged.data.size(), 0x12345678};
  auto reader = Open({damaged});
  EXPECT_EQ(ErrorOf([&] { reader->extractOne("bin/app.dll", Out()); }),
            "Error -105 openinginternal file 'bin/app.dll' in zip");
  EXPECT_EQ(Contents("bin/app.dll"), "stored bytes");
  EXPECT_EQ(LocalWriteTime(Out("bin/app.dll")).tm_year + 1900, 2024);

  std::vector<std::uint8_t> buffer;
  EXPECT_EQ(ErrorOf([&] { reader->readEntryToBuffer("bin/app.dll", buffer); }),
            "Error -105 opening internal file 'bin/app.dll' in zip");
  // extractAll raises the same, and takes away the file it wrote.
  EXPECT_EQ(ErrorOf([&] { reader->extractAll(Out("all")); }), "Error -105 openinginternal file 'bin/app.dll' in zip");
  EXPECT_FALSE(fs::exists(Out("all")));
}

// minizip would hand out bzip2 data as if stored and an encrypted entry
// undecrypted; every such entry is refused before its file is touched.
TEST_F(Extraction, RefusesEntriesItCannotDecode) {
  EntryRecipe encrypted = File("secret.txt", "ciphertext");
  encrypted.flags = 1;
  std::string archive = ArchiveBytes(
      {File("fine.txt", "f"), File("packed.bz2", "pretend bzip2"), File("packed.lzma", "pretend lzma"), encrypted});
  SetMethod(archive, "packed.bz2", 12);
  SetMethod(archive, "packed.lzma", 14);
  WriteFileBytes(dir.path() / "archive.zip", archive);
  WriteFileBytes(Out("packed.bz2"), "existing");
  ZipReader reader(dir.str("archive.zip"), "");

  EXPECT_EQ(ErrorOf([&] { reader.extractAll(Out()); }), "Error -103 opening internal file 'packed.bz2' in zip");
  EXPECT_EQ(Contents("packed.bz2"), "existing");
  EXPECT_EQ(ErrorOf([&] { reader.extractOne("packed.lzma", Out()); }),
            "Error -103 opening internal file 'packed.lzma' in zip");
  EXPECT_EQ(ErrorOf([&] { reader.extractOne("secret.txt", Out()); }),
            "Error -102 opening internal file 'secret.txt' in zip");
  std::ostringstream stream;
  EXPECT_EQ(ErrorOf([&] { reader.readEntryToStream("packed.bz2", stream); }),
            "Error -103 opening internal file 'packed.bz2' in zip");
  EXPECT_TRUE(stream.str().empty());
  // The refused extractAll took away fine.txt, which it had written.
  EXPECT_EQ(Written(), std::vector<std::string>{"packed.bz2"});
}

// minizip skips the CRC check when an entry's data ends before its recorded
// size; that is a failed read, not a shorter file reported as written.
TEST_F(Extraction, EntryDataShorterThanItsSizeFails) {
  EntryRecipe shortEntry = File("short.txt", "12345");
  shortEntry.method = kStored;
  shortEntry.raw = RawEntry{10, 0};
  auto reader = Open({shortEntry});
  EXPECT_FALSE(reader->extractAll(Out()));
  std::vector<std::uint8_t> buffer;
  EXPECT_FALSE(reader->readEntryToBuffer("short.txt", buffer));
}

TEST_F(Extraction, ExtractOneWritesOnlyTheNamedEntry) {
  auto reader = Open({File("a.txt", "a"), File("dir/b.txt", "b"), Directory("d/")});
  EXPECT_TRUE(reader->extractOne("dir/b.txt", Out()));
  EXPECT_TRUE(reader->extractOne("d/", Out()));
  EXPECT_FALSE(reader->extractOne("missing.txt", Out()));
  EXPECT_FALSE(reader->extractOne("DIR/B.TXT", Out()));
  EXPECT_EQ(Written(), (std::vector<std::string>{"d", "dir", "dir/b.txt"}));
}

TEST_F(Extraction, ReadsEntriesIntoBuffersAndStreams) {
  const std::string big(100000, 'z');
  auto reader = Open({File("a.txt", "alpha"), File("big.bin", big), Directory("d/")});
  std::vector<std::uint8_t> buffer = {'>', '>'};
  EXPECT_TRUE(reader->readEntryToBuffer("a.txt", buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), ">>alpha");
  EXPECT_TRUE(reader->readEntryToBuffer("d/", buffer));
  EXPECT_EQ(buffer.size(), 7u);
  EXPECT_FALSE(reader->readEntryToBuffer("missing", buffer));

  std::ostringstream stream;
  EXPECT_TRUE(reader->readEntryToStream("big.bin", stream));
  EXPECT_EQ(stream.str(), big);
  std::ostringstream failing;
  failing.setstate(std::ios::badbit);
  EXPECT_FALSE(reader->readEntryToStream("big.bin", failing));
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(Extraction, RefusesEveryNameThatLeavesTheDestination) {
  const std::vector<std::string> escaping = {"../evil.txt",
                                             "a/../../evil.txt",
                                             "..\\evil.txt",
                                             "a\\..\\..\\evil.txt",
                                             "../",
                                             "/evil.txt",
                                             "\\evil.txt",
                                             "//server/share/evil.txt",
                                             "C:/evil.txt",
                                             "C:evil.txt",
                                             "c:\\evil.txt",
                                             "a/.../evil.txt",
                                             "a/.. /evil.txt",
                                             "a/b/../../../evil.txt"};
  const std::string destination = dir.str("box/dest");
  for (const std::string& name : escaping) {
    WriteArchive(dir.str("hostile.zip"), {File("good.txt", "g"), File(name, "evil")});
    ZipReader reader(dir.str("hostile.zip"), "");
    EXPECT_FALSE(reader.extractAll(destination)) << name;
    EXPECT_FALSE(reader.extractOne(name, destination)) << name;
  }
  ZipReader renamed(AsBuffer(ArchiveBytes({File("good.txt", "g")})), "");
  EXPECT_FALSE(renamed.extractAll(destination, {{"good.txt", "../evil.txt"}}));
  EXPECT_EQ(TreeOf(dir.str()), std::vector<std::string>{"hostile.zip"});
}
