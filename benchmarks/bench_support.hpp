// Inputs shared by the benchmark programs: the sample template and sheet.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "sheet/sheet_file.hpp"

namespace kavelin::bench {

inline const std::filesystem::path kExamples =
    std::filesystem::path(KAVELIN_SOURCE_DIR) / "examples";
inline const std::filesystem::path kSampleGif = kExamples / "hero.gif";

inline sheet::SheetDocument SampleSheet() {
  std::ifstream in(kExamples / "hero.json", std::ios::binary);
  const std::string json{std::istreambuf_iterator<char>(in), {}};
  return sheet::ReadSheetFile(json).document;
}

// Writes a file's data to the disk, when the file exists.
inline void FlushToDisk(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A folder of its own under the temporary directory, removed when the benchmark ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("kavelin-bench-" + name)) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kavelin::bench
