#include "command/file_kind.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string_view>

#include "support/file_io.hpp"

namespace kavelin::command {
namespace {

FileKind Kind(std::string_view bytes) {
  return KindOfBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

TEST(FileKind, FirstBytesDecideNotTheName) {
  EXPECT_EQ(Kind("K7P\x01"), FileKind::kPatch);
  EXPECT_EQ(Kind("GIF89a"), FileKind::kTemplate);
  EXPECT_EQ(Kind("BM\x36"), FileKind::kTemplate);
  EXPECT_EQ(Kind("\x89PNG\r\n\x1a\n"), FileKind::kTemplate);
  EXPECT_EQ(Kind("{\"name\": \"x\"}"), FileKind::kSheet);
  EXPECT_EQ(Kind("\xEF\xBB\xBF \r\n\t{}"), FileKind::kSheet);
  // Near misses stay unknown, so that the window reports them as an unreadable template.
  for (const std::string_view other : {"", "K7", "k7p", "gif89a", "B", "[1]", "x{", "\xEF\xBB{",
                                       "\x89PNG\r\n\x1a", "\x89PNG\n\x1a\n"})
    EXPECT_EQ(Kind(other), FileKind::kUnknown) << other;
}

TEST(FileKind, OnlyRegularFilesAreLookedAt) {
  const test_support::TempFolder temp;
  test_support::WriteAll(temp / "hero.gif", "K7P");
  EXPECT_EQ(KindOfFile(temp / "hero.gif"), FileKind::kPatch);
  test_support::WriteAll(temp / "hero.k7c", "  {}");
  EXPECT_EQ(KindOfFile(temp / "hero.k7c"), FileKind::kSheet);
  EXPECT_EQ(KindOfFile(temp / "missing"), FileKind::kUnknown);
  EXPECT_EQ(KindOfFile(temp.Path()), FileKind::kUnknown);
  ASSERT_EQ(mkfifo((temp / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(KindOfFile(temp / "pipe"), FileKind::kUnknown) << "and no hang";
}

}  // namespace
}  // namespace kavelin::command
