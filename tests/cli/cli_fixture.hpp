// A private copy of kavelin-cli in a folder of the test's own, with the sample template and
// sheet beside it, so that a settings or names file can sit beside the program, and a
// config folder of its own, so that the user's real one cannot take part.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/file_io.hpp"

namespace kavelin::test_support {

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class ProgramFolder : public ::testing::Test {
 protected:
  ProgramFolder() {
    namespace fs = std::filesystem;
    fs::create_directories(folder_ / "config" / "kavelin");
    fs::copy_file(KAVELIN_CLI, folder_ / "kavelin-cli");
    const fs::path examples = fs::path(KAVELIN_SOURCE_DIR) / "examples";
    fs::copy_file(examples / "hero.gif", folder_ / "hero.gif");
    fs::copy_file(examples / "hero.json", folder_ / "hero.json");
  }

  // Runs the program with `args` from the test's folder, stdin not a terminal, in the
  // locale `locale_` sets; its standard output goes to `stdoutTo` when given.
  // `before` is shell text run first, in the same shell (a ulimit, say).
  CommandResult Run(const std::string& args, const std::string& stdoutTo = "",
                    const std::string& before = "") const {
    const auto out = folder_ / "stdout.txt", err = folder_ / "stderr.txt";
    const std::string command =
        before + "cd '" + folder_.Path().string() + "' && " + locale_ + " XDG_CONFIG_HOME='" +
        (folder_ / "config").string() + "' ./kavelin-cli " + args + " </dev/null >'" +
        (stdoutTo.empty() ? out.string() : stdoutTo) + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    CommandResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(out);
    r.err = ReadText(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
  }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }

  TempFolder folder_;
  // The exact English texts the tests compare come with the C locale, whatever the
  // machine's user speaks.
  std::string locale_ = kEnglish;
  static constexpr const char* kEnglish = "LC_ALL=C LANGUAGE=";
};

}  // namespace kavelin::test_support
