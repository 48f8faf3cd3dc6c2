// Runs a fuzz target over its committed corpus, seeds and past findings alike. A broken
// property aborts, which fails the test with the file named just before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzCorpus, EveryInputPassesTheTarget) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(KAVELIN_FUZZ_CORPUS)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << "no corpus in " << KAVELIN_FUZZ_CORPUS;
  for (const auto& file : files) {
    std::cerr << "input " << file.filename().string() << std::endl;
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
        0);
  }
}

}  // namespace
