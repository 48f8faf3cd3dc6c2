// Whole-file reads and writes and folder listings, for tests that check what is on disk.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kavelin::test_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream(p, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteAll(const std::filesystem::path& p, const Bytes& bytes) {
  WriteAll(p, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The names in a folder, sorted.
inline std::vector<std::string> Listing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder for one test under the temporary directory, removed with the object.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavelin-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::filesystem::filesystem_error("no temporary folder",
                                              std::error_code(errno, std::generic_category()));
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace kavelin::test_support
