// The family settings file "KV7Tools.ini", shared by the tools of the family. This program
// reads only its row lines, which give the extended characters of the code table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/read_file.hpp"
#include "text/code_table.hpp"

namespace kavelin::text {

inline constexpr std::string_view kFamilySettingsFileName = "KV7Tools.ini";
// The family's settings files are a few kilobytes; a file far larger is not one, and
// reading it would slow every start.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = std::uintmax_t{1} << 20;

// The extended table held by a settings file's bytes (code page 932): empty for an empty
// file, otherwise exactly 240 characters, 16 for each row 1 to 15. A row without a line,
// and the fields beyond the end of a short line, are full-width spaces. The first line for
// a row wins; everything that is not a row line is ignored.
std::u16string ExtendedRowsFromSettings(std::span<const std::uint8_t> bytes);

// The same for a file on disk. A missing, empty or unreadable file, or one larger than
// kMaxSettingsFileBytes, gives an empty table.
std::u16string ReadExtendedRows(const std::filesystem::path& settingsFile);

// Replaces the extended table of `table` with the rows of `settingsFile`.
void LoadExtendedRows(CodeTable& table, const std::filesystem::path& settingsFile);

// What a settings file holds, besides its rows.
struct FamilySettings {
  std::u16string rows;  // as ReadExtendedRows gives them
  // The first line, counted from 1, that is not code page 932 text: a byte sequence the
  // code page does not define, or a line that is well-formed UTF-8 beyond ASCII (a file
  // saved as UTF-8). 0 when every line is code page 932. The rows are read as code page
  // 932 all the same.
  std::size_t foreignLine = 0;
};
// Or why the file was not read: the one reader's failure, kNoSuchFile for an empty path.
using SettingsFileRead = Result<FamilySettings>;
SettingsFileRead ReadSettingsFile(const std::filesystem::path& settingsFile);
SettingsFileRead SettingsFromBytes(std::span<const std::uint8_t> bytes);
// LoadExtendedRows, telling what it found.
SettingsFileRead LoadFamilySettings(CodeTable& table, const std::filesystem::path& settingsFile);
// The same from a settings file's bytes, read already.
SettingsFileRead LoadFamilySettings(CodeTable& table, std::span<const std::uint8_t> bytes);

// The user's configuration folder of this program: $XDG_CONFIG_HOME/kavelin or, when that
// is unset or not absolute, $HOME/.config/kavelin; empty when neither is known.
std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home);

// Where the settings file is looked for, in order: beside the executable (as the family's
// tools keep it), then in the user's configuration folder, $XDG_CONFIG_HOME/kavelin or,
// when that is unset or not absolute, $HOME/.config/kavelin. An installed program's
// folder is writable only by root, so the second place is the user's.
std::vector<std::filesystem::path> FamilySettingsPlaces(
    const std::filesystem::path& executableFolder, const char* xdgConfigHome, const char* home);
// The first of those places, for this process, that holds a file; empty when none does.
std::filesystem::path FindFamilySettings();

// "KV7Tools.ini" in the folder of the running executable (not the working directory), or
// an empty path when that folder cannot be found.
std::filesystem::path FamilySettingsPath();

}  // namespace kavelin::text
