#include "cli/cli_support.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "command/save_file.hpp"
#include "command/user_file.hpp"
#include "io/atomic_file.hpp"
#include "io/read_file.hpp"
#include "patch/patch_writer.hpp"
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

std::string Arguments::Spelling(std::string_view name) const {
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (options[i].first == name) return spellings[i];
  }
  return std::string(name);
}

Arguments ParseArguments(int argc, char** argv, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valuedOptions) {
  const auto known = [](const std::vector<std::string>& names, const std::string& arg) {
    return std::find(names.begin(), names.end(), arg) != names.end();
  };
  Arguments args;
  bool onlyPositional = false;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::string name = arg == "-o" && known(valuedOptions, "--output") ? "--output" : arg;
    // Anything that looks like an option is one: a mistyped option taken as a file name
    // could name a file to read or, worse, make a patch path to write over.
    if (onlyPositional || arg == "-" || !arg.starts_with("-")) {
      args.positional.push_back(arg);
    } else if (arg == "--") {
      onlyPositional = true;
    } else if (!known(flags, name) && !known(valuedOptions, name)) {
      args.error = Format(Tr("unknown option %s"), Shown(arg));
      return args;
    } else if (args.Has(name)) {
      // Which of two values was meant is a guess; refusing costs a retyped line.
      const std::string first = args.Spelling(name);
      args.error = first == arg ? Format(Tr("%s given twice"), arg)
                                : Format(Tr("%1$s and %2$s name the same thing; give one"),
                                         first.size() < arg.size() ? first : arg,
                                         first.size() < arg.size() ? arg : first);
      return args;
    } else if (known(flags, name)) {
      args.options.emplace_back(name, "");
      args.spellings.push_back(arg);
    } else if (i + 1 >= argc) {
      args.error = Format(Tr("%s needs a value"), arg);
      return args;
    } else {
      args.options.emplace_back(name, argv[++i]);
      args.spellings.push_back(arg);
    }
  }
  return args;
}

std::string FailureMessage(const std::filesystem::path& shown, const Failure& failure) {
  if (const auto* at = failure.PartsAs<patch::PatchProblemAt>())
    return Format(Tr("%1$s: offset %2$s: %3$s"), Shown(shown), at->offset, failure.what);
  // A write says why as the window's boxes do.
  if (failure.exit == ExitClass::kWriteFailed && !failure.PartsAs<io::ReadParts>())
    return Shown(shown) + ": " + Utf8(patch::FileErrorReason(failure.error));
  return Shown(shown) + ": " + failure.what;
}

int Fail(const std::filesystem::path& shown, const Failure& failure) {
  return Fail(failure.exit == ExitClass::kWriteFailed ? kWriteFailed : kFailure,
              FailureMessage(shown, failure));
}

int FailExport(const std::filesystem::path& shown, const Failure& failure) {
  command::EncodeProblem problem{};
  if (ReasonIs(failure, problem))
    return Fail(kFailure, Format(Tr("%s: the template could not be encoded"), Shown(shown)));
  return Fail(shown, failure);
}

namespace {

// The words of a kind of file: "there is %s there already".
std::string KindName(command::ExistingKind kind) {
  switch (kind) {
    case command::ExistingKind::kPatch:
      return Tr("a patch");
    case command::ExistingKind::kGif:
      return Tr("a GIF picture");
    case command::ExistingKind::kBmp:
      return Tr("a BMP picture");
    case command::ExistingKind::kPng:
      return Tr("a PNG picture");
    case command::ExistingKind::kSheet:
      return Tr("a character sheet");
    case command::ExistingKind::kNothing:
    case command::ExistingKind::kOther:
    case command::ExistingKind::kLink:
    case command::ExistingKind::kFolder:
    case command::ExistingKind::kDevice:
      break;
  }
  return Tr("a file of another kind");
}

}  // namespace

std::filesystem::path PrepareOutput(const std::filesystem::path& output, command::OutputKind kind,
                                    bool force, bool sameKindReplaces) {
  const command::OutputTarget target = command::InspectOutput(output, kind, sameKindReplaces);
  if (target.free || target.never) return output;
  if (target.existing == command::ExistingKind::kLink) {
    const std::filesystem::path through = io::LinkTarget(output);
    if (force) return through;
    Fail(kFailure, Format(Tr("%1$s: a symbolic link (to %2$s), which is not replaced; --force "
                             "writes to the file it names"),
                          Shown(output), Shown(through)));
    return {};
  }
  if (force) return output;
  if (!sameKindReplaces) {
    Fail(kFailure, Format(Tr("%1$s: there is %2$s there already; --force replaces it"),
                          Shown(output), KindName(target.existing)));
  } else {
    Fail(kFailure,
         Format(Tr("%1$s: there is %2$s there, not %3$s; --force replaces it"), Shown(output),
                KindName(target.existing), KindName(command::KindOf(kind))));
  }
  return {};
}

bool RefuseEmptyName(std::string_view what, std::string_view value) {
  if (!value.empty()) return false;
  Fail(kFailure, Format(Tr("%s is an empty name, which names no file"), what));
  return true;
}

int WriteOutputFile(const Arguments& args, std::string_view contents, command::OutputKind kind,
                    bool sameKindReplaces, std::vector<std::filesystem::path> inputs) {
  const std::filesystem::path output = *args.Value("--output");
  for (std::filesystem::path& read : command::FilesReadBesides(SettingsFileInUse()))
    inputs.push_back(std::move(read));
  const std::filesystem::path outputs[] = {output};
  if (const command::OutputCheck check = command::CheckPlannedOutputs(outputs, inputs); !check) {
    return Fail(kFailure, Format(Tr("%1$s would be written over %2$s, an input of this run; "
                                    "nothing was written"),
                                 Shown(output), Shown(inputs[check.other])));
  }
  const std::filesystem::path file =
      PrepareOutput(output, kind, args.Has("--force"), sameKindReplaces);
  if (file.empty()) return kFailure;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(contents.data());
  const auto written = io::WriteFileAtomically(file, {bytes, contents.size()});
  if (!written) return Fail(output, written.Why());
  std::cout << Shown(output) << '\n';
  return kSuccess;
}

std::optional<sheet::SheetDocument> ReadSheet(const std::filesystem::path& path) {
  command::SheetFileRead read = command::ReadSheetFile(path);
  if (!read) {
    Fail(path, read.Why());
    return std::nullopt;
  }
  return std::move(*read);
}

std::string Utf8(std::u16string_view text) {
  return text::ToUtf8(text);
}

void PrintLines(std::ostream& out, std::u16string_view text) {
  std::string utf8 = Utf8(text);
  std::erase(utf8, '\r');
  out << utf8 << '\n';
}

std::string Printable(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    // C0 controls and DEL; C1 controls arrive as C2 80 to C2 9F.
    unsigned control = 0x100;
    if (c < 0x20 || c == 0x7F) {
      control = c;
    } else if (c == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      control = static_cast<unsigned char>(utf8[++i]);
    }
    if (control == 0x100) {
      out += static_cast<char>(c);
      continue;
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "U+%04X", control);
    out += buffer;
  }
  return out;
}

std::string Shown(const std::filesystem::path& path) {
  return Printable(path.native());
}

int FinishOutput(int code) {
  // Output that never arrived is a failure, even when everything else worked: a sheet
  // printed into a full disk would otherwise leave an empty file behind a success.
  if (std::cout.flush()) return code;
  std::cerr << "kavelin-cli: " << Tr("the standard output could not be written") << '\n';
  return std::max(code, static_cast<int>(kWriteFailed));
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
std::vector<std::uint8_t> chosenSettingsBytes;
bool nameSettingsFile = false;
}  // namespace

int UseSettingsFile(const std::filesystem::path& file) {
  io::FileRead read = io::ReadFile(file, text::kMaxSettingsFileBytes);
  // A file the user named that cannot be read is a mistake, not an empty table.
  if (!read) {
    return Fail(kFailure, Format(Tr("settings file %1$s: %2$s"), Shown(file), read.Why().what));
  }
  chosenSettingsFile = file;
  chosenSettingsBytes = std::move(*read);
  return kSuccess;
}

std::filesystem::path SettingsFileInUse() {
  return chosenSettingsFile ? *chosenSettingsFile : text::FindFamilySettings();
}

void NameSettingsFileWhenLoaded(bool name) {
  nameSettingsFile = name;
}

text::CodeTable LoadCodeTable() {
  text::CodeTable codes;
  const std::filesystem::path file = SettingsFileInUse();
  const text::SettingsFileRead read = chosenSettingsFile
                                          ? text::LoadFamilySettings(codes, chosenSettingsBytes)
                                          : text::LoadFamilySettings(codes, file);
  if (read && nameSettingsFile)
    std::cerr << "kavelin-cli: " << Format(Tr("settings file %s"), Shown(file)) << '\n';
  // One found in its place that cannot be used is said, and the built-in table used.
  if (!read && !file.empty()) {
    std::cerr << "kavelin-cli: "
              << Warning(
                     Format(Tr("settings file %1$s: %2$s; not used"), Shown(file), read.Why().what))
              << '\n';
  }
  if (read && read->foreignLine != 0) {
    std::cerr << "kavelin-cli: "
              << Warning(Format(Tr("%1$s line %2$s is not Shift_JIS (code page 932) text, which "
                                   "the settings file must be; it is read as code page 932 all "
                                   "the same"),
                                Shown(file), read->foreignLine))
              << '\n';
  }
  return codes;
}

std::string Warning(std::string_view message) {
  return Format(Tr("warning: %s"), message);
}

std::string Note(std::string_view message) {
  return Format(Tr("note: %s"), message);
}

int Fail(int code, std::string_view message) {
  std::cerr << "kavelin-cli: " << message << '\n';
  return code;
}

}  // namespace kavelin::cli
