// What the commands of kavelin-cli share: arguments, files, the terminal and exit codes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command/output_plan.hpp"
#include "command/user_file.hpp"
#include "sheet/sheet_file.hpp"
#include "text/code_table.hpp"
#include "translate/translate.hpp"

namespace kavelin::cli {

// Every message of the command line's own is marked where it is written (po/ holds the
// catalogues); numbers, names and paths go in through Format.
using text::Format;
using text::Tr;
using text::TrN;

// Exit codes, documented in the README.
enum ExitCode : int {
  kSuccess = 0,
  kInputErrors = 1,   // make: the sheet has input errors; encode: a character the game lacks
  kFailure = 2,       // usage, an unreadable or invalid template, sheet file or patch
  kNotConfirmed = 3,  // make: warnings not confirmed (no terminal and no --yes, or "no")
  kWriteFailed = 4,   // a file or the standard output could not be written; any older
                      // file is intact
};

// The command's arguments split into positional ones and options (with or without a
// value). An unknown option (anything starting with "-" before "--"), a repeated one or
// one that needs a value and has none is an error. "-o" is the short spelling of
// "--output" wherever a command takes one; both are kept under "--output", and giving
// both is an error too.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // by their long names
  std::vector<std::string> spellings;  // each option as it was typed, for messages
  std::string error;

  bool Has(std::string_view name) const;
  std::optional<std::string> Value(std::string_view name) const;
  // The option as the user typed it ("-o" or "--output"); `name` when not given.
  std::string Spelling(std::string_view name) const;
};

Arguments ParseArguments(int argc, char** argv, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valued);

// Why a file could not be read or written, starting with its name as the user gave it; a
// patch's bad byte is named by its offset after the name.
std::string FailureMessage(const std::filesystem::path& shown, const Failure& failure);
// A failure said on the standard error; the exit code of its class.
int Fail(const std::filesystem::path& shown, const Failure& failure);
// The same for a picture that could not be saved: one its name cannot hold is said as
// every command says it.
int FailExport(const std::filesystem::path& shown, const Failure& failure);

// Where a command writes, once the file in that place has been judged: the same kind of
// file is replaced; anything else there, a link included, only with --force (a link is
// then written through to the file it names). A folder, device or pipe passes, for the
// writer to refuse as every command does. Empty `path` and a message on stderr when
// refused; `sameKindReplaces` false (a blank template) refuses every existing file.
std::filesystem::path PrepareOutput(const std::filesystem::path& output, command::OutputKind kind,
                                    bool force, bool sameKindReplaces = true);

// Refuses an empty file name given for `what` ("TEMPLATE", "--output"): it names no file,
// and a path made from it would name the working folder. Returns true when one was empty.
bool RefuseEmptyName(std::string_view what, std::string_view value);

// What sheet, names and inspect print, written instead into the file -o named: refused
// when that file is one the run reads (`inputs`, the settings and names files), judged as
// PrepareOutput judges it (`sameKindReplaces` false: any file there needs --force), then
// replaced only by the complete new one, and named on the standard output, as export
// names its template. The exit code.
int WriteOutputFile(const Arguments& args, std::string_view contents, command::OutputKind kind,
                    bool sameKindReplaces, std::vector<std::filesystem::path> inputs = {});

// The sheet file --sheet names; when it cannot be read or is no sheet file, says why on
// stderr and returns nothing.
std::optional<sheet::SheetDocument> ReadSheet(const std::filesystem::path& path);

// Prints a text of the core (CR LF line breaks) as UTF-8 lines.
void PrintLines(std::ostream& out, std::u16string_view text);
std::string Utf8(std::u16string_view text);
// A text for the terminal, control characters shown as U+001B and the like, so that a
// name or argument cannot drive the terminal.
std::string Printable(std::string_view utf8);
// A path as the user typed it, for messages.
std::string Shown(const std::filesystem::path& path);

// Flushes the standard output; when it could not be written, says so and returns
// kWriteFailed (or `code` when higher), else `code`.
int FinishOutput(int code);

bool StdinIsTerminal();
// Asks a yes/no question on the terminal; only "y" or "yes" (any case) is yes.
bool AskYesNo(std::u16string_view question);

// The code table with the extended characters of the settings file: the one --ini named,
// else KV7Tools.ini beside the executable, else in the user's configuration folder. A
// line that is not code page 932 is warned about on stderr; the file is read all the same.
text::CodeTable LoadCodeTable();
// --ini: this settings file instead of the search. Reads it at once; when it cannot be
// read, says why and returns kFailure.
int UseSettingsFile(const std::filesystem::path& file);
// The settings file this run reads: the one --ini named, else the one the search finds
// (empty when there is none).
std::filesystem::path SettingsFileInUse();
// make and encode name the settings file they read on stderr, so that the user knows
// which extended characters were used.
void NameSettingsFileWhenLoaded(bool name);

// A message led by "warning: " or "note: " in the user's language: a warning is about the
// user's files, a note about what the game will show.
std::string Warning(std::string_view message);
std::string Note(std::string_view message);

// Prints "kavelin-cli: " and the message to stderr; returns `code`.
int Fail(int code, std::string_view message);

}  // namespace kavelin::cli
