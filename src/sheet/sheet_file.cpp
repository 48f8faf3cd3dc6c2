#include "sheet/sheet_file.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "image/palette.hpp"
#include "sheet/catalogue.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"

namespace kavelin::sheet {
namespace {

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

// No object of a sheet file has this many keys. Keys past it are skipped unstored: the
// parser files each key by a search of the keys before it, so a hostile file of many keys
// would otherwise take minutes. The first unknown key among those kept is still reported.
constexpr std::size_t kMaxKeysPerObject = 32;
// A parser's reason can quote a whole long token; a message needs only its start.
constexpr std::size_t kMaxReasonBytes = 160;

struct Parsed {
  Json root;
  bool tooManyKeys = false;
  std::string error;  // set when the text is no single JSON value
  SheetFileProblem problem;
};

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

Parsed Parse(std::string_view text) {
  Parsed parsed;
  // The parser takes a NUL byte for the end of the text and would accept whatever follows.
  const std::size_t nul = text.find('\0');
  std::vector<std::size_t> keyCounts;
  const auto limitKeys = [&](int, Json::parse_event_t event, Json&) {
    switch (event) {
      case Json::parse_event_t::object_start:
        keyCounts.push_back(0);
        return true;
      case Json::parse_event_t::object_end:
        keyCounts.pop_back();
        return true;
      case Json::parse_event_t::key:
        if (++keyCounts.back() <= kMaxKeysPerObject) return true;
        parsed.tooManyKeys = true;
        return false;
      default:
        return true;
    }
  };
  try {
    parsed.root = Json::parse(text.substr(0, nul), limitKeys);
  } catch (const Json::parse_error& e) {
    if (nul != std::string_view::npos) {
      parsed.error =
          "document: offset " + std::to_string(nul) + ": a NUL byte, which no JSON text holds";
      parsed.problem = Problem(SheetProblemKind::kNulByte);
      parsed.problem.value = static_cast<long long>(nul);
      return parsed;
    }
    // "[json.exception.parse_error.101] parse error at line 3, column 14: syntax error ..."
    std::string_view what = e.what();
    const std::size_t at = what.find(" at line ");
    parsed.problem = Problem(SheetProblemKind::kNotJson);
    ParserPosition(what, parsed.problem.line, parsed.problem.column);
    what = at == std::string_view::npos ? what : what.substr(at + 1);
    parsed.error = "document: not valid JSON " + CutReason(what);
    return parsed;
  } catch (const Json::exception& e) {
    // Anything else the parser throws, such as a number too large for any type
    // ("[json.exception.out_of_range.406] number overflow parsing '1E800'").
    std::string_view what = e.what();
    const std::size_t at = what.find("] ");
    what = at == std::string_view::npos ? what : what.substr(at + 2);
    parsed.problem = Problem(SheetProblemKind::kNotJson);
    parsed.error = "document: not valid JSON: " + CutReason(what);
    return parsed;
  }
  if (nul != std::string_view::npos) {
    parsed.error = "document: offset " + std::to_string(nul) + ": bytes after the JSON value";
    parsed.problem = Problem(SheetProblemKind::kBytesAfterValue);
    parsed.problem.value = static_cast<long long>(nul);
  }
  return parsed;
}

const char* ListName(ListId list) {
  switch (list) {
    case ListId::kGender:
      return "gender";
    case ListId::kDestinyStar:
      return "destiny star";
    case ListId::kFavouriteWeapon:
      return "favourite weapon";
    case ListId::kInspirationType:
      return "inspiration type";
    case ListId::kTechnique:
      return "technique";
    case ListId::kSpell:
      return "spell";
    case ListId::kWeapon:
      return "weapon";
    case ListId::kArmour:
      return "armour";
    case ListId::kFormation:
      return "formation";
    case ListId::kExclusiveWeapon:
      return "exclusive weapon";
    case ListId::kCommanderType:
      return "commander";
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
  bool WrongType(const std::string& path, const char* expected, SheetValueKind kind,
                 const Json& v) {
    SheetFileProblem why = Problem(SheetProblemKind::kWrongType, path);
    why.expected = kind;
    why.found = Short(v);
    return Fail(path, std::string(expected) + ", found " + why.found, why);
  }

  // Checks that `object` is an object with no keys but `allowed`.
  bool Object(const Json& object, const std::string& path,
              std::initializer_list<const char*> allowed) {
    if (!object.is_object()) {
      return Fail(path.empty() ? "document" : path, "expected an object",
                  Problem(SheetProblemKind::kNotObject, path));
    }
    const std::set<std::string> keys(allowed.begin(), allowed.end());
    for (const auto& [key, value] : object.items()) {
      if (!keys.contains(key)) {
        const std::string at = Join(path, Clip(key));
        return Fail(at, "unknown key", Problem(SheetProblemKind::kUnknownKey, at));
      }
    }
    return true;
  }

  static std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
  }

  const Json* Find(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
  }

  void Text(const Json& object, const std::string& path, const char* key, std::u16string& out) {
    if (const Json* v = Find(object, key)) TextValue(*v, Join(path, key), out, false);
  }

  // A numeric field holds text as typed; a JSON number is taken as its shortest text.
  void TextValue(const Json& v, const std::string& path, std::u16string& out, bool numeric) {
    std::string utf8;
    if (v.is_string()) {
      utf8 = v.get<std::string>();
    } else if (numeric && v.is_number()) {
      utf8 = v.dump();
    } else {
      WrongType(path, numeric ? "expected a string or a number" : "expected a string",
                numeric ? SheetValueKind::kStringOrNumber : SheetValueKind::kString, v);
      return;
    }
    const auto text = text::FromUtf8(utf8);
    if (!text) {
      Fail(path, "not valid UTF-8", Problem(SheetProblemKind::kNotUtf8, path));
      return;
    }
    out = *text;
  }

  void Bool(const Json& object, const std::string& path, const char* key, bool& out) {
    if (const Json* v = Find(object, key)) BoolValue(*v, Join(path, key), out);
  }

  void BoolValue(const Json& v, const std::string& path, bool& out) {
    if (!v.is_boolean()) {
      WrongType(path, "expected true or false", SheetValueKind::kTrueOrFalse, v);
      return;
    }
    out = v.get<bool>();
  }

  // A position into a plain list, or a plain choice such as a school option.
  void Position(const Json& object, const std::string& path, const char* key, std::size_t count,
                int& out) {
    const Json* v = Find(object, key);
    if (v == nullptr) return;
    const std::string at = Join(path, key);
    if (!v->is_number_integer()) {
      WrongType(at, "expected a whole number", SheetValueKind::kWholeNumber, *v);
      return;
    }
    const auto value = v->get<long long>();
    if (value < 0 || static_cast<unsigned long long>(value) >= count) {
      SheetFileProblem why = Problem(SheetProblemKind::kPositionOutOfRange, at);
      why.value = value;
      why.limit = static_cast<long long>(count - 1);
      Fail(at,
           "position " + std::to_string(value) + " is outside 0 to " + std::to_string(count - 1),
           why);
      return;
    }
    out = static_cast<int>(value);
  }

  // A coded list holds the entry's two hexadecimal digits.
  void Code(const Json& v, const std::string& path, ListId list, int& out) {
    if (!v.is_string()) {
      WrongType(path, "expected a code of two hexadecimal digits", SheetValueKind::kCode, v);
      return;
    }
    const std::string code = v.get<std::string>();
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
      Fail(path, "code \"" + why.found + "\" is not two hexadecimal digits", why);
      return;
    }
    const auto position = PositionOfCode(list, static_cast<std::uint8_t>(value));
    if (!position) {
      SheetFileProblem why = Problem(SheetProblemKind::kCodeNotInList, path);
      why.found = text::Hex(value);
      why.list = list;
      Fail(path, "code \"" + why.found + "\" is not in the " + ListName(list) + " list", why);
      return;
    }
    out = *position;
  }

  void Code(const Json& object, const std::string& path, const char* key, ListId list, int& out) {
    if (const Json* v = Find(object, key)) Code(*v, Join(path, key), list, out);
  }

  // A fixed-length array whose elements `each` reads.
  template <typename T, std::size_t N, typename Each>
  void Array(const Json& object, const std::string& path, const char* key, std::array<T, N>& out,
             Each each) {
    const Json* v = Find(object, key);
    if (v == nullptr) return;
    const std::string at = Join(path, key);
    if (!v->is_array()) {
      WrongType(at, "expected an array", SheetValueKind::kArray, *v);
      return;
    }
    if (v->size() != N) {
      SheetFileProblem why = Problem(SheetProblemKind::kWrongLength, at);
      why.value = static_cast<long long>(v->size());
      why.limit = static_cast<long long>(N);
      Fail(at, "expected " + std::to_string(N) + " entries, found " + std::to_string(v->size()),
           why);
      return;
    }
    for (std::size_t i = 0; i < N && !failed(); ++i) {
      each((*v)[i], at + "[" + std::to_string(i) + "]", out[i]);
    }
  }

  static std::string Short(const Json& v) { return Clip(v.dump()); }
};

void Flags(Decoder& d, const Json& object, const std::string& path, SectionFlags& flags) {
  d.Bool(object, path, "enabled", flags.enabled);
  d.Bool(object, path, "locked", flags.locked);
}

void ReadSections(Decoder& d, const Json& root, CharacterSheet& s) {
  const auto numeric = [&d](const Json& v, const std::string& p, std::u16string& out) {
    d.TextValue(v, p, out, true);
  };
  const auto flag = [&d](const Json& v, const std::string& p, bool& out) {
    d.BoolValue(v, p, out);
  };
  const auto coded = [&d](ListId list) {
    return [&d, list](const Json& v, const std::string& p, int& out) { d.Code(v, p, list, out); };
  };

  if (const Json* o = d.Find(root, "basicStatus");
      o && d.Object(*o, "basicStatus",
                    {"enabled", "locked", "stats", "lp", "destinyStar", "favouriteWeapon",
                     "inspirationType"})) {
    const std::string p = "basicStatus";
    Flags(d, *o, p, s.Flags(Section::kBasicStatus));
    d.Array(*o, p, "stats", s.basicStatus.stats, numeric);
    if (const Json* v = d.Find(*o, "lp")) numeric(*v, p + ".lp", s.basicStatus.lp);
    d.Position(*o, p, "destinyStar", kDestinyStarCount, s.basicStatus.destinyStar);
    d.Position(*o, p, "favouriteWeapon", kFavouriteWeaponCount, s.basicStatus.favouriteWeapon);
    d.Code(*o, p, "inspirationType", ListId::kInspirationType, s.basicStatus.inspirationType);
  }
  if (const Json* o = d.Find(root, "initialLevels");
      o && d.Object(*o, "initialLevels",
                    {"enabled", "locked", "levels", "grows", "earthSchool", "heavenSchool"})) {
    const std::string p = "initialLevels";
    Flags(d, *o, p, s.Flags(Section::kInitialLevels));
    d.Array(*o, p, "levels", s.initialLevels.levels, numeric);
    d.Array(*o, p, "grows", s.initialLevels.grows,
            [&d](const Json& v, const std::string& at, bool& out) { d.BoolValue(v, at, out); });
    d.Position(*o, p, "earthSchool", kEarthSchoolCount, s.initialLevels.earthSchool);
    d.Position(*o, p, "heavenSchool", kHeavenSchoolCount, s.initialLevels.heavenSchool);
  }
  if (const Json* o = d.Find(root, "initialArts");
      o && d.Object(*o, "initialArts", {"enabled", "locked", "techniques", "spells"})) {
    const std::string p = "initialArts";
    Flags(d, *o, p, s.Flags(Section::kInitialArts));
    d.Array(*o, p, "techniques", s.initialArts.techniques, coded(ListId::kTechnique));
    d.Array(*o, p, "spells", s.initialArts.spells, coded(ListId::kSpell));
  }
  if (const Json* o = d.Find(root, "initialEquipment");
      o && d.Object(*o, "initialEquipment", {"enabled", "locked", "weapons", "armour"})) {
    const std::string p = "initialEquipment";
    Flags(d, *o, p, s.Flags(Section::kInitialEquipment));
    d.Array(*o, p, "weapons", s.initialEquipment.weapons, coded(ListId::kWeapon));
    d.Array(*o, p, "armour", s.initialEquipment.armour, coded(ListId::kArmour));
  }
  if (const Json* o = d.Find(root, "forbiddenSpells");
      o && d.Object(*o, "forbiddenSpells", {"enabled", "locked", "forbiddenSchools"})) {
    const std::string p = "forbiddenSpells";
    Flags(d, *o, p, s.Flags(Section::kForbiddenSpells));
    d.Array(*o, p, "forbiddenSchools", s.forbiddenSpells.forbiddenSchools, flag);
  }
  if (const Json* o = d.Find(root, "otherTraits");
      o && d.Object(*o, "otherTraits",
                    {"enabled", "locked", "formation", "exclusiveWeapon", "commanderType"})) {
    const std::string p = "otherTraits";
    Flags(d, *o, p, s.Flags(Section::kOtherTraits));
    d.Code(*o, p, "formation", ListId::kFormation, s.otherTraits.formation);
    d.Code(*o, p, "exclusiveWeapon", ListId::kExclusiveWeapon, s.otherTraits.exclusiveWeapon);
    d.Code(*o, p, "commanderType", ListId::kCommanderType, s.otherTraits.commanderType);
  }
  if (const Json* o = d.Find(root, "growthRates");
      o && d.Object(*o, "growthRates", {"enabled", "locked", "growthRates"})) {
    const std::string p = "growthRates";
    Flags(d, *o, p, s.Flags(Section::kGrowthRates));
    d.Array(*o, p, "growthRates", s.growthRates.growthRates, numeric);
  }
}

void ReadPaletteSwaps(Decoder& d, const Json& root, std::vector<PaletteSwap>& swaps) {
  const Json* v = d.Find(root, "paletteSwaps");
  if (v == nullptr) return;
  if (!v->is_array()) {
    d.WrongType("paletteSwaps", "expected an array of pairs", SheetValueKind::kArrayOfPairs, *v);
    return;
  }
  for (std::size_t i = 0; i < v->size() && !d.failed(); ++i) {
    const Json& pair = (*v)[i];
    const std::string at = "paletteSwaps[" + std::to_string(i) + "]";
    if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number_integer() ||
        !pair[1].is_number_integer()) {
      d.WrongType(at, "expected a pair of entry numbers", SheetValueKind::kPairOfEntries, pair);
      return;
    }
    const auto a = pair[0].get<long long>(), b = pair[1].get<long long>();
    for (const long long e : {a, b}) {
      if (e < 0 || e >= image::kPaletteSize) {
        SheetFileProblem why = Problem(SheetProblemKind::kSwapEntryOutOfRange, at);
        why.value = e;
        why.limit = static_cast<long long>(image::kPaletteSize) - 1;
        d.Fail(at,
               "entry " + std::to_string(e) + " is outside 0 to " +
                   std::to_string(image::kPaletteSize - 1),
               why);
        return;
      }
      if (e == image::kReservedEntry) {
        SheetFileProblem why = Problem(SheetProblemKind::kSwapReservedEntry, at);
        why.value = e;
        d.Fail(at, "entry " + std::to_string(e) + " is the reserved black and cannot be swapped",
               why);
        return;
      }
    }
    swaps.emplace_back(static_cast<int>(a), static_cast<int>(b));
  }
}

// A template's path as the file keeps it: text, one line, and a sane length.
void ReadTemplateKey(Decoder& d, const Json& root, std::string& out) {
  const Json* v = d.Find(root, "template");
  if (v == nullptr) return;
  if (!v->is_string()) {
    d.WrongType("template", "expected a path as a string", SheetValueKind::kPath, *v);
    return;
  }
  const std::string path = v->get<std::string>();
  const auto text = text::FromUtf8(path);
  if (!text) {
    d.Fail("template", "not valid UTF-8", Problem(SheetProblemKind::kNotUtf8, "template"));
  } else if (path.empty() || path.size() > kMaxTemplateKeyBytes) {
    SheetFileProblem why = Problem(SheetProblemKind::kTemplatePathLength, "template");
    why.value = static_cast<long long>(path.size());
    why.limit = static_cast<long long>(kMaxTemplateKeyBytes);
    d.Fail("template",
           "expected a path of 1 to " + std::to_string(kMaxTemplateKeyBytes) + " bytes, found " +
               std::to_string(path.size()),
           why);
  } else if (std::any_of(text->begin(), text->end(),
                         [](char16_t c) { return c < 0x20 || c == 0x7F; })) {
    d.Fail("template", "a path with a control character",
           Problem(SheetProblemKind::kTemplateControlCharacter, "template"));
  } else {
    out = path;
  }
}

std::string CodeText(ListId list, int position) {
  return text::Hex(CodeAt(list, position).value_or(0));
}

}  // namespace

SheetFileResult ReadSheetFile(std::string_view json) {
  SheetFileResult result;
  if (TooDeep(json)) {
    result.error = "document: nested more than " + std::to_string(kMaxDepth) + " levels deep";
    result.problem = Problem(SheetProblemKind::kNestedTooDeep);
    result.problem.limit = kMaxDepth;
    return result;
  }
  Parsed parsed = Parse(json);
  if (!parsed.error.empty()) {
    result.error = std::move(parsed.error);
    result.problem = std::move(parsed.problem);
    return result;
  }
  const Json& root = parsed.root;
  Decoder d;
  CharacterSheet& s = result.document.sheet;
  if (d.Object(root, "",
               {"name", "jobName", "gender", "comment", "basicStatus", "initialLevels",
                "initialArts", "initialEquipment", "forbiddenSpells", "otherTraits", "growthRates",
                "paletteSwaps", "paletteWords", "template"})) {
    d.Text(root, "", "name", s.name);
    d.Text(root, "", "jobName", s.jobName);
    d.Position(root, "", "gender", kGenderCount, s.gender);
    d.Text(root, "", "comment", s.comment);
    s.comment = NormaliseLineBreaks(s.comment);
    ReadSections(d, root, s);
    ReadPaletteSwaps(d, root, result.document.paletteSwaps);
    ReadTemplateKey(d, root, result.document.templateFile);
    // What a patch stored, as inspect prints it: shown for reference, never applied.
    if (const Json* words = d.Find(root, "paletteWords"); words && !words->is_array()) {
      d.WrongType("paletteWords", "expected an array", SheetValueKind::kArray, *words);
    }
  }
  if (!d.failed() && parsed.tooManyKeys) {
    SheetFileProblem why = Problem(SheetProblemKind::kTooManyKeys);
    why.limit = static_cast<long long>(kMaxKeysPerObject);
    d.Fail("document", "an object with more than " + std::to_string(kMaxKeysPerObject) + " keys",
           why);
  }
  if (d.failed()) {
    result.error = d.error;
    result.problem = d.problem;
    result.document = {};
    return result;
  }
  result.ok = true;
  return result;
}

std::string WriteSheetFile(const SheetDocument& document) {
  const CharacterSheet& s = document.sheet;
  const auto texts = [](const auto& fields) {
    Json a = Json::array();
    for (const auto& f : fields)
      a.push_back(text::ToUtf8(f));
    return a;
  };
  const auto codes = [](ListId list, const auto& positions) {
    Json a = Json::array();
    for (const int p : positions)
      a.push_back(CodeText(list, p));
    return a;
  };
  const auto flags = [&s](Section section) {
    return Json{{"enabled", s.Flags(section).enabled}, {"locked", s.Flags(section).locked}};
  };

  Json root = Json::object();
  root["name"] = text::ToUtf8(s.name);
  root["jobName"] = text::ToUtf8(s.jobName);
  root["gender"] = s.gender;
  root["comment"] = text::ToUtf8(s.comment);

  Json basic = flags(Section::kBasicStatus);
  basic["stats"] = texts(s.basicStatus.stats);
  basic["lp"] = text::ToUtf8(s.basicStatus.lp);
  basic["destinyStar"] = s.basicStatus.destinyStar;
  basic["favouriteWeapon"] = s.basicStatus.favouriteWeapon;
  basic["inspirationType"] = CodeText(ListId::kInspirationType, s.basicStatus.inspirationType);
  root["basicStatus"] = basic;

  Json levels = flags(Section::kInitialLevels);
  levels["levels"] = texts(s.initialLevels.levels);
  levels["grows"] = s.initialLevels.grows;
  levels["earthSchool"] = s.initialLevels.earthSchool;
  levels["heavenSchool"] = s.initialLevels.heavenSchool;
  root["initialLevels"] = levels;

  Json arts = flags(Section::kInitialArts);
  arts["techniques"] = codes(ListId::kTechnique, s.initialArts.techniques);
  arts["spells"] = codes(ListId::kSpell, s.initialArts.spells);
  root["initialArts"] = arts;

  Json equipment = flags(Section::kInitialEquipment);
  equipment["weapons"] = codes(ListId::kWeapon, s.initialEquipment.weapons);
  equipment["armour"] = codes(ListId::kArmour, s.initialEquipment.armour);
  root["initialEquipment"] = equipment;

  Json forbidden = flags(Section::kForbiddenSpells);
  forbidden["forbiddenSchools"] = s.forbiddenSpells.forbiddenSchools;
  root["forbiddenSpells"] = forbidden;

  Json other = flags(Section::kOtherTraits);
  other["formation"] = CodeText(ListId::kFormation, s.otherTraits.formation);
  other["exclusiveWeapon"] = CodeText(ListId::kExclusiveWeapon, s.otherTraits.exclusiveWeapon);
  other["commanderType"] = CodeText(ListId::kCommanderType, s.otherTraits.commanderType);
  root["otherTraits"] = other;

  Json growth = flags(Section::kGrowthRates);
  growth["growthRates"] = texts(s.growthRates.growthRates);
  root["growthRates"] = growth;

  Json swaps = Json::array();
  for (const auto& [a, b] : document.paletteSwaps)
    swaps.push_back({a, b});
  root["paletteSwaps"] = swaps;
  // Older readers know no such key, so it is left out when there is nothing to say.
  if (!document.templateFile.empty()) root["template"] = document.templateFile;

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
