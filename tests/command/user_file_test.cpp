#include "command/user_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

namespace fs = std::filesystem;

// Each problem is told apart, and only a whole regular file within the limit is read; a pipe
// is refused without being opened, so the read cannot hang on it.
TEST(UserFile, ReadsOnlyAWholeRegularFileWithinTheLimit) {
  const test_support::TempFolder temp;
  const fs::path& folder = temp.Path();
  test_support::WriteAll(folder / "sheet.json", "{\"name\": \"x\"}");
  const auto read = ReadUserFile(folder / "sheet.json", 13);
  EXPECT_EQ(read.problem, ReadProblem::kNone);
  EXPECT_EQ(std::string(read.bytes.begin(), read.bytes.end()), "{\"name\": \"x\"}");

  const auto large = ReadUserFile(folder / "sheet.json", 12);
  EXPECT_EQ(large.problem, ReadProblem::kTooLarge);
  EXPECT_EQ(large.size, 13u);
  EXPECT_TRUE(large.bytes.empty());

  EXPECT_EQ(ReadUserFile(folder / "gone.json", 100).problem, ReadProblem::kNoSuchFile);
  EXPECT_EQ(ReadUserFile(folder, 100).problem, ReadProblem::kNotRegularFile);
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadUserFile(folder / "pipe", 100).problem, ReadProblem::kNotRegularFile);

  test_support::WriteAll(folder / "empty.k7p", "");
  const auto empty = ReadUserFile(folder / "empty.k7p", 100);
  EXPECT_EQ(empty.problem, ReadProblem::kNone);
  EXPECT_TRUE(empty.bytes.empty());
}

}  // namespace
}  // namespace kavelin::command
