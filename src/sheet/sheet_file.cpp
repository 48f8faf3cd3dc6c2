#include "sheet/sheet_file.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>

#include "image/palette.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/field_table.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"
#include "translate/translate.hpp"

namespace kavelin::sheet {
namespace {

using text::Format;
using text::Tr;

// Ordered, so that a written file lists its keys in the order people read them.
using Json = nlohmann::ordered_json;

// Nesting beyond this is no sheet file; refusing it before parsing keeps a hostile file
// from exhausting the parser's stack.
constexpr int kMaxDepth = 16;

bool TooDeep(std::string_view text) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// Keys and values quoted in a message are cut, so that a hostile file cannot make the
// message itself huge, and control characters are escaped, so that printing it cannot
// break the line or drive the terminal. A cut never splits a UTF-8 sequence.
std::string Clip(std::string_view text) {
  std::string out;
  std::size_t fits = 0;  // the length of `out` when it last fitted 37 bytes
  for (std::size_t i = 0; i < text.size();) {
    const auto u = static_cast<unsigned char>(text[i]);
    if (u < 0x20 || u == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
      ++i;
    } else {
      std::size_t n = 1;
      while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
        ++n;
      out.append(text.substr(i, n));
      i += n;
    }
    if (out.size() <= 37) fits = out.size();
    if (out.size() > 40) {
      out.resize(fits);
      return out + "...";
    }
  }
  return out;
}

// No object of a sheet file has this many keys. Keys past it are left out of what is read,
// and the file is refused for them only when nothing kept is wrong, so that the first
// unknown key among those kept is still the one reported.
//
// A count is opened with every object but closed only with an object that was kept (one
// whose own key was), so after a left-out object its count stays open and the keys that
// follow are counted on it. Which keys are kept, and so which problem a file reports
// first, has always been decided this way, and is kept so that no file's message changes.
constexpr std::size_t kMaxKeysPerObject = 32;
// A parser's reason can quote a whole long token; a message needs only its start.
constexpr std::size_t kMaxReasonBytes = 160;
// How much of a value's JSON text is kept for quoting it: Clip reads at most 41 characters
// of up to four bytes each, and looks one byte past the last.
constexpr std::size_t kQuotedBytes = 256;
// The entries kept of a fixed-length array: at least as many as the longest holds. A
// longer one is refused by its count, which is always kept.
constexpr std::size_t kKeptEntries = 16;

SheetFileProblem Problem(SheetProblemKind kind, std::string key = {}) {
  SheetFileProblem problem;
  problem.kind = kind;
  problem.key = std::move(key);
  return problem;
}

// The parser's position, "... at line 3, column 14: ...", or 0 and 0 when it gave none.
void ParserPosition(std::string_view what, std::size_t& line, std::size_t& column) {
  const auto number = [&what](std::string_view label) -> std::size_t {
    const std::size_t at = what.find(label);
    if (at == std::string_view::npos) return 0;
    std::size_t n = 0;
    for (std::size_t i = at + label.size();
         i < what.size() && std::isdigit(static_cast<unsigned char>(what[i])); ++i)
      n = n * 10 + static_cast<std::size_t>(what[i] - '0');
    return n;
  };
  line = number(" at line ");
  column = line == 0 ? 0 : number(", column ");
}

// The parser quotes what it last read, which may be any bytes of the file: bytes that are
// no UTF-8 are shown as \xFF, so that the message itself is always text.
std::string CutReason(std::string_view raw) {
  std::string reason;
  for (std::size_t i = 0; i < raw.size();) {
    const auto lead = static_cast<unsigned char>(raw[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0x80 || (i + length <= raw.size() && text::FromUtf8(raw.substr(i, length)))) {
      reason.append(raw.substr(i, length));
      i += length;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", lead);
      reason += escaped;
      ++i;
    }
  }
  if (reason.size() <= kMaxReasonBytes) return reason;
  std::size_t end = kMaxReasonBytes;
  while (end > 0 && (static_cast<unsigned char>(reason[end]) & 0xC0) == 0x80)
    --end;
  reason.resize(end);
  return reason + "...";
}

// Adds to the start of a value's JSON text, up to kQuotedBytes.
void Append(std::string& json, std::string_view part) {
  if (json.size() < kQuotedBytes) json.append(part.substr(0, kQuotedBytes - json.size()));
}

// The JSON text of a string, as far as a message can quote it. The parser has checked the
// bytes are UTF-8, and the cut falls between characters, so writing cannot fail.
std::string Quote(std::string_view s) {
  std::size_t cut = std::min(s.size(), kQuotedBytes);
  while (cut < s.size() && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
    ++cut;
  std::string json = Json(std::string(s.substr(0, cut))).dump();
  if (cut < s.size()) json.resize(kQuotedBytes);
  return json;
}

// What is kept of one JSON value: what the sheet can take from it and, for a value that a
// message may quote, the start of its JSON text. Arrays and objects the sheet has no use
// for are counted or quoted, never stored, so that memory follows the sheet, not the file.
struct Value {
  enum class Type { kNull, kBoolean, kWholeNumber, kOtherNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  // A whole number; one above the largest long long wraps, as it always has.
  long long whole = 0;
  std::string text;       // a string's bytes, or a number's JSON text
  std::string json;       // the value's compact JSON text, cut after kQuotedBytes
  std::size_t count = 0;  // an array's entries
  // The entries read of an array: of a fixed-length one, the first kKeptEntries; of
  // "paletteSwaps", the first that is no pair of entries, found at `badSwapAt`.
  std::vector<Value> items;
  std::size_t badSwapAt = 0;
  std::vector<std::array<std::uint8_t, 2>> swaps;  // "paletteSwaps" up to that one
  // The document or a section: its known members, each under its `key`, and its first
  // other key, cut as a message quotes it.
  std::string key;
  std::vector<Value> members;
  std::optional<std::string> unknownKey;

  // Empties the value, keeping what it has allocated for the next one.
  void Clear() {
    type = Type::kNull;
    boolean = false;
    whole = 0;
    text.clear();
    json.clear();
    count = 0;
    items.clear();
    badSwapAt = 0;
    swaps.clear();
    key.clear();
    members.clear();
    unknownKey.reset();
  }

  bool IsObject() const { return type == Type::kObject; }
  bool IsArray() const { return type == Type::kArray; }
  bool IsString() const { return type == Type::kString; }
  bool IsBoolean() const { return type == Type::kBoolean; }
  bool IsWholeNumber() const { return type == Type::kWholeNumber; }
  bool IsNumber() const { return type == Type::kWholeNumber || type == Type::kOtherNumber; }
  std::string Short() const { return Clip(json); }
  const Value* Find(std::string_view name) const {
    for (const Value& member : members)
      if (member.key == name) return &member;
    return nullptr;
  }
};

std::string ListName(ListId list) {
  switch (list) {
    case ListId::kGender:
      return Tr("gender");
    case ListId::kDestinyStar:
      return Tr("destiny star");
    case ListId::kFavouriteWeapon:
      return Tr("favourite weapon");
    case ListId::kInspirationType:
      return Tr("inspiration type");
    case ListId::kTechnique:
      return Tr("technique");
    case ListId::kSpell:
      return Tr("spell");
    case ListId::kWeapon:
      return Tr("weapon");
    case ListId::kArmour:
      return Tr("armour");
    case ListId::kFormation:
      return Tr("formation");
    case ListId::kExclusiveWeapon:
      return Tr("exclusive weapon");
    case ListId::kCommanderType:
      return Tr("commander");
  }
  return "";
}

// Reads one JSON object into sheet fields, remembering the first problem with its key path.
class Decoder {
 public:
  bool failed() const { return !error.empty(); }
  std::string error;
  SheetFileProblem problem;

  // `path` leads the message; `why` holds the same in parts.
  bool Fail(const std::string& path, const std::string& what, SheetFileProblem why) {
    if (error.empty()) {
      error = path + ": " + what;
      problem = std::move(why);
    }
    return false;
  }

  // "expected ..., found VALUE"
  bool WrongType(const std::string& path, const std::string& expected, SheetValueKind kind,
                 const Value& v) {
    SheetFileProblem why = Problem(SheetProblemKind::kWrongType, path);
    why.expected = kind;
    why.found = v.Short();
    return Fail(path, Format(Tr("%1$s, found %2$s"), expected, why.found), why);
  }

  // Checks that `object` is an object with no key but those the reader knows for it.
  bool Object(const Value& object, const std::string& path) {
    if (!object.IsObject()) {
      return Fail(path.empty() ? Tr("document") : path, Tr("expected an object"),
                  Problem(SheetProblemKind::kNotObject, path));
    }
    if (object.unknownKey) {
      const std::string at = Join(path, *object.unknownKey);
      return Fail(at, Tr("unknown key"), Problem(SheetProblemKind::kUnknownKey, at));
    }
    return true;
  }

  static std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
  }

  const Value* Find(const Value& object, std::string_view key) { return object.Find(key); }

  void Text(const Value& object, const std::string& path, const char* key, std::u16string& out) {
    if (const Value* v = Find(object, key)) TextValue(*v, Join(path, key), out, false);
  }

  // A numeric field holds text as typed; a JSON number is taken as its shortest text.
  void TextValue(const Value& v, const std::string& path, std::u16string& out, bool numeric) {
    if (!v.IsString() && !(numeric && v.IsNumber())) {
      WrongType(path, numeric ? Tr("expected a string or a number") : Tr("expected a string"),
                numeric ? SheetValueKind::kStringOrNumber : SheetValueKind::kString, v);
      return;
    }
    const auto text = text::FromUtf8(v.text);
    if (!text) {
      Fail(path, Tr("not valid UTF-8"), Problem(SheetProblemKind::kNotUtf8, path));
      return;
    }
    out = *text;
  }

  void Bool(const Value& object, const std::string& path, const char* key, bool& out) {
    if (const Value* v = Find(object, key)) BoolValue(*v, Join(path, key), out);
  }

  void BoolValue(const Value& v, const std::string& path, bool& out) {
    if (!v.IsBoolean()) {
      WrongType(path, Tr("expected true or false"), SheetValueKind::kTrueOrFalse, v);
      return;
    }
    out = v.boolean;
  }

  // A position into a plain list, or a plain choice such as a school option.
  void Position(const Value& object, const std::string& path, const char* key, std::size_t count,
                int& out) {
    if (const Value* v = Find(object, key)) PositionValue(*v, Join(path, key), count, out);
  }

  void PositionValue(const Value& v, const std::string& at, std::size_t count, int& out) {
    if (!v.IsWholeNumber()) {
      WrongType(at, Tr("expected a whole number"), SheetValueKind::kWholeNumber, v);
      return;
    }
    const long long value = v.whole;
    if (value < 0 || static_cast<unsigned long long>(value) >= count) {
      SheetFileProblem why = Problem(SheetProblemKind::kPositionOutOfRange, at);
      why.value = value;
      why.limit = static_cast<long long>(count - 1);
      Fail(at, Format(Tr("position %1$s is outside 0 to %2$s"), value, count - 1), why);
      return;
    }
    out = static_cast<int>(value);
  }

  // A coded list holds the entry's two hexadecimal digits.
  void Code(const Value& v, const std::string& path, ListId list, int& out) {
    if (!v.IsString()) {
      WrongType(path, Tr("expected a code of two hexadecimal digits"), SheetValueKind::kCode, v);
      return;
    }
    const std::string& code = v.text;
    unsigned value = 0;
    bool valid = code.size() == 2;
    for (const char c : code) {
      const int d =
          std::isxdigit(static_cast<unsigned char>(c))
              ? (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10)
              : -1;
      if (d < 0) valid = false;
      value = value * 16 + static_cast<unsigned>(d < 0 ? 0 : d);
    }
    if (!valid) {
      SheetFileProblem why = Problem(SheetProblemKind::kCodeNotHex, path);
      why.found = Clip(code);
      Fail(path, Format(Tr("code \"%s\" is not two hexadecimal digits"), why.found), why);
      return;
    }
    const auto position = PositionOfCode(list, static_cast<std::uint8_t>(value));
    if (!position) {
      SheetFileProblem why = Problem(SheetProblemKind::kCodeNotInList, path);
      why.found = text::Hex(value);
      why.list = list;
      Fail(path, Format(Tr("code \"%1$s\" is not in the %2$s list"), why.found, ListName(list)),
           why);
      return;
    }
    out = *position;
  }

  void Code(const Value& object, const std::string& path, const char* key, ListId list, int& out) {
    if (const Value* v = Find(object, key)) Code(*v, Join(path, key), list, out);
  }

  // A fixed-length array whose elements `each` reads.
  template <typename T, std::size_t N, typename Each>
  void Array(const Value& object, const std::string& path, const char* key, std::array<T, N>& out,
             Each each) {
    static_assert(N <= kKeptEntries, "the reader keeps no more entries of an array");
    const Value* v = Find(object, key);
    if (v == nullptr) return;
    const std::string at = Join(path, key);
    if (!v->IsArray()) {
      WrongType(at, Tr("expected an array"), SheetValueKind::kArray, *v);
      return;
    }
    if (v->count != N) {
      SheetFileProblem why = Problem(SheetProblemKind::kWrongLength, at);
      why.value = static_cast<long long>(v->count);
      why.limit = static_cast<long long>(N);
      Fail(at, Format(Tr("expected %1$s entries, found %2$s"), N, v->count), why);
      return;
    }
    for (std::size_t i = 0; i < N && !failed(); ++i) {
      each(v->items[i], at + "[" + std::to_string(i) + "]", out[i]);
    }
  }
};

// One "paletteSwaps" entry: true, with `out` set, when it is two entries that can be
// swapped; false, with the reason given to `d`, when it is not.
bool ReadSwap(Decoder& d, const Value& pair, std::size_t i, PaletteSwap& out) {
  const auto at = [i] { return "paletteSwaps[" + std::to_string(i) + "]"; };
  if (!pair.IsArray() || pair.count != 2 || !pair.items[0].IsWholeNumber() ||
      !pair.items[1].IsWholeNumber()) {
    return d.WrongType(at(), Tr("expected a pair of entry numbers"), SheetValueKind::kPairOfEntries,
                       pair);
  }
  const long long a = pair.items[0].whole, b = pair.items[1].whole;
  for (const long long e : {a, b}) {
    if (e < 0 || e >= image::kPaletteSize) {
      SheetFileProblem why = Problem(SheetProblemKind::kSwapEntryOutOfRange, at());
      why.value = e;
      why.limit = static_cast<long long>(image::kPaletteSize) - 1;
      return d.Fail(at(), Format(Tr("entry %1$s is outside 0 to %2$s"), e, image::kPaletteSize - 1),
                    why);
    }
    if (e == image::kReservedEntry) {
      SheetFileProblem why = Problem(SheetProblemKind::kSwapReservedEntry, at());
      why.value = e;
      return d.Fail(at(), Format(Tr("entry %s is the reserved black and cannot be swapped"), e),
                    why);
    }
  }
  out = {static_cast<int>(a), static_cast<int>(b)};
  return true;
}

// The keys each section may hold, from the field table: every section's flags, then its
// own fields.
constexpr std::size_t kMostSectionKeys = 8;
struct SectionKeys {
  std::string_view name;
  std::array<std::string_view, kMostSectionKeys> keys{};
  std::size_t count = 0;
  std::span<const std::string_view> Keys() const { return {keys.data(), count}; }
};

constexpr bool InSection(const FieldRow& row, std::size_t section) {
  return row.place == FieldPlace::kEverySection ||
         (row.place == FieldPlace::kSection && static_cast<std::size_t>(row.section) == section);
}

constexpr std::array<SectionKeys, kSectionCount> kSections = [] {
  std::array<SectionKeys, kSectionCount> sections{};
  for (std::size_t i = 0; i < kSectionCount; ++i) {
    sections[i].name = kSectionKeys[i];
    for (const FieldRow& row : kFieldTable)
      if (InSection(row, i)) sections[i].keys[sections[i].count++] = row.key;
  }
  return sections;
}();

constexpr std::string_view kPaletteSwapsKey = "paletteSwaps";
constexpr std::string_view kPaletteWordsKey = "paletteWords";

bool Contains(std::span<const std::string_view> keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// Whether a key names a field that the document itself holds, or an array of fields.
bool IsDocumentFieldKey(std::string_view key) {
  return std::any_of(kFieldTable.begin(), kFieldTable.end(), [key](const FieldRow& row) {
    return row.place == FieldPlace::kDocument && row.key == key;
  });
}
bool IsArrayKey(std::string_view key) {
  return std::any_of(kFieldTable.begin(), kFieldTable.end(),
                     [key](const FieldRow& row) { return IsArray(row) && row.key == key; });
}

// What a value is for, which decides what is kept of it.
enum class Role {
  kIgnore,      // nothing: no problem can come from it, or it was left out
  kDocument,    // the whole document
  kSection,     // one of the document's sections
  kField,       // a field: a string, a number, true or false, or a code
  kFixedArray,  // a fixed-length array of fields
  kSwaps,       // "paletteSwaps"
  kSwap,        // one of its pairs
  kWords,       // "paletteWords", of which only the type counts
  kQuoted,      // inside a value of the wrong type: only its JSON text
};

// What an array's or object's entries are for, now that it is known which it is.
Role ContainerRole(Role role, bool array) {
  switch (role) {
    case Role::kDocument:
    case Role::kSection:
      return array ? Role::kIgnore : role;
    case Role::kFixedArray:
    case Role::kSwaps:
    case Role::kSwap:
    case Role::kWords:
      return array ? role : Role::kQuoted;
    case Role::kField:
    case Role::kQuoted:
      return Role::kQuoted;
    case Role::kIgnore:
      break;
  }
  return Role::kIgnore;
}

// Reads the JSON text event by event (the parser's SAX interface), keeping only what the
// sheet can use: an array of millions of entries costs its reading and no memory, and a
// fixed pass over each byte is all any file costs.
class Reader {
 public:
  Value root;
  bool tooManyKeys = false;
  // When the text is no JSON value: the parser's reason, and whether it was a syntax error
  // rather than, say, a number too large for any type.
  bool refused = false;
  bool syntaxError = false;
  std::string reason;

  bool null() {
    return Scalar([](Value& v) { v.json = "null"; });
  }
  bool boolean(bool b) {
    return Scalar([b](Value& v) {
      v.type = Value::Type::kBoolean;
      v.boolean = b;
      v.json = b ? "true" : "false";
    });
  }
  bool number_integer(Json::number_integer_t n) {
    return Scalar([n](Value& v) { WholeNumber(v, static_cast<long long>(n), std::to_string(n)); });
  }
  bool number_unsigned(Json::number_unsigned_t n) {
    return Scalar([n](Value& v) { WholeNumber(v, static_cast<long long>(n), std::to_string(n)); });
  }
  bool number_float(Json::number_float_t n, const std::string& /*as written*/) {
    return Scalar([n](Value& v) {
      v.type = Value::Type::kOtherNumber;
      v.text = Json(n).dump();
      v.json = v.text;
    });
  }
  bool string(std::string& s) {
    return Scalar([&s](Value& v) {
      v.type = Value::Type::kString;
      v.json = Quote(s);
      v.text = std::move(s);
    });
  }
  bool binary(Json::binary_t& /*never in JSON text*/) { return true; }

  bool start_object(std::size_t /*unknown*/) {
    keyCounts_.push_back(0);
    Push(Value::Type::kObject);
    return true;
  }
  bool key(std::string& k) {
    const bool kept = ++keyCounts_.back() <= kMaxKeysPerObject;
    if (!kept) tooManyKeys = true;
    Frame& f = Top();
    f.keyKept = kept && f.live;
    f.next = Role::kIgnore;
    if (!f.keyKept) return true;
    switch (f.role) {
      case Role::kDocument:
      case Role::kSection:
        f.next = f.role == Role::kDocument ? DocumentRole(k, f.nextKeys) : SectionRole(f.keys, k);
        if (f.next == Role::kIgnore && !f.value.unknownKey) f.value.unknownKey = Clip(k);
        break;
      case Role::kQuoted:
        // A key met again keeps its place and takes the new value. A new one matters
        // only while it can start within the quoted bytes, and keys never shrink, so
        // the keys searched here are few, and short but for the last.
        f.slot = 0;
        while (f.slot < f.quoted.size() && f.quoted[f.slot].first != k)
          ++f.slot;
        if (f.slot < f.quoted.size() || f.quotedStart < kQuotedBytes) f.next = Role::kQuoted;
        break;
      default:
        break;
    }
    if (f.next != Role::kIgnore) f.key = std::move(k);
    return true;
  }
  bool end_object() {
    Pop();
    return true;
  }
  bool start_array(std::size_t /*unknown*/) {
    Push(Value::Type::kArray);
    return true;
  }
  bool end_array() {
    Pop();
    return true;
  }

  template <typename Exception>
  bool parse_error(std::size_t /*offset*/, const std::string& /*token*/, const Exception& e) {
    refused = true;
    syntaxError = std::is_same_v<Exception, Json::parse_error>;
    reason = e.what();
    return false;
  }

 private:
  // An array or object being read.
  struct Frame {
    Role role = Role::kIgnore;  // what its entries are for
    bool keep = false;          // whether the one around it takes it
    bool live = true;           // whether it is kept at all, for the key counts
    Value value;
    std::span<const std::string_view> keys;  // a section's keys
    // An object: the key whose value comes next, whether it was kept and what its value
    // is for, with the keys of the section it names.
    std::string key;
    bool keyKept = false;
    Role next = Role::kIgnore;
    std::span<const std::string_view> nextKeys;
    // A quoted object: its first members, key and JSON text, and the next one's place;
    // and where the next new member starts at the earliest, as each takes its key, two
    // quotes, a colon, a value and a comma.
    std::vector<std::pair<std::string, std::string>> quoted;
    std::size_t slot = 0;
    std::size_t quotedStart = 1;
  };

  // Written in decimal as JSON writes a whole number.
  static void WholeNumber(Value& v, long long whole, std::string text) {
    v.type = Value::Type::kWholeNumber;
    v.whole = whole;
    v.json = text;
    v.text = std::move(text);
  }

  static Role DocumentRole(std::string_view key, std::span<const std::string_view>& keys) {
    for (const SectionKeys& section : kSections) {
      if (section.name == key) {
        keys = section.Keys();
        return Role::kSection;
      }
    }
    if (key == kPaletteSwapsKey) return Role::kSwaps;
    if (key == kPaletteWordsKey) return Role::kWords;
    return IsDocumentFieldKey(key) ? Role::kField : Role::kIgnore;
  }

  static Role SectionRole(std::span<const std::string_view> keys, std::string_view key) {
    if (!Contains(keys, key)) return Role::kIgnore;
    return IsArrayKey(key) ? Role::kFixedArray : Role::kField;
  }

  Frame& Top() { return frames_[depth_ - 1]; }

  // What the value about to be read is for, and whether it is kept at all.
  struct Next {
    Role role;
    bool live;
  };
  Next NextValue() {
    if (depth_ == 0) return {Role::kDocument, true};
    const Frame& f = Top();
    if (!f.live) return {Role::kIgnore, false};
    if (f.value.type == Value::Type::kObject) {
      return f.keyKept ? Next{f.next, true} : Next{Role::kIgnore, false};
    }
    const std::size_t index = f.value.count;
    switch (f.role) {
      case Role::kFixedArray:
        return {index < kKeptEntries ? Role::kField : Role::kIgnore, true};
      case Role::kSwaps:
        return {f.value.items.empty() ? Role::kSwap : Role::kIgnore, true};
      case Role::kSwap:
        if (index < 2) return {Role::kField, true};
        [[fallthrough]];
      case Role::kQuoted:
        return {f.value.json.size() < kQuotedBytes ? Role::kQuoted : Role::kIgnore, true};
      default:
        return {Role::kIgnore, true};
    }
  }

  template <typename Make>
  bool Scalar(Make make) {
    if (NextValue().role == Role::kIgnore) {
      Skip();
      return true;
    }
    scalar_.Clear();
    make(scalar_);
    Add(std::move(scalar_));
    return true;
  }

  void Push(Value::Type type) {
    const Next next = NextValue();
    const std::span<const std::string_view> keys =
        next.role == Role::kSection ? Top().nextKeys : std::span<const std::string_view>{};
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& f = frames_[depth_++];
    f.role = ContainerRole(next.role, type == Value::Type::kArray);
    f.keep = next.role != Role::kIgnore;
    f.live = next.live;
    f.keyKept = false;
    f.next = Role::kIgnore;
    // Frames are reused as they are, so that a long run of small arrays costs nothing
    // each; what an ignored one holds from before is never read.
    if (f.keep || f.role != Role::kIgnore) {
      f.value.Clear();
      f.key.clear();
      f.quoted.clear();
      f.quotedStart = 1;
    }
    f.value.type = type;
    f.value.count = 0;
    f.keys = keys;
    if (type == Value::Type::kArray && (f.role == Role::kQuoted || f.role == Role::kSwap))
      f.value.json = "[";
  }

  void Pop() {
    Frame& f = frames_[--depth_];
    if (f.value.type == Value::Type::kObject) {
      if (f.live) keyCounts_.pop_back();
      if (f.role == Role::kQuoted) {
        std::string json = "{";
        for (std::size_t i = 0; i < f.quoted.size() && json.size() < kQuotedBytes; ++i) {
          if (i > 0) Append(json, ",");
          Append(json, Quote(f.quoted[i].first));
          Append(json, ":");
          Append(json, f.quoted[i].second);
        }
        Append(json, "}");
        f.value.json = std::move(json);
      }
    } else if (f.role == Role::kQuoted || f.role == Role::kSwap) {
      Append(f.value.json, "]");
    }
    if (f.keep) {
      Add(std::move(f.value));
    } else {
      Skip();
    }
  }

  // A value left out still counts as an entry of its array.
  void Skip() {
    if (depth_ > 0 && Top().value.type == Value::Type::kArray) ++Top().value.count;
  }

  void Add(Value&& v) {
    if (depth_ == 0) {
      root = std::move(v);
      return;
    }
    Frame& f = Top();
    if (f.value.type == Value::Type::kArray) {
      const std::size_t index = f.value.count++;
      if (f.role == Role::kSwap || f.role == Role::kQuoted) {
        if (index > 0) Append(f.value.json, ",");
        Append(f.value.json, v.json);
      }
      if (f.role == Role::kFixedArray || (f.role == Role::kSwap && index < 2)) {
        f.value.items.push_back(std::move(v));
      } else if (f.role == Role::kSwaps) {
        // Only the pairs are kept, and the first entry that is none, for its message.
        PaletteSwap swap;
        if (ReadSwap(swapCheck_, v, index, swap)) {
          f.value.swaps.push_back(
              {static_cast<std::uint8_t>(swap.first), static_cast<std::uint8_t>(swap.second)});
        } else {
          swapCheck_ = {};
          f.value.badSwapAt = index;
          f.value.items.push_back(std::move(v));
        }
      }
      return;
    }
    if (f.role == Role::kDocument || f.role == Role::kSection) {
      // A key met again keeps its place and takes the new value.
      v.key = std::move(f.key);
      auto same = std::find_if(f.value.members.begin(), f.value.members.end(),
                               [&v](const Value& m) { return m.key == v.key; });
      if (same == f.value.members.end()) {
        f.value.members.push_back(std::move(v));
      } else {
        *same = std::move(v);
      }
    } else if (f.role == Role::kQuoted) {
      if (f.slot < f.quoted.size()) {
        f.quoted[f.slot].second = std::move(v.json);
      } else {
        f.quotedStart += f.key.size() + 5;
        f.quoted.emplace_back(std::move(f.key), std::move(v.json));
      }
    }
  }

  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  std::vector<std::size_t> keyCounts_;
  // Kept from one value to the next, for what they have allocated.
  Value scalar_;
  Decoder swapCheck_;
};

struct Parsed {
  Value root;
  bool tooManyKeys = false;
  std::string error;  // set when the text is no single JSON value
  SheetFileProblem problem;
};

Parsed Parse(std::string_view text) {
  Parsed parsed;
  // The parser takes a NUL byte for the end of the text and would accept whatever follows.
  const std::size_t nul = text.find('\0');
  Reader reader;
  Json::sax_parse(text.substr(0, nul), &reader);
  if (reader.refused && reader.syntaxError) {
    if (nul != std::string_view::npos) {
      parsed.error = Format(Tr("document: offset %s: a NUL byte, which no JSON text holds"), nul);
      parsed.problem = Problem(SheetProblemKind::kNulByte);
      parsed.problem.value = static_cast<long long>(nul);
      return parsed;
    }
    // "[json.exception.parse_error.101] parse error at line 3, column 14: syntax error ..."
    std::string_view what = reader.reason;
    const std::size_t at = what.find(" at line ");
    parsed.problem = Problem(SheetProblemKind::kNotJson);
    ParserPosition(what, parsed.problem.line, parsed.problem.column);
    what = at == std::string_view::npos ? what : what.substr(at + 1);
    parsed.error = Format(Tr("document: not valid JSON %s"), CutReason(what));
    return parsed;
  }
  if (reader.refused) {
    // Anything else the parser refuses, such as a number too large for any type
    // ("[json.exception.out_of_range.406] number overflow parsing '1E800'").
    std::string_view what = reader.reason;
    const std::size_t at = what.find("] ");
    what = at == std::string_view::npos ? what : what.substr(at + 2);
    parsed.problem = Problem(SheetProblemKind::kNotJson);
    parsed.error = Format(Tr("document: not valid JSON: %s"), CutReason(what));
    return parsed;
  }
  if (nul != std::string_view::npos) {
    parsed.error = Format(Tr("document: offset %s: bytes after the JSON value"), nul);
    parsed.problem = Problem(SheetProblemKind::kBytesAfterValue);
    parsed.problem.value = static_cast<long long>(nul);
    return parsed;
  }
  parsed.root = std::move(reader.root);
  parsed.tooManyKeys = reader.tooManyKeys;
  return parsed;
}

// One value of a field, as its row says it is written.
void ReadValue(Decoder& d, const Value& v, const std::string& at, const FieldRow& row,
               std::u16string& out) {
  d.TextValue(v, at, out, row.value == FieldValue::kNumber);
}
void ReadValue(Decoder& d, const Value& v, const std::string& at, const FieldRow& /*row*/,
               bool& out) {
  d.BoolValue(v, at, out);
}
void ReadValue(Decoder& d, const Value& v, const std::string& at, const FieldRow& row, int& out) {
  if (row.value == FieldValue::kCode) {
    d.Code(v, at, *row.list, out);
  } else {
    d.PositionValue(v, at, row.choices, out);
  }
}

template <typename T>
constexpr bool kIsArray = false;
template <typename T, std::size_t N>
constexpr bool kIsArray<std::array<T, N>> = true;

// A field's key of `object`, when present, into the sheet.
void ReadField(Decoder& d, const Value& object, const std::string& path, const FieldRow& row,
               std::size_t section, CharacterSheet& s) {
  const std::string key(row.key);
  VisitMember(s, row.kind, section, [&](auto& member) {
    if constexpr (kIsArray<std::remove_cvref_t<decltype(member)>>) {
      d.Array(
          object, path, key.c_str(), member,
          [&](const Value& v, const std::string& at, auto& out) { ReadValue(d, v, at, row, out); });
    } else if (const Value* v = d.Find(object, key)) {
      ReadValue(d, *v, Decoder::Join(path, key), row, member);
    }
  });
}

// The document's fields and the sections', in the table's order, which decides the problem
// a file reports first.
void ReadFields(Decoder& d, const Value& root, CharacterSheet& s) {
  for (const FieldRow& row : kFieldTable)
    if (row.place == FieldPlace::kDocument) ReadField(d, root, "", row, 0, s);
  for (std::size_t i = 0; i < kSectionCount; ++i) {
    const std::string p(kSectionKeys[i]);
    const Value* o = d.Find(root, p);
    if (o == nullptr || !d.Object(*o, p)) continue;
    for (const FieldRow& row : kFieldTable)
      if (InSection(row, i)) ReadField(d, *o, p, row, i, s);
  }
}

void ReadPaletteSwaps(Decoder& d, const Value& root, std::vector<PaletteSwap>& swaps) {
  const Value* v = d.Find(root, kPaletteSwapsKey);
  if (v == nullptr) return;
  if (!v->IsArray()) {
    d.WrongType(std::string(kPaletteSwapsKey), Tr("expected an array of pairs"),
                SheetValueKind::kArrayOfPairs, *v);
    return;
  }
  if (d.failed()) return;
  swaps.reserve(v->swaps.size());
  for (const auto& [a, b] : v->swaps)
    swaps.emplace_back(a, b);
  PaletteSwap bad;
  if (!v->items.empty()) ReadSwap(d, v->items.front(), v->badSwapAt, bad);
}

// A template's path as the file keeps it: text, one line, and a sane length.
void ReadTemplateKey(Decoder& d, const Value& root, std::string& out) {
  const std::string key(Row(FieldKind::kTemplatePicture).key);
  const Value* v = d.Find(root, key);
  if (v == nullptr) return;
  if (!v->IsString()) {
    d.WrongType(key, Tr("expected a path as a string"), SheetValueKind::kPath, *v);
    return;
  }
  const std::string& path = v->text;
  const auto text = text::FromUtf8(path);
  if (!text) {
    d.Fail(key, Tr("not valid UTF-8"), Problem(SheetProblemKind::kNotUtf8, key));
  } else if (path.empty() || path.size() > kMaxTemplateKeyBytes) {
    SheetFileProblem why = Problem(SheetProblemKind::kTemplatePathLength, key);
    why.value = static_cast<long long>(path.size());
    why.limit = static_cast<long long>(kMaxTemplateKeyBytes);
    d.Fail(key,
           Format(Tr("expected a path of 1 to %1$s bytes, found %2$s"), kMaxTemplateKeyBytes,
                  path.size()),
           why);
  } else if (std::any_of(text->begin(), text->end(),
                         [](char16_t c) { return c < 0x20 || c == 0x7F; })) {
    d.Fail(key, Tr("a path with a control character"),
           Problem(SheetProblemKind::kTemplateControlCharacter, key));
  } else {
    out = path;
  }
}

std::string CodeText(ListId list, int position) {
  return text::Hex(CodeAt(list, position).value_or(0));
}

// A field's value as the file writes it: text as UTF-8, a coded list's entry as its code.
Json ToJson(const FieldRow& /*row*/, const std::u16string& value) {
  return text::ToUtf8(value);
}
Json ToJson(const FieldRow& /*row*/, bool value) {
  return value;
}
Json ToJson(const FieldRow& row, int value) {
  return row.value == FieldValue::kCode ? Json(CodeText(*row.list, value)) : Json(value);
}
template <typename T, std::size_t N>
Json ToJson(const FieldRow& row, const std::array<T, N>& values) {
  Json a = Json::array();
  for (const T& value : values)
    a.push_back(ToJson(row, value));
  return a;
}

}  // namespace

std::string_view ReasonText(SheetProblemKind kind) {
  // The failure's `what` names the key and the value; the reason alone says only this.
  return kind == SheetProblemKind::kNone ? std::string_view() : "not a valid sheet file";
}

Failure SheetFileFailure(std::string what, SheetFileProblem problem) {
  const std::error_code reason = problem.kind;
  return {.reason = reason, .what = std::move(what), .parts = std::move(problem)};
}

SheetFileResult ReadSheetFile(std::string_view json) {
  if (TooDeep(json)) {
    SheetFileProblem why = Problem(SheetProblemKind::kNestedTooDeep);
    why.limit = kMaxDepth;
    return SheetFileFailure(Format(Tr("document: nested more than %s levels deep"), kMaxDepth),
                            std::move(why));
  }
  Parsed parsed = Parse(json);
  if (!parsed.error.empty())
    return SheetFileFailure(std::move(parsed.error), std::move(parsed.problem));
  const Value& root = parsed.root;
  Decoder d;
  SheetDocument document;
  CharacterSheet& s = document.sheet;
  if (d.Object(root, "")) {
    ReadFields(d, root, s);
    s.comment = NormaliseLineBreaks(s.comment);
    ReadPaletteSwaps(d, root, document.paletteSwaps);
    ReadTemplateKey(d, root, document.templateFile);
    // What a patch stored, as inspect prints it: shown for reference, never applied.
    if (const Value* words = d.Find(root, kPaletteWordsKey); words && !words->IsArray()) {
      d.WrongType(std::string(kPaletteWordsKey), Tr("expected an array"), SheetValueKind::kArray,
                  *words);
    }
  }
  if (!d.failed() && parsed.tooManyKeys) {
    SheetFileProblem why = Problem(SheetProblemKind::kTooManyKeys);
    why.limit = static_cast<long long>(kMaxKeysPerObject);
    d.Fail(Tr("document"), Format(Tr("an object with more than %s keys"), kMaxKeysPerObject), why);
  }
  if (d.failed()) return SheetFileFailure(d.error, d.problem);
  return document;
}

std::string WriteSheetFile(const SheetDocument& document) {
  const CharacterSheet& s = document.sheet;
  const auto fields = [&s](Json& object, std::size_t section, auto in) {
    for (const FieldRow& row : kFieldTable) {
      if (!in(row)) continue;
      VisitMember(s, row.kind, section,
                  [&](const auto& member) { object[std::string(row.key)] = ToJson(row, member); });
    }
  };

  Json root = Json::object();
  fields(root, 0, [](const FieldRow& row) { return row.place == FieldPlace::kDocument; });
  for (std::size_t i = 0; i < kSectionCount; ++i) {
    Json section = Json::object();
    fields(section, i, [i](const FieldRow& row) { return InSection(row, i); });
    root[std::string(kSectionKeys[i])] = section;
  }

  Json swaps = Json::array();
  for (const auto& [a, b] : document.paletteSwaps)
    swaps.push_back({a, b});
  root[std::string(kPaletteSwapsKey)] = swaps;
  // Older readers know no such key, so it is left out when there is nothing to say.
  if (!document.templateFile.empty())
    root[std::string(Row(FieldKind::kTemplatePicture).key)] = document.templateFile;

  return root.dump(2) + "\n";
}

std::string TemplateKeyFor(const std::filesystem::path& sheetFile,
                           const std::filesystem::path& templateFile) {
  // Both as the kernel sees them, links followed: the key is read back against the sheet's
  // real folder, so it must be made from there too.
  const std::filesystem::path folder = RealFolderOf(sheetFile);
  const std::filesystem::path file = RealPath(templateFile);
  // A folder in common below the root: the first part after it is the same.
  const auto first = [](const std::filesystem::path& p) {
    const std::filesystem::path relative = p.relative_path();
    return relative.empty() ? std::filesystem::path() : *relative.begin();
  };
  std::filesystem::path kept = file;
  if (folder.root_path() == file.root_path() && !first(folder).empty() &&
      first(folder) == first(file)) {
    const std::filesystem::path relative = file.lexically_relative(folder);
    if (!relative.empty()) kept = relative;
  }
  const std::string key = kept.generic_string();
  if (key.empty() || key.size() > kMaxTemplateKeyBytes || !text::FromUtf8(key)) return {};
  if (std::any_of(key.begin(), key.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
    return {};
  return key;
}

std::filesystem::path TemplateOfSheet(const std::filesystem::path& sheetFile,
                                      std::string_view templateKey) {
  if (templateKey.empty()) return {};
  const std::filesystem::path kept(templateKey);
  if (kept.is_absolute()) return kept;
  // From the real folder, links resolved before ".." is: "../t.gif" beside a sheet reached
  // through a link names the file beside the link's target, as the kernel follows "..".
  return RealPath(RealFolderOf(sheetFile) / kept);
}

bool TemplateKeyLeavesSheetFolder(std::string_view templateKey) {
  const std::filesystem::path kept(templateKey);
  if (kept.is_absolute()) return true;
  const std::filesystem::path tidied = kept.lexically_normal();
  return !tidied.empty() && *tidied.begin() == "..";
}

std::filesystem::path RealPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  const std::filesystem::path real = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : real;
}

std::filesystem::path RealFolderOf(const std::filesystem::path& file) {
  return RealPath(file.has_parent_path() ? file.parent_path() : ".");
}

}  // namespace kavelin::sheet
