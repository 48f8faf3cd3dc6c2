#include "cli/cli_support.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iostream>

#include "command/user_file.hpp"
#include "text/encoding.hpp"
#include "text/settings_file.hpp"

namespace kavelin::cli {

bool Arguments::Has(std::string_view name) const {
  return std::any_of(options.begin(), options.end(),
                     [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  for (const auto& [key, value] : options) {
    if (key == name) return value;
  }
  return std::nullopt;
}

Arguments ParseArguments(int argc, char** argv, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valuedOptions) {
  Arguments args;
  bool onlyPositional = false;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool flag = std::find(flags.begin(), flags.end(), arg) != flags.end();
    const bool valued =
        std::find(valuedOptions.begin(), valuedOptions.end(), arg) != valuedOptions.end();
    if (onlyPositional || (!flag && !valued && (arg.size() < 2 || arg.rfind("--", 0) != 0))) {
      args.positional.push_back(arg);
    } else if (arg == "--") {
      onlyPositional = true;
    } else if (flag) {
      args.options.emplace_back(arg, "");
    } else if (valued) {
      if (i + 1 >= argc) {
        args.error = arg + " needs a value";
        return args;
      }
      args.options.emplace_back(arg, argv[++i]);
    } else {
      args.error = "unknown option " + arg;
      return args;
    }
  }
  return args;
}

FileBytes ReadWholeFile(const std::filesystem::path& path, std::size_t limit) {
  command::UserFileBytes read = command::ReadUserFile(path, limit);
  FileBytes result;
  result.bytes = std::move(read.bytes);
  switch (read.problem) {
    case command::ReadProblem::kNone:
      break;
    case command::ReadProblem::kNoSuchFile:
      result.error = Shown(path) + ": no such file";
      break;
    case command::ReadProblem::kNotRegularFile:
      result.error = Shown(path) + ": not a regular file";
      break;
    case command::ReadProblem::kTooLarge:
      result.error = Shown(path) + ": the file is " + std::to_string(read.size) +
                     " bytes, more than " + std::to_string(limit) + " this command reads";
      break;
    case command::ReadProblem::kReadFailed:
      result.error = Shown(path) + ": " + std::strerror(read.error);
      break;
  }
  return result;
}

std::string Utf8(std::u16string_view text) {
  return text::ToUtf8(text);
}

void PrintLines(std::ostream& out, std::u16string_view text) {
  std::string utf8 = Utf8(text);
  std::erase(utf8, '\r');
  out << utf8 << '\n';
}

std::string Shown(const std::filesystem::path& path) {
  return path.string();
}

bool StdinIsTerminal() {
  return ::isatty(STDIN_FILENO) == 1;
}

bool AskYesNo(std::u16string_view question) {
  std::cerr << Utf8(question) << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return answer == "y" || answer == "yes";
}

namespace {
std::optional<std::filesystem::path> chosenSettingsFile;
bool nameSettingsFile = false;
}  // namespace

void UseSettingsFile(const std::filesystem::path& file) {
  chosenSettingsFile = file;
}

void NameSettingsFileWhenLoaded(bool name) {
  nameSettingsFile = name;
}

text::CodeTable LoadCodeTable() {
  text::CodeTable codes;
  const std::filesystem::path file =
      chosenSettingsFile ? *chosenSettingsFile : text::FindFamilySettings();
  const text::SettingsFileRead read = text::LoadFamilySettings(codes, file);
  if (read.read && nameSettingsFile)
    std::cerr << "kavelin-cli: settings file " << Shown(file) << '\n';
  if (read.foreignLine != 0) {
    std::cerr << "kavelin-cli: warning: " << Shown(file) << " line " << read.foreignLine
              << " is not Shift_JIS (code page 932) text, which the settings file must be;"
                 " it is read as code page 932 all the same\n";
  }
  return codes;
}

int Fail(int code, std::string_view message) {
  std::cerr << "kavelin-cli: " << message << '\n';
  return code;
}

}  // namespace kavelin::cli
