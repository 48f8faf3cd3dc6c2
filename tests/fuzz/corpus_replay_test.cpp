// Runs every fuzz target over its committed corpus, seeds and past findings alike. A broken
// property aborts, which fails the target's test with the file named just before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

// The build names each target's entry point kavelin_fuzz_<target> and lists the targets in
// KAVELIN_FUZZ_TARGETS, so that they can share one program.
#define KAVELIN_FUZZ_TARGET(name) \
  extern "C" int kavelin_fuzz_##name(const std::uint8_t* data, std::size_t size);
KAVELIN_FUZZ_TARGETS
#undef KAVELIN_FUZZ_TARGET

namespace {

struct FuzzTarget {
  const char* name;
  int (*run)(const std::uint8_t* data, std::size_t size);
};

constexpr FuzzTarget kTargets[] = {
#define KAVELIN_FUZZ_TARGET(name) {#name, kavelin_fuzz_##name},
    KAVELIN_FUZZ_TARGETS
#undef KAVELIN_FUZZ_TARGET
};

// Named in test listings by the target, not by its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
  *out << target.name;
}

class FuzzCorpus : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzCorpus, EveryInputPassesTheTarget) {
  const FuzzTarget& target = GetParam();
  const std::filesystem::path corpus = std::filesystem::path(KAVELIN_FUZZ_CORPUS) / target.name;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << "no corpus in " << corpus;
  for (const auto& file : files) {
    std::cerr << "input " << file.filename().string() << std::endl;
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<FuzzTarget>& target) {
                           return std::string(target.param.name);
                         });

}  // namespace
