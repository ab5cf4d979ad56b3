// A child that outlives its output: closes standard output and error, waits
// until the file named by its argument exists (a minute at most, so none
// outlives a test run), then writes "<file>.seen" and exits with 0.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {
bool Exists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::fclose(stdout);
  std::fclose(stderr);
  const std::string release = argv[1];
  for (int i = 0; i < 1200 && !Exists(release); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (std::FILE* seen = std::fopen((release + ".seen").c_str(), "wb")) std::fclose(seen);
  return 0;
}
