// Entry names that Windows would read as devices, refused on every platform.
#include "zip/device_names.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;

TEST(DeviceNames, EverySpellingWindowsReadsAsADevice) {
  for (const char* name : {"CON", "con", "Prn", "AUX", "NUL", "COM1", "com9", "LPT1", "lpt9",
                           "update/COM1", "update\\nul", "a/AUX/b.txt", "NUL.txt", "con.tar.gz",
                           "CON.", "CON ", "CON . ", "NUL .txt", "COM1:", "LPT1:x", "COM\xB9",
                           "lpt\xC2\xB3.log", "update/bin/prn.dll"}) {
    EXPECT_TRUE(namesReservedDevice(name)) << name;
  }
}

TEST(DeviceNames, NamesThatOnlyLookAlike) {
  for (const char* name : {"CONFIG", "console.txt", "NULL", "AUXX", "COM", "COM0", "COM10",
                           "LPT", "xCON", "my con", "update/app.exe", "a/CONx/b", "CO.N",
                           "COM\xB4", "", "dir/"}) {
    EXPECT_FALSE(namesReservedDevice(name)) << name;
  }
}

// Under Wine today update/COM1 writes the entry's bytes to a serial port.
TEST(DeviceNames, ExtractionRefusesThemBeforeWritingAnything) {
  testing_support::TempDir dir;
  for (const char* device : {"update/COM1", "update/sub/nul.txt", "update/Aux."}) {
    ZipReader reader(AsBuffer(ArchiveBytes({File("update/good.txt", "g"), File(device, "bytes")})), "");
    EXPECT_FALSE(reader.extractAll(dir.str("out"))) << device;
    EXPECT_FALSE(reader.extractOne(device, dir.str("out"))) << device;
    EXPECT_TRUE(TreeOf(dir.str()).empty()) << device;
  }
  ZipReader renamed(AsBuffer(ArchiveBytes({File("good.txt", "g")})), "");
  EXPECT_FALSE(renamed.extractAll(dir.str("out"), {{"good.txt", "lpt2.txt"}}));
  EXPECT_TRUE(TreeOf(dir.str()).empty());
}
