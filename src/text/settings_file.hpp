// The family settings file "KV7Tools.ini", shared by the tools of the family. This program
// reads only its row lines, which give the extended characters of the code table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "text/code_table.hpp"

namespace kavelin::text {

inline constexpr std::string_view kFamilySettingsFileName = "KV7Tools.ini";

// The extended table held by a settings file's bytes (code page 932): empty for an empty
// file, otherwise exactly 240 characters, 16 for each row 1 to 15. A row without a line,
// and the fields beyond the end of a short line, are full-width spaces. The first line for
// a row wins; everything that is not a row line is ignored.
std::u16string ExtendedRowsFromSettings(std::span<const std::uint8_t> bytes);

// The same for a file on disk. A missing, empty or unreadable file gives an empty table;
// nothing is reported, since the settings file is optional. The file is read in pieces, so
// a huge file costs time but not memory.
std::u16string ReadExtendedRows(const std::filesystem::path& settingsFile);

// Replaces the extended table of `table` with the rows of `settingsFile`.
void LoadExtendedRows(CodeTable& table, const std::filesystem::path& settingsFile);

// "KV7Tools.ini" in the folder of the running executable (not the working directory), or
// an empty path when that folder cannot be found.
std::filesystem::path FamilySettingsPath();

}  // namespace kavelin::text
