#include "sheet/names_file.hpp"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "io/read_file.hpp"
#include "text/encoding.hpp"
#include "text/executable_folder.hpp"
#include "text/invisible.hpp"
#include "text/settings_file.hpp"
#include "text/translate.hpp"

namespace kavelin::sheet {
namespace {

using text::Format;
using text::Tr;

constexpr std::array<std::pair<ListId, std::string_view>, 8> kListKeys = {{
    {ListId::kInspirationType, "inspirationType"},
    {ListId::kTechnique, "techniques"},
    {ListId::kSpell, "spells"},
    {ListId::kWeapon, "weapons"},
    {ListId::kArmour, "armour"},
    {ListId::kFormation, "formation"},
    {ListId::kExclusiveWeapon, "exclusiveWeapon"},
    {ListId::kCommanderType, "commanderType"},
}};

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::optional<unsigned> HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return std::nullopt;
}

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// "U+200B", "U+E0041": how a report names a character that cannot be shown.
std::string CodePointText(char32_t c) {
  std::string digits;
  for (; c != 0 || digits.size() < 4; c >>= 4)
    digits.insert(digits.begin(), kHexDigits[c & 15]);
  return "U+" + digits;
}

// A piece of a bad line for the report: control bytes and bytes that are not UTF-8 shown
// as \xNN, so that the report cannot drive a terminal, and long pieces cut.
std::string Quoted(std::string_view bytes) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  std::size_t i = 0, shown = 0;
  while (i < bytes.size() && shown < kShown) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t length = b < 0x80         ? 1
                         : (b >> 5) == 6  ? 2
                         : (b >> 4) == 14 ? 3
                         : (b >> 3) == 30 ? 4
                                          : 0;
    if (length > 1 && i + length <= bytes.size()) {
      const auto decoded = text::FromUtf8(bytes.substr(i, length));
      const bool c1 = decoded && decoded->size() == 1 && IsControl((*decoded)[0]);
      if (decoded && !c1) {
        out.append(bytes.substr(i, length));
        i += length;
        ++shown;
        continue;
      }
    }
    if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
      out += static_cast<char>(b);
    } else {
      out += "\\x";
      out += kHexDigits[b >> 4];
      out += kHexDigits[b & 15];
    }
    ++i;
    ++shown;
  }
  if (i < bytes.size()) out += "...";
  return out + "\"";
}

// PositionOfCode through a table built once: the reader and the names output ask it for
// every line and every entry.
std::optional<int> PositionOf(ListId list, std::uint8_t code) {
  static const auto positions = [] {
    std::array<std::array<std::int16_t, 256>, kAllLists.size()> table{};
    for (const ListId id : kAllLists) {
      auto& row = table[static_cast<std::size_t>(id)];
      row.fill(-1);
      for (int c = 0; c < 256; ++c) {
        if (const auto p = PositionOfCode(id, static_cast<std::uint8_t>(c)))
          row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(*p);
      }
    }
    return table;
  }();
  const std::int16_t p = positions[static_cast<std::size_t>(list)][code];
  if (p < 0) return std::nullopt;
  return p;
}

std::u16string CodePrefix(std::uint8_t code) {
  return std::u16string(u"【") + static_cast<char16_t>(kHexDigits[code >> 4]) +
         static_cast<char16_t>(kHexDigits[code & 15]) + u"】";
}

// Reports of one file, at most kMaxReportedNamesProblems of them, then a count.
class Reporter {
 public:
  Reporter(const std::filesystem::path& file, std::vector<NamesProblem>& problems)
      : file_(file), problems_(problems) {}
  ~Reporter() {
    if (unreported_ > 0) {
      problems_.push_back({file_,
                           0,
                           Format(text::TrN("%s more bad line skipped and not shown",
                                            "%s more bad lines skipped and not shown", unreported_),
                                  unreported_),
                           {}});
    }
  }
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  void Bad(std::size_t line, std::string reason) {
    if (reported_ == kMaxReportedNamesProblems) {
      ++unreported_;
      return;
    }
    ++reported_;
    problems_.push_back({file_, line, Format(Tr("%s; line skipped"), reason), {}});
  }

 private:
  const std::filesystem::path& file_;
  std::vector<NamesProblem>& problems_;
  std::size_t reported_ = 0, unreported_ = 0;
};

}  // namespace

std::string_view NamesListKey(ListId list) {
  for (const auto& [id, key] : kListKeys) {
    if (id == list) return key;
  }
  return {};
}

std::optional<ListId> ListOfNamesKey(std::string_view key) {
  for (const auto& [id, name] : kListKeys) {
    if (name == key) return id;
  }
  return std::nullopt;
}

std::u16string_view BuiltInName(std::u16string_view entry) {
  return EntryCode(entry) ? entry.substr(4) : entry;
}

std::u16string_view NamesTable::Name(ListId list, std::uint8_t code) const {
  if (const auto named = names_.find({list, code}); named != names_.end()) return named->second;
  const auto position = PositionOf(list, code);
  if (!position) return {};
  return BuiltInName(ListEntries(list)[static_cast<std::size_t>(*position)]);
}

std::u16string NamesTable::DisplayText(ListId list, int position) const {
  const auto entries = ListEntries(list);
  if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) return {};
  const std::u16string_view entry = entries[static_cast<std::size_t>(position)];
  const auto code = EntryCode(entry);
  if (!code || !IsCodedList(list)) return std::u16string(entry);
  const auto named = names_.find({list, *code});
  if (named == names_.end()) return std::u16string(entry);
  return CodePrefix(*code) + named->second;
}

std::vector<std::u16string> NamesTable::DisplayEntries(ListId list) const {
  std::vector<std::u16string> out;
  const auto count = static_cast<int>(ListEntries(list).size());
  out.reserve(static_cast<std::size_t>(count));
  for (int p = 0; p < count; ++p)
    out.push_back(DisplayText(list, p));
  return out;
}

bool NamesTable::SetName(ListId list, std::uint8_t code, std::u16string_view name) {
  if (!IsCodedList(list) || NameProblem(name)) return false;
  const auto position = PositionOf(list, code);
  if (!position) return false;
  if (BuiltInName(ListEntries(list)[static_cast<std::size_t>(*position)]) == name) {
    names_.erase({list, code});
  } else {
    names_.insert_or_assign({list, code}, std::u16string(name));
  }
  return true;
}

std::optional<std::string> NameProblem(std::u16string_view name) {
  std::size_t characters = 0;
  bool blank = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char32_t c = name[i];
    // A lone surrogate is no character; a pair is one.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
        name[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00u);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return Tr("the name holds a broken character");
    } else if (IsControl(c)) {
      return c == U'\t' ? Tr("the name holds a tab (a line has three fields)")
                        : Tr("the name holds a control character");
    }
    // Shown in lists and written into the game, such a character could make a name look
    // empty or like another, or turn the text after it around.
    if (text::IsInvisibleCharacter(c))
      return Format(Tr("the name holds an invisible character (%s)"), CodePointText(c));
    if (!text::IsSpaceCharacter(c)) blank = false;
    ++characters;
  }
  if (characters == 0) return Tr("the name is empty");
  if (blank) return Tr("the name is only blanks");
  if (characters > kMaxNameLength) {
    return Format(Tr("the name has %1$s characters; at most %2$s are allowed"), characters,
                  kMaxNameLength);
  }
  return std::nullopt;
}

std::string ProblemText(const NamesProblem& problem) {
  // Appended piece by piece: g++ 12 at -O2 warns (wrongly) about "…" + std::string.
  std::string out = problem.file.string();
  if (problem.line != 0) {
    out += ':';
    out += std::to_string(problem.line);
  }
  out += ": ";
  out += problem.reason;
  return out;
}

void ReadNamesFile(std::span<const std::uint8_t> bytes, const std::filesystem::path& file,
                   NamesTable& table, std::vector<NamesProblem>& problems) {
  std::string_view rest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  Reporter report(file, problems);
  std::map<std::pair<ListId, std::uint8_t>, std::size_t> seen;  // entry -> its first line
  for (std::size_t number = 1; !rest.empty(); ++number) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);  // saved with Windows line ends
    if (line.starts_with('#') || line.find_first_not_of(" \t") == std::string_view::npos) continue;

    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
      report.Bad(number, Format(Tr("expected LIST<TAB>CODE<TAB>NAME, found %s"), Quoted(line)));
      continue;
    }
    const std::string_view key = line.substr(0, tab1);
    const std::string_view codeText = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view nameBytes = line.substr(tab2 + 1);

    const auto list = ListOfNamesKey(key);
    if (!list) {
      report.Bad(number, Format(Tr("unknown list %s"), Quoted(key)));
      continue;
    }
    const auto high = codeText.size() == 2 ? HexValue(codeText[0]) : std::nullopt;
    const auto low = codeText.size() == 2 ? HexValue(codeText[1]) : std::nullopt;
    if (!high || !low) {
      report.Bad(number, Format(Tr("code %s is not two hexadecimal digits"), Quoted(codeText)));
      continue;
    }
    const auto code = static_cast<std::uint8_t>(*high * 16 + *low);
    if (!PositionOf(*list, code)) {
      report.Bad(number, Format(Tr("the %1$s list has no code %2$s"), key,
                                std::string{kHexDigits[code >> 4], kHexDigits[code & 15]}));
      continue;
    }
    const auto name = text::FromUtf8(nameBytes);
    if (!name) {
      report.Bad(number, Tr("the name is not UTF-8 text"));
      continue;
    }
    if (const auto problem = NameProblem(*name)) {
      report.Bad(number, *problem);
      continue;
    }
    const auto [first, added] = seen.try_emplace({*list, code}, number);
    if (!added) {
      report.Bad(number, Format(Tr("%1$s %2$s is named already on line %3$s"), key, codeText,
                                first->second));
      continue;
    }
    table.SetName(*list, code, *name);
  }
}

std::string WriteNamesFile(const NamesTable& table) {
  std::string out;
  out.reserve(383 * 32);
  for (const ListId list : kCodedLists) {
    const std::string key(NamesListKey(list));
    const auto entries = ListEntries(list);
    for (std::size_t p = 0; p < entries.size(); ++p) {
      const std::uint8_t code = *EntryCode(entries[p]);
      out += key;
      out += '\t';
      out += kHexDigits[code >> 4];
      out += kHexDigits[code & 15];
      out += '\t';
      out += text::ToUtf8(table.Name(list, code));
      out += '\n';
    }
  }
  return out;
}

std::vector<std::filesystem::path> NamesFilePlaces(const std::filesystem::path& executableFolder,
                                                   const char* xdgConfigHome, const char* home) {
  std::vector<std::filesystem::path> places;
  if (!executableFolder.empty()) places.push_back(executableFolder / kNamesFileName);
  const auto config = text::UserConfigFolder(xdgConfigHome, home);
  if (!config.empty()) places.push_back(config / kNamesFileName);
  return places;
}

NamesLoad ReadNamesFiles(std::span<const std::filesystem::path> places) {
  NamesLoad load;
  for (const auto& place : places) {
    const io::FileRead read = io::ReadFile(place, kMaxNamesFileBytes);
    if (read.problem == io::ReadProblem::kNoSuchFile) continue;  // names files are optional
    if (!read) {
      NamesProblem problem{
          place, 0,
          read.problem == io::ReadProblem::kTooLarge
              ? Format(Tr("larger than %s MiB, too large for a names file; "
                          "not read"),
                       kMaxNamesFileBytes >> 20)
              : Format(Tr("%s; not read"), io::ReadProblemText(read, kMaxNamesFileBytes)),
          read};
      load.problems.push_back(std::move(problem));
      continue;
    }
    const std::vector<std::uint8_t>& bytes = read.bytes;
    ReadNamesFile(bytes, place, load.table, load.problems);
    load.filesRead.push_back(place);
  }
  return load;
}

NamesLoad LoadNamesTable() {
  const auto places = NamesFilePlaces(text::ExecutableFolder(), std::getenv("XDG_CONFIG_HOME"),
                                      std::getenv("HOME"));
  return ReadNamesFiles(places);
}

}  // namespace kavelin::sheet
