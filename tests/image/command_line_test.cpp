#include "image/command_line.hpp"

#include <gtest/gtest.h>

namespace kavelin::image {
namespace {

TEST(GetCommandLineArg, SplitsTheTail) {
  const struct {
    std::string_view tail;
    int n;
    std::string_view expected;
  } cases[] = {
      {"a  b", 1, "a"},
      {"a  b", 2, ""},  // a run of spaces holds empty arguments
      {"a  b", 3, "b"},
      {"a  b", 4, ""},
      {R"(C:\My Docs\t.bmp)", 1, R"(C:\My)"},
      {R"(C:\My Docs\t.bmp)", 2, R"(Docs\t.bmp)"},
      {R"("C:\My Docs\t.bmp")", 1, R"(C:\My Docs\t.bmp)"},
      {R"("C:\My Docs\t.bmp")", 2, ""},
      {R"("a b" c)", 2, "c"},
      // The character after the closing quote is skipped whatever it is.
      {R"("a b"c d)", 2, ""},
      {R"("a b"c d)", 3, "d"},
      {R"("" b)", 1, ""},
      {R"("" b)", 2, "b"},
      {R"(x "y z")", 2, "y z"},
      {R"("never closed)", 1, "never closed"},
      {R"(a "never closed)", 2, "never closed"},
      {"テンプレ 画像.gif", 2, "画像.gif"},
      {"a ", 1, "a"},
      {"a ", 2, ""},
      {"", 1, ""},
      {"a", 0, ""},
      {"a", -1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetCommandLineArg(c.tail, c.n), c.expected) << c.tail << " #" << c.n;
}

}  // namespace
}  // namespace kavelin::image
