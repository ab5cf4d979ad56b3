// Fuzzes the check that keeps archive entries inside their destination: any
// name it accepts, read the way Windows reads a path (either separator, "."
// and trailing dots and blanks ignored, ".." one level up), stays below the
// destination, and the joined output path keeps the destination as its start.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "zip/output_path.h"

namespace {

// Windows drops trailing dots and blanks from a path segment.
std::string AsWindowsReadsIt(std::string segment) {
  while (!segment.empty() && (segment.back() == '.' || segment.back() == ' ')) segment.pop_back();
  return segment;
}

// True when walking `name` segment by segment never climbs above its start.
bool StaysBelowItsStart(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  // A drive prefix; any other colon names a stream of a file below the start.
  if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  int depth = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find_first_of("/\\", start);
    const std::string segment = name.substr(start, end == std::string::npos ? end : end - start);
    const std::string read = AsWindowsReadsIt(segment);
    const bool dotsOnly = !segment.empty() && segment.find_first_not_of(". ") == std::string::npos;
    if (dotsOnly && segment.find("..") != std::string::npos) {
      if (--depth < 0) return false;
    } else if (!read.empty()) {
      ++depth;
    }
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  if (!landsInsideDestination(name)) return 0;
  if (!StaysBelowItsStart(name)) std::abort();
  const std::string destination = "dest";
  const std::string joined = outputPathOf(destination, name);
  if (joined.compare(0, destination.size() + 1, destination + platform::kPathSeparator) != 0) std::abort();
  return 0;
}
