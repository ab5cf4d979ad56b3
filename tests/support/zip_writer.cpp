// Archives for tests, written with minizip's zip interface.
#include "tests/support/zip_writer.h"

#include "zip.h"

namespace testing_support {

bool WriteZip(const std::filesystem::path& file, const std::vector<ZipEntrySpec>& entries) {
  zipFile archive = zipOpen64(file.string().c_str(), APPEND_STATUS_CREATE);
  if (archive == nullptr) return false;
  bool ok = true;
  for (const ZipEntrySpec& entry : entries) {
    zip_fileinfo info{};
    info.tmz_date.tm_year = kStampYear;
    info.tmz_date.tm_mon = kStampMonth - 1;
    info.tmz_date.tm_mday = kStampDay;
    info.tmz_date.tm_hour = kStampHour;
    info.tmz_date.tm_min = kStampMinute;
    info.tmz_date.tm_sec = kStampSecond;
    const bool directory = !entry.name.empty() && entry.name.back() == '/';
    info.external_fa = static_cast<uLong>((directory ? 040755u : 0100000u | entry.mode)) << 16;
    constexpr uLong kMadeOnUnix = 3u << 8 | 20u;
    ok = ok &&
         zipOpenNewFileInZip4_64(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                 Z_DEFAULT_STRATEGY, nullptr, 0, kMadeOnUnix, 0, 0) == ZIP_OK &&
         zipWriteInFileInZip(archive, entry.data.data(), static_cast<unsigned>(entry.data.size())) ==
             ZIP_OK &&
         zipCloseFileInZip(archive) == ZIP_OK;
  }
  return zipClose(archive, nullptr) == ZIP_OK && ok;
}

}  // namespace testing_support
