// kavelin-cli with names files: a private copy of the program in its own folder, so that
// a names file can sit beside it, and a config folder of the test's own, so that the
// user's real one cannot take part.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli_fixture.hpp"

namespace {

namespace fs = std::filesystem;

using CliNames = kavelin::test_support::ProgramFolder;

TEST_F(CliNames, InspectShowsTheUsersNamesAndBadLinesOnlyWarn) {
  ASSERT_EQ(Run("make hero.gif --sheet hero.json").exitCode, 0);
  Write("kavelin-names.tsv",
        "# 技の名前\n"
        "techniques\t0F\tテスト技\n"
        "technique\t10\t綴りの違い\n"
        "spells\tAB\t\xFF\n");
  const auto r = Run("inspect hero.k7p");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("  技 【0F】テスト技\n"), std::string::npos) << r.out;
  // The unnamed second technique keeps its built-in text.
  EXPECT_NE(r.out.find("  技 【10】技10\n"), std::string::npos);
  EXPECT_NE(r.err.find("kavelin-names.tsv:3: unknown list \"technique\""), std::string::npos);
  EXPECT_NE(r.err.find("kavelin-names.tsv:4: the name is not UTF-8"), std::string::npos);
  EXPECT_EQ(r.err.find("kavelin-names.tsv:2"), std::string::npos) << r.err;
  // Sheets keep codes only.
  EXPECT_EQ(Run("inspect hero.k7p --json").out.find("テスト技"), std::string::npos);

  // The user's file overrides the one beside the program, entry by entry.
  Write("config/kavelin/kavelin-names.tsv", "techniques\t0f\t私の技\n");
  const auto mine = Run("inspect hero.k7p");
  EXPECT_NE(mine.out.find("  技 【0F】私の技\n"), std::string::npos);
  const auto names = Run("names");
  EXPECT_EQ(names.exitCode, 0);
  EXPECT_NE(names.out.find("techniques\t0F\t私の技\n"), std::string::npos);
}

TEST_F(CliNames, TheNamesOutputStartsANamesFileThatGivesTheSameTable) {
  Write("kavelin-names.tsv", "weapons\t00\t薬草\nexclusiveWeapon\tB8\t氷の剣\n");
  const auto first = Run("names");
  ASSERT_EQ(first.exitCode, 0);
  EXPECT_TRUE(first.err.empty()) << first.err;
  EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 383);
  EXPECT_TRUE(first.out.starts_with("inspirationType\t00\t術\n"));
  // Read back as the only names file, it gives the same table again.
  fs::remove(folder_ / "kavelin-names.tsv");
  Write("config/kavelin/kavelin-names.tsv", first.out);
  const auto again = Run("names");
  EXPECT_TRUE(again.err.empty()) << again.err;
  EXPECT_EQ(again.out, first.out);
  EXPECT_EQ(Run("names extra").exitCode, 2);
}

}  // namespace
