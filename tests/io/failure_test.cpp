// One failure type for every module: its reason tells which module's kind of failure it
// is, so that a front end can tell a read from a write from a reader's refusal.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "io/atomic_file.hpp"
#include "io/read_file.hpp"
#include "io/result.hpp"

namespace kavelin::io {
namespace {

TEST(Failure, AReasonBelongsToItsOwnKindOnly) {
  const Failure read = ReadFailure(ReadProblem::kNotRegularFile, "a.k7c");
  const Failure write = WriteFailure("b.k7p", kSymbolicLinkError);
  const Failure full = WriteFailure("c.k7p", ENOSPC);

  EXPECT_EQ(ProblemOf(read), ReadProblem::kNotRegularFile);
  EXPECT_EQ(ProblemOf(write), ReadProblem::kNone) << "a write is no read";
  // The two enums share values; the category keeps them apart.
  EXPECT_EQ(static_cast<int>(ReadProblem::kNotRegularFile),
            static_cast<int>(WriteProblem::kSymbolicLink));
  EXPECT_NE(write.reason, ReadProblem::kNotRegularFile);
  EXPECT_EQ(write.reason, WriteProblem::kSymbolicLink);
  WriteProblem problem{};
  EXPECT_FALSE(ReasonIs(read, problem));
  EXPECT_TRUE(ReasonIs(write, problem));
  EXPECT_EQ(problem, WriteProblem::kSymbolicLink);

  // A write the system refused keeps its errno as the reason, in the system's words.
  EXPECT_EQ(full.reason, std::errc::no_space_on_device);
  EXPECT_EQ(full.error, ENOSPC);
  EXPECT_EQ(full.what, std::generic_category().message(ENOSPC));
  EXPECT_EQ(full.exit, ExitClass::kWriteFailed);
  EXPECT_EQ(read.exit, ExitClass::kBadInput);
}

TEST(Failure, EachWriteRefusalNamesItsTargetAndItsOwnWords) {
  const struct {
    int error;
    std::error_code reason;
  } cases[] = {
      {kNotRegularFileError, WriteProblem::kNotRegularFile},
      {kSymbolicLinkError, WriteProblem::kSymbolicLink},
      {EISDIR, std::make_error_code(std::errc::is_a_directory)},
      {EACCES, std::make_error_code(std::errc::permission_denied)},
  };
  std::vector<std::string> said;
  for (const auto& c : cases) {
    const Failure failure = WriteFailure("out.k7p", c.error);
    EXPECT_EQ(failure.reason, c.reason) << c.error;
    EXPECT_EQ(failure.error, c.error);
    EXPECT_EQ(failure.file, "out.k7p");
    EXPECT_FALSE(failure.what.empty());
    said.push_back(failure.what);
  }
  EXPECT_NE(said[0], said[1]);
}

TEST(Result, HoldsTheValueOrTheFailureAndItsParts) {
  Result<std::string> made = std::string("bytes");
  ASSERT_TRUE(made);
  EXPECT_EQ(*made, "bytes");
  EXPECT_EQ(made->size(), 5u);
  *made += "!";
  EXPECT_EQ(std::move(made).operator*(), "bytes!");

  const Result<std::string> refused = ReadFailure(ReadProblem::kTooLarge, "big", 0, {300, 100});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.Why().file, "big");
  const auto* parts = refused.Why().PartsAs<ReadParts>();
  ASSERT_NE(parts, nullptr);
  EXPECT_EQ(parts->size, 300u);
  EXPECT_EQ(parts->limit, 100u);
  EXPECT_EQ(refused.Why().PartsAs<int>(), nullptr) << "parts of another type are none";

  const Result<void> done;
  EXPECT_TRUE(done);
  const Result<void> notDone = WriteFailure("x", EIO);
  ASSERT_FALSE(notDone);
  EXPECT_EQ(notDone.Why().error, EIO);
}

}  // namespace
}  // namespace kavelin::io
