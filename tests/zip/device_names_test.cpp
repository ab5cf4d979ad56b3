// Entry names that Windows would read as devices, refused on every platform;
// extraction's refusal is checked end to end.
#include "zip/device_names.h"

#include <gtest/gtest.h>

TEST(DeviceNames, EverySpellingWindowsReadsAsADevice) {
  for (const char* name : {"CON",
                           "con",
                           "Prn",
                           "AUX",
                           "NUL",
                           "COM1",
                           "com9",
                           "LPT1",
                           "lpt9",
                           "update/COM1",
                           "update\\nul",
                           "a/AUX/b.txt",
                           "NUL.txt",
                           "con.tar.gz",
                           "CON.",
                           "CON ",
                           "CON . ",
                           "NUL .txt",
                           "COM1:",
                           "LPT1:x",
                           "COM\xB9",
                           "CONIN$",
                           "conout$.txt",
                           "lpt\xC2\xB3.log",
                           "update/bin/prn.dll"}) {
    EXPECT_TRUE(namesReservedDevice(name)) << name;
  }
}

TEST(DeviceNames, NamesThatOnlyLookAlike) {
  for (const char* name : {"CONFIG", "console.txt", "NULL", "AUXX", "COM", "COM0", "COM10", "LPT", "xCON", "my con",
                           "update/app.exe", "a/CONx/b", "CO.N", "COM\xB4", "CONIN", "CON$", "", "dir/"}) {
    EXPECT_FALSE(namesReservedDevice(name)) << name;
  }
}
