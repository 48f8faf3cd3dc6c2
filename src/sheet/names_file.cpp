#include "sheet/names_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <thread>

#include "io/atomic_file.hpp"
#include "io/read_file.hpp"
#include "text/encoding.hpp"
#include "text/executable_folder.hpp"
#include "text/invisible.hpp"
#include "text/settings_file.hpp"
#include "translate/translate.hpp"

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

// One line of a names file, its line end taken off, as the reader judges it.
struct NamesLine {
  enum Kind { kNothing, kEntry, kBad } kind = kNothing;  // kNothing: a comment or blank
  ListId list = ListId::kTechnique;
  std::uint8_t code = 0;
  std::u16string name;
  std::string reason;  // of kBad
};

NamesLine ParseNamesLine(std::string_view line) {
  NamesLine out;
  if (line.starts_with('#') || line.find_first_not_of(" \t") == std::string_view::npos) return out;
  out.kind = NamesLine::kBad;
  const std::size_t tab1 = line.find('\t');
  const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos) {
    out.reason = Format(Tr("expected LIST<TAB>CODE<TAB>NAME, found %s"), Quoted(line));
    return out;
  }
  const std::string_view key = line.substr(0, tab1);
  const std::string_view codeText = line.substr(tab1 + 1, tab2 - tab1 - 1);
  const std::string_view nameBytes = line.substr(tab2 + 1);

  const auto list = ListOfNamesKey(key);
  if (!list) {
    out.reason = Format(Tr("unknown list %s"), Quoted(key));
    return out;
  }
  const auto high = codeText.size() == 2 ? HexValue(codeText[0]) : std::nullopt;
  const auto low = codeText.size() == 2 ? HexValue(codeText[1]) : std::nullopt;
  if (!high || !low) {
    out.reason = Format(Tr("code %s is not two hexadecimal digits"), Quoted(codeText));
    return out;
  }
  const auto code = static_cast<std::uint8_t>(*high * 16 + *low);
  if (!PositionOf(*list, code)) {
    out.reason = Format(Tr("the %1$s list has no code %2$s"), key,
                        std::string{kHexDigits[code >> 4], kHexDigits[code & 15]});
    return out;
  }
  auto name = text::FromUtf8(nameBytes);
  if (!name) {
    out.reason = Tr("the name is not UTF-8 text");
    return out;
  }
  if (auto problem = NameProblem(*name)) {
    out.reason = std::move(*problem);
    return out;
  }
  out.kind = NamesLine::kEntry;
  out.list = *list;
  out.code = code;
  out.name = std::move(*name);
  return out;
}

// Each line of a file: where it starts, its text without the line end, and where the
// next one starts. A byte order mark before the first line is no part of it.
template <class Visit>
void ForEachLine(std::string_view all, Visit visit) {
  std::size_t start = all.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  for (std::size_t number = 1; start < all.size(); ++number) {
    const std::size_t end = all.find('\n', start);
    std::string_view line = all.substr(start, end == std::string_view::npos ? end : end - start);
    const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);  // saved with Windows line ends
    visit(number, start, line, next);
    start = next;
  }
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string EntryLine(const NameChange& change) {
  std::string line(NamesListKey(change.list));
  line += '\t';
  line += kHexDigits[change.code >> 4];
  line += kHexDigits[change.code & 15];
  line += '\t';
  line += text::ToUtf8(*change.name);
  return line;
}

// Holds an exclusive flock on a lock file for as long as it lives.
class NamesLock {
 public:
  NamesLock(const std::filesystem::path& file, std::chrono::milliseconds wait) {
    // Non-blocking open: a pipe put in the lock file's place must not hang the window.
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      error_ = io::kNotRegularFileError;
      return;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) {
        error_ = errno;
        return;
      }
      if (std::chrono::steady_clock::now() >= until) {
        busy_ = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    held_ = true;
  }
  ~NamesLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  NamesLock(const NamesLock&) = delete;
  NamesLock& operator=(const NamesLock&) = delete;

  bool held() const { return held_; }
  bool busy() const { return busy_; }
  int error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
  bool held_ = false, busy_ = false;
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
  Reporter report(file, problems);
  std::map<std::pair<ListId, std::uint8_t>, std::size_t> seen;  // entry -> its first line
  ForEachLine(AsText(bytes),
              [&](std::size_t number, std::size_t, std::string_view line, std::size_t) {
                NamesLine read = ParseNamesLine(line);
                if (read.kind == NamesLine::kNothing) return;
                if (read.kind == NamesLine::kBad) {
                  report.Bad(number, std::move(read.reason));
                  return;
                }
                const auto [first, added] = seen.try_emplace({read.list, read.code}, number);
                if (!added) {
                  const std::string_view key = line.substr(0, line.find('\t'));
                  const std::string_view rest = line.substr(key.size() + 1);
                  report.Bad(number, Format(Tr("%1$s %2$s is named already on line %3$s"), key,
                                            rest.substr(0, rest.find('\t')), first->second));
                  return;
                }
                table.SetName(read.list, read.code, read.name);
              });
}

bool HasNamesLine(std::span<const std::uint8_t> bytes, ListId list, std::uint8_t code) {
  bool found = false;
  ForEachLine(AsText(bytes), [&](std::size_t, std::size_t, std::string_view line, std::size_t) {
    if (found) return;
    const NamesLine read = ParseNamesLine(line);
    found = read.kind == NamesLine::kEntry && read.list == list && read.code == code;
  });
  return found;
}

std::optional<std::string> ApplyNameChange(std::span<const std::uint8_t> bytes,
                                           const NameChange& change) {
  if (!IsCodedList(change.list) || !PositionOf(change.list, change.code)) return std::nullopt;
  if (change.name && NameProblem(*change.name)) return std::nullopt;
  const std::string_view all = AsText(bytes);
  std::string out;
  out.reserve(all.size() + 128);
  std::size_t copied = 0;  // bytes of `all` dealt with
  bool placed = false;
  ForEachLine(all, [&](std::size_t, std::size_t start, std::string_view line, std::size_t next) {
    const NamesLine read = ParseNamesLine(line);
    if (read.kind != NamesLine::kEntry || read.list != change.list || read.code != change.code)
      return;
    if (change.name && placed) return;  // a duplicate the reader skips stays as it was
    out.append(all.substr(copied, start - copied));
    if (!change.name) {
      copied = next;  // the line and its end go
      return;
    }
    out += EntryLine(change);
    copied = start + line.size();  // the line end stays
    placed = true;
  });
  out.append(all.substr(copied));
  if (change.name && !placed) {
    const std::size_t firstEnd = all.find('\n');
    const bool windows =
        firstEnd != std::string_view::npos && firstEnd > 0 && all[firstEnd - 1] == '\r';
    if (!out.empty() && !out.ends_with('\n'))
      out += out.ends_with('\r') ? "\n" : windows ? "\r\n" : "\n";
    out += EntryLine(change);
    out += windows ? "\r\n" : "\n";
  }
  return out;
}

std::optional<std::string> MergeNameChange(const std::optional<std::vector<std::uint8_t>>& current,
                                           const NameChange& change) {
  if (current) return ApplyNameChange(*current, change);
  if (!change.name) return ApplyNameChange({}, change);
  const std::string header(kNamesFileHeader);
  return ApplyNameChange(
      std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size()), change);
}

std::filesystem::path NamesLockFile(const std::filesystem::path& file) {
  std::filesystem::path lock = file;
  lock += ".lock";
  return lock;
}

std::string_view ReasonText(NamesWriteStep step) {
  switch (step) {
    case NamesWriteStep::kNone:
      break;
    case NamesWriteStep::kName:
      return "the change is not valid";
    case NamesWriteStep::kFolder:
      return "its folder could not be made";
    case NamesWriteStep::kLock:
      return "its lock file could not be locked";
    case NamesWriteStep::kBusy:
      return "another writer held its lock too long";
    case NamesWriteStep::kRead:
      return "it could not be read";
    case NamesWriteStep::kWrite:
      return "it could not be written";
  }
  return {};
}

NamesWrite WriteNameChange(const std::filesystem::path& file, const NameChange& change,
                           std::chrono::milliseconds wait) {
  const auto failed = [&file](NamesWriteStep step, int error = 0) {
    return Failure{.reason = step,
                   .what = std::string(ReasonText(step)),
                   .file = file,
                   .error = error,
                   .exit = ExitClass::kWriteFailed};
  };
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return failed(NamesWriteStep::kFolder, error.value());
  const NamesLock lock(NamesLockFile(file), wait);
  if (!lock.held())
    return failed(lock.busy() ? NamesWriteStep::kBusy : NamesWriteStep::kLock, lock.error());
  // Read again under the lock: another window may have written since this one last read.
  const std::filesystem::path target = io::LinkTarget(file);
  io::FileRead read = io::ReadFile(target, kMaxNamesFileBytes);
  std::optional<std::vector<std::uint8_t>> current;
  if (read) {
    current = std::move(*read);
  } else if (io::ProblemOf(read.Why()) != io::ReadProblem::kNoSuchFile) {
    Failure failure = failed(NamesWriteStep::kRead);
    failure.what = read.Why().what;
    failure.parts = read.Why();
    return failure;
  }
  auto merged = MergeNameChange(current, change);
  if (!merged) return failed(NamesWriteStep::kName);
  const bool same = current ? AsText(*current) == *merged : merged->empty();
  if (same) return std::move(*merged);
  const io::WriteOutcome written = io::WriteFileAtomically(
      target, std::span(reinterpret_cast<const std::uint8_t*>(merged->data()), merged->size()));
  if (!written) return failed(NamesWriteStep::kWrite, written.Why().error);
  return std::move(*merged);
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
    if (!read && io::ProblemOf(read.Why()) == io::ReadProblem::kNoSuchFile)
      continue;  // names files are optional
    if (!read) {
      NamesProblem problem{place, 0,
                           io::ProblemOf(read.Why()) == io::ReadProblem::kTooLarge
                               ? Format(Tr("larger than %s MiB, too large for a names file; "
                                           "not read"),
                                        kMaxNamesFileBytes >> 20)
                               : Format(Tr("%s; not read"), read.Why().what),
                           read.Why()};
      load.problems.push_back(std::move(problem));
      continue;
    }
    const std::vector<std::uint8_t>& bytes = *read;
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
