// The built update.exe's resources as Windows reads them: the manifest that
// keeps the updater out of elevation and the version Explorer shows.
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/test_programs.h"

namespace {

// The program loaded as data only: nothing of it runs.
class ProgramImage {
 public:
  explicit ProgramImage(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramImage() {
    if (module_) FreeLibrary(module_);
  }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;

  /// The bytes of resource `id` of `type`; empty when there is none.
  std::string Resource(WORD id, WORD type) const {
    HRSRC found = module_ ? FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type)) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(module_, found)) : std::string();
  }

 private:
  HMODULE module_;
};

std::vector<char> VersionInfo(const std::string& path) {
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
  if (info.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
    info.clear();
  }
  return info;
}

std::string VersionString(std::vector<char>& info, const std::string& name) {
  const std::string query = "\\StringFileInfo\\040904B0\\" + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
    return {};
  }
  return std::string(value, length - 1);
}

}  // namespace

TEST(ProgramResources, ManifestAsksToRunAsTheInvoker) {
  const std::string manifest = ProgramImage(testing_support::HelperProgram("update"))
                                   .Resource(
                                       /*CREATEPROCESS_MANIFEST_RESOURCE_ID=*/1, /*RT_MANIFEST=*/24);
  ASSERT_FALSE(manifest.empty()) << "update.exe carries no application manifest";
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
      << manifest;
  // Windows 7, 8, 8.1, and 10 with 11.
  for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                         "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + os + "\"/>"), std::string::npos) << os;
  }
}

TEST(ProgramResources, VersionResourceCarriesTheProjectVersion) {
  std::vector<char> info = VersionInfo(testing_support::HelperProgram("update"));
  ASSERT_FALSE(info.empty()) << "update.exe carries no version resource";

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD major = (UPDATE_VERSION_MAJOR << 16) | UPDATE_VERSION_MINOR;
  const DWORD minor = UPDATE_VERSION_PATCH << 16;
  EXPECT_EQ(fixed->dwFileVersionMS, major);
  EXPECT_EQ(fixed->dwFileVersionLS, minor);
  EXPECT_EQ(fixed->dwProductVersionMS, major);
  EXPECT_EQ(fixed->dwProductVersionLS, minor);

  const struct {
    const char* name;
    std::string value;
  } strings[] = {{"FileVersion", UPDATE_VERSION},
                 {"ProductVersion", UPDATE_VERSION},
                 {"OriginalFilename", "update.exe"},
                 {"ProductName", "update"},
                 {"FileDescription", "Application updater"}};
  for (const auto& expected : strings) {
    EXPECT_EQ(VersionString(info, expected.name), expected.value) << expected.name;
  }
}
