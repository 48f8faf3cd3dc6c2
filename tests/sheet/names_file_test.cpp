#include "sheet/names_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/failure_access.hpp"
#include "support/trace.hpp"
#include "text/encoding.hpp"

namespace kavelin::sheet {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

struct Read {
  NamesTable table;
  std::vector<NamesProblem> problems;
};
Read ReadText(std::string_view text, NamesTable table = {}) {
  Read r{std::move(table), {}};
  ReadNamesFile(Bytes(text), "names.tsv", r.table, r.problems);
  return r;
}

std::vector<std::size_t> LinesOf(const std::vector<NamesProblem>& problems) {
  std::vector<std::size_t> lines;
  for (const auto& p : problems)
    lines.push_back(p.line);
  return lines;
}

TEST(NamesFile, GoodLinesNameTheirEntriesWhateverTheFilesLayout) {
  const auto r = ReadText(
      "\xEF\xBB\xBF# a comment\r\n"
      "techniques\t0f\tテスト技\r\n"
      "\r\n"
      "   \t \n"
      "spells\tAB\t🐉の術\n"
      "exclusiveWeapon\tB8\t氷の剣\n"
      "formation\t00\t陣形なし");  // no line end at the end
  EXPECT_TRUE(r.problems.empty()) << ProblemText(r.problems.front());
  EXPECT_EQ(r.table.NamedCount(), 4u);
  EXPECT_EQ(r.table.DisplayText(ListId::kTechnique, 1), u"【0F】テスト技");
  EXPECT_EQ(r.table.DisplayText(ListId::kSpell, 1), u"【AB】🐉の術");
  EXPECT_EQ(r.table.DisplayText(ListId::kFormation, 0), u"【00】陣形なし");
  EXPECT_EQ(r.table.Name(ListId::kTechnique, 0x0F), u"テスト技");
  // Unnamed entries keep the built-in text; plain lists cannot be named.
  EXPECT_EQ(r.table.DisplayText(ListId::kTechnique, 2), u"【10】技10");
  EXPECT_EQ(r.table.DisplayText(ListId::kGender, 1), u"女");
  EXPECT_EQ(r.table.DisplayText(ListId::kTechnique, 105), u"");

  // The exclusive-weapon list keeps its order and codes; only the text changes.
  const auto entries = r.table.DisplayEntries(ListId::kExclusiveWeapon);
  ASSERT_EQ(entries.size(), ListEntries(ListId::kExclusiveWeapon).size());
  for (std::size_t p = 0; p < entries.size(); ++p) {
    EXPECT_EQ(EntryCode(entries[p]), CodeAt(ListId::kExclusiveWeapon, static_cast<int>(p)));
  }
  EXPECT_EQ(entries[6], u"【B8】氷の剣");
}

TEST(NamesFile, EachBadLineIsReportedWithItsNumberAndSkipped) {
  const std::string fortyDragons = [] {
    std::string s;
    for (int i = 0; i < 40; ++i)
      s += "🐉";  // one character, two UTF-16 units
    return s;
  }();
  const auto r = ReadText(
      "techniques\t10\t良い名前\n"  // 1 good
      "technique\t11\t名前\n"       // 2 unknown list
      "techniques\t00\t名前\n"      // 3 code the list does not offer
      "techniques\t1G\t名前\n"      // 4 not hexadecimal
      "techniques\t011\t名前\n"     // 5 three digits
      "techniques\t12\t\n"          // 6 empty name
      "techniques\t13\t名\x01前\n"  // 7 control character
      "techniques\t14\t名\t前\n"    // 8 a fourth field
      "techniques\t15\t\xFF\xFE\n"  // 9 not UTF-8
      "techniques\t16\t" +
      fortyDragons + "\n" +                        // 10 good: 40 characters
      "techniques\t17\t" + fortyDragons + "x\n" +  // 11 41 characters
      "techniques 18 名前\n"                       // 12 no tabs
      "techniques\t10\t別の名前\n"                 // 13 repeats line 1
      "armour\t60\t\xE3\x80\x80 \n"                // 14 only blanks
      "techniques\t19\t名\xC2\x85前\n");           // 15 a C1 control
  EXPECT_EQ(LinesOf(r.problems),
            (std::vector<std::size_t>{2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}));
  EXPECT_EQ(r.table.NamedCount(), 2u);
  // A repeated entry keeps its first line.
  EXPECT_EQ(r.table.Name(ListId::kTechnique, 0x10), u"良い名前");
  EXPECT_EQ(r.table.DisplayText(ListId::kTechnique, 3), u"【11】技11");
  EXPECT_NE(ProblemText(r.problems[0]).find("names.tsv:2: unknown list \"technique\""),
            std::string::npos);
  EXPECT_NE(r.problems[1].reason.find("no code 00"), std::string::npos);
  EXPECT_NE(r.problems[10].reason.find("line 1"), std::string::npos);
  // The report shows what was wrong without passing control bytes on.
  const auto noTabs = ProblemText(r.problems[9]);
  EXPECT_EQ(noTabs.find('\x01'), std::string::npos);
  for (const auto& p : r.problems) {
    EXPECT_TRUE(std::none_of(p.reason.begin(), p.reason.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20;
    })) << p.reason;
  }
}

// Characters that would show as nothing, hide a name or turn the text after it around are
// refused, named by their code point; the first one is reported.
TEST(NamesFile, NamesHoldingInvisibleCharactersAreRefused) {
  const struct {
    std::u16string_view name;
    const char* shown;  // empty: the name is good
  } cases[] = {
      {u"\u200B", "U+200B"},
      {u"名\u200B\u200C前", "U+200B"},
      {u"\u202E逆さ", "U+202E"},
      {u"\u2066名\u2069", "U+2066"},
      {u"\uFEFF名前", "U+FEFF"},
      {u"名\u00AD前", "U+00AD"},
      {u"名\u061C", "U+061C"},
      {u"名\u180E", "U+180E"},
      {u"一\u2028二", "U+2028"},
      {u"一\u2029二", "U+2029"},
      {u"名\u2060", "U+2060"},
      {u"\uFFF9名", "U+FFF9"},
      {u"旗\U000E0001", "U+E0001"},
      {u"旗\U000E0067\U000E007F", "U+E0067"},
      {u"👨\u200D👩", "U+200D"},
      {u"名\u3000前", ""},
      {u"e\u0301", ""},
      {u"🐉の術", ""},
      {u"ｶﾞｲ", ""},
  };
  for (const auto& c : cases) {
    const auto problem = NameProblem(c.name);
    if (*c.shown == '\0') {
      EXPECT_FALSE(problem) << *problem;
      continue;
    }
    ASSERT_TRUE(problem) << c.shown;
    EXPECT_EQ(*problem, std::string("the name holds an invisible character (") + c.shown + ")");
    NamesTable table;
    EXPECT_FALSE(table.SetName(ListId::kTechnique, 0x0F, c.name)) << c.shown;
  }
  // Any space counts as a blank, not only the two of the keyboard.
  for (const std::u16string_view blank : {u"\u00A0", u"\u2003\u2003", u" \u202F\u3000"})
    EXPECT_EQ(NameProblem(blank), "the name is only blanks");

  // In a file: reported with its line, like any other bad line, and skipped.
  const auto r = ReadText(
      "techniques\t0F\t\xE2\x80\x8B\n"  // U+200B alone
      "techniques\t10\t良い名前\n"
      "spells\tAB\t\xE2\x80\xAE\xE6\x96\x87\n");  // U+202E then 文
  ASSERT_EQ(LinesOf(r.problems), (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(ProblemText(r.problems[0]),
            "names.tsv:1: the name holds an invisible character (U+200B); line skipped");
  EXPECT_NE(r.problems[1].reason.find("(U+202E)"), std::string::npos);
  EXPECT_EQ(r.table.NamedCount(), 1u);
}

TEST(NamesFile, AFileOfBadLinesReportsAFewAndCountsTheRest) {
  std::string text;
  for (int i = 0; i < 70; ++i)
    text += "nolist\tFF\tx\n";
  const auto r = ReadText(text);
  ASSERT_EQ(r.problems.size(), kMaxReportedNamesProblems + 1);
  EXPECT_EQ(r.problems.back().line, 0u);
  EXPECT_NE(r.problems.back().reason.find("20 more"), std::string::npos);
}

TEST(NamesFile, TheNamesOutputHasEveryEntryAndReadsBackAsTheSameTable) {
  const auto named = ReadText(
      "techniques\t0F\tテスト技\n"
      "weapons\t00\t薬草\n"
      "commanderType\t08\tだれかの指揮\n"
      "exclusiveWeapon\tFF\t専用なし\n");
  ASSERT_TRUE(named.problems.empty());
  for (const NamesTable& table : {NamesTable{}, named.table}) {
    const std::string out = WriteNamesFile(table);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 383);
    const auto back = ReadText(out);
    EXPECT_TRUE(back.problems.empty()) << ProblemText(back.problems.front());
    EXPECT_EQ(back.table, table);
    for (const ListId list : kCodedLists)
      EXPECT_EQ(back.table.DisplayEntries(list), table.DisplayEntries(list));
  }
  const std::string out = WriteNamesFile(named.table);
  EXPECT_NE(out.find("techniques\t0F\tテスト技\n"), std::string::npos);
  EXPECT_NE(out.find("techniques\t10\t技10\n"), std::string::npos);
  // The exclusive weapons in list order, not code order.
  EXPECT_NE(out.find("exclusiveWeapon\tFF\t専用なし\nexclusiveWeapon\t00\t"), std::string::npos);
}

class NamesFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kavelin-names-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "program");
    fs::create_directories(folder_ / "config" / "kavelin");
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path Write(const fs::path& name, std::string_view content) const {
    std::ofstream(folder_ / name, std::ios::binary) << content;
    return folder_ / name;
  }
  fs::path folder_;
};

TEST_F(NamesFiles, ALaterFileOverridesAnEarlierOneEntryByEntry) {
  const auto places =
      NamesFilePlaces(folder_ / "program", (folder_ / "config").c_str(), "/nonexistent");
  ASSERT_EQ(places, (std::vector<fs::path>{folder_ / "program" / "kavelin-names.tsv",
                                           folder_ / "config" / "kavelin" / "kavelin-names.tsv"}));
  Write("program/kavelin-names.tsv",
        "techniques\t0F\t共有の技\n"
        "techniques\t10\t共有の技2\n"
        "spells\tAB\t共有の術\n"
        "armour\tZZ\tx\n");
  Write("config/kavelin/kavelin-names.tsv",
        "techniques\t0F\t私の技\n"
        "spells\tAB\t白虎の術AB\n"  // wrong, but what the user wrote: back to built-in
        "spells\tab\tもう一度\n");
  const auto load = ReadNamesFiles(places);
  EXPECT_EQ(load.filesRead, places);
  EXPECT_EQ(load.table.Name(ListId::kTechnique, 0x0F), u"私の技");
  EXPECT_EQ(load.table.Name(ListId::kTechnique, 0x10), u"共有の技2");
  // A name equal to the built-in one is as good as none.
  EXPECT_EQ(load.table.Name(ListId::kSpell, 0xAB), u"白虎の術AB");
  ASSERT_EQ(load.problems.size(), 2u);
  EXPECT_EQ(load.problems[0].file, places[0]);
  EXPECT_EQ(load.problems[0].line, 4u);
  EXPECT_EQ(load.problems[1].file, places[1]);
  EXPECT_EQ(load.problems[1].line, 3u);
}

TEST_F(NamesFiles, MissingFilesAreNoProblemAndUnusableOnesAreReported) {
  const std::vector<fs::path> none = {folder_ / "program" / "kavelin-names.tsv"};
  const auto empty = ReadNamesFiles(none);
  EXPECT_TRUE(empty.problems.empty());
  EXPECT_TRUE(empty.filesRead.empty());
  EXPECT_EQ(empty.table, NamesTable{});

  fs::create_directories(folder_ / "program" / "kavelin-names.tsv");
  std::string huge = "techniques\t0F\t大きい\n";
  huge.resize(kMaxNamesFileBytes + 1, '\n');
  const auto big = Write("config/kavelin/kavelin-names.tsv", huge);
  const std::vector<fs::path> places = {folder_ / "program" / "kavelin-names.tsv", big};
  const auto load = ReadNamesFiles(places);
  ASSERT_EQ(load.problems.size(), 2u);
  EXPECT_NE(load.problems[0].reason.find("not a regular file"), std::string::npos);
  EXPECT_NE(ProblemText(load.problems[1]).find("kavelin-names.tsv: larger than 1 MiB"),
            std::string::npos);
  EXPECT_EQ(load.table, NamesTable{});

  // Exactly at the cap is read.
  huge.resize(kMaxNamesFileBytes);
  Write("config/kavelin/kavelin-names.tsv", huge);
  const auto atCap = ReadNamesFiles(places);
  EXPECT_EQ(atCap.table.Name(ListId::kTechnique, 0x0F), u"大きい");
}

namespace in_place {

std::string Apply(std::string_view before, const NameChange& change) {
  const auto bytes = Bytes(before);
  const auto after = ApplyNameChange(bytes, change);
  return after ? *after : std::string("<refused>");
}

const NameChange kName{ListId::kTechnique, 0x0F, u"新しい技"};
const NameChange kUnname{ListId::kTechnique, 0x0F, std::nullopt};

TEST(NamesInPlace, OneChangeKeepsEveryOtherByteAndReadsBackAsMeant) {
  struct Case {
    const char* what;
    std::string_view before;
    NameChange change;
    std::string_view after;
  };
  const Case cases[] = {
      {"replaced in place, Windows line ends, comments and bad lines kept",
       "# mine\r\nnot a names line\r\ntechniques\t0f\t古い\r\n\r\nspells\tAB\tx\r\n", kName,
       "# mine\r\nnot a names line\r\ntechniques\t0F\t新しい技\r\n\r\nspells\tAB\tx\r\n"},
      {"appended after a last line without its end", "spells\tAB\tx", kName,
       "spells\tAB\tx\ntechniques\t0F\t新しい技\n"},
      {"appended in the file's Windows line ends", "# mine\r\n", kName,
       "# mine\r\ntechniques\t0F\t新しい技\r\n"},
      {"a lone CR at the end is not doubled", "spells\tAB\tx\r", kName,
       "spells\tAB\tx\r\ntechniques\t0F\t新しい技\n"},
      {"a rejected line of the entry stays; the line read is replaced",
       "techniques\t0F\t\x01\ntechniques\t0F\t古い\n", kName,
       "techniques\t0F\t\x01\ntechniques\t0F\t新しい技\n"},
      {"a skipped duplicate stays", "techniques\t0F\ta\ntechniques\t0F\tb\n", kName,
       "techniques\t0F\t新しい技\ntechniques\t0F\tb\n"},
      {"the byte order mark stays", "\xEF\xBB\xBFtechniques\t0F\ta\n", kName,
       "\xEF\xBB\xBFtechniques\t0F\t新しい技\n"},
      {"taken out with every duplicate that would take its place",
       "# mine\r\ntechniques\t0F\ta\r\nspells\tAB\tx\r\ntechniques\t0f\tb\r\n", kUnname,
       "# mine\r\nspells\tAB\tx\r\n"},
      {"taking out a name not there changes nothing", "# mine\nspells\tAB\tx", kUnname,
       "# mine\nspells\tAB\tx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string after = Apply(c.before, c.change);
    EXPECT_EQ(after, c.after);
    const Read read = ReadText(after);
    const std::u16string_view builtIn = NamesTable{}.Name(ListId::kTechnique, 0x0F);
    EXPECT_EQ(read.table.Name(ListId::kTechnique, 0x0F),
              c.change.name ? std::u16string_view(*c.change.name) : builtIn);
    EXPECT_EQ(HasNamesLine(Bytes(after), ListId::kTechnique, 0x0F), c.change.name.has_value());
  }
}

TEST(NamesInPlace, ChangesTheReaderWouldRejectAreRefused) {
  ASSERT_FALSE(PositionOfCode(ListId::kFormation, 0xF0));
  const NameChange refused[] = {
      {ListId::kTechnique, 0x0F, u""},
      {ListId::kTechnique, 0x0F, u"a\tb"},
      {ListId::kTechnique, 0x0F, u"改行\n"},
      {ListId::kTechnique, 0x0F, std::u16string(kMaxNameLength + 1, u'あ')},
      {ListId::kFormation, 0xF0, u"陣"},
      {ListId::kGender, 0x00, u"男"},
  };
  for (const NameChange& change : refused)
    EXPECT_EQ(Apply("# mine\n", change), "<refused>");
  EXPECT_EQ(Apply("", {ListId::kTechnique, 0x0F, std::u16string(kMaxNameLength, u'あ')}),
            "techniques\t0F\t" + text::ToUtf8(std::u16string(kMaxNameLength, u'あ')) + "\n");
}

TEST(NamesInPlace, ANewFileStartsWithTheHeaderAndNoFileStaysNone) {
  EXPECT_EQ(*MergeNameChange(std::nullopt, kName),
            std::string(kNamesFileHeader) + "techniques\t0F\t新しい技\n");
  EXPECT_EQ(*MergeNameChange(std::nullopt, kUnname), "");
  EXPECT_EQ(*MergeNameChange(std::vector<std::uint8_t>{}, kName), "techniques\t0F\t新しい技\n");
}

using NamesWriting = NamesFiles;

TEST_F(NamesWriting, TwoWritersAtOnceLoseNoLine) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  const fs::path file = folder_ / "config" / "kavelin" / "kavelin-names.tsv";
  Write("config/kavelin/kavelin-names.tsv", "# shared\r\n");
  // Each names every entry of its own list while the other does the same.
  const auto writer = [&file](ListId list, std::vector<std::size_t>& failures) {
    const auto entries = ListEntries(list);
    for (std::size_t p = 0; p < entries.size(); ++p) {
      const NameChange change{list, *EntryCode(entries[p]),
                              u"名" + std::u16string(1, static_cast<char16_t>(u'a' + p % 26))};
      if (!WriteNameChange(file, change)) failures.push_back(p);
    }
  };
  std::vector<std::size_t> failedA, failedB;
  std::thread a(writer, ListId::kTechnique, std::ref(failedA));
  std::thread b(writer, ListId::kSpell, std::ref(failedB));
  a.join();
  b.join();
  EXPECT_TRUE(failedA.empty() && failedB.empty());
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_TRUE(bytes.starts_with("# shared\r\n"));
  Read read = ReadText(bytes);
  EXPECT_TRUE(read.problems.empty());
  EXPECT_EQ(read.table.NamedCount(),
            ListEntries(ListId::kTechnique).size() + ListEntries(ListId::kSpell).size());
  // No temporary left behind: the names file and its lock, nothing else.
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(file.parent_path()))
    left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<fs::path>{"kavelin-names.tsv", "kavelin-names.tsv.lock"}));
}

TEST_F(NamesWriting, EachFailingStepIsToldAndLeavesTheFileAsItWas) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  const fs::path inFile = Write("plain", "x") / "kavelin-names.tsv";
  EXPECT_EQ(ReasonOf<NamesWriteStep>(WriteNameChange(inFile, kName)), NamesWriteStep::kFolder);

  const fs::path file = folder_ / "config" / "kavelin" / "kavelin-names.tsv";
  // A pipe in the lock file's place: refused at once, never waited on.
  ASSERT_EQ(::mkfifo(NamesLockFile(file).c_str(), 0600), 0);
  const NamesWrite pipe = WriteNameChange(file, kName);
  EXPECT_EQ(ReasonOf<NamesWriteStep>(pipe), NamesWriteStep::kLock);
  fs::remove(NamesLockFile(file));

  // Held by another writer past the wait.
  {
    const int held = ::open(NamesLockFile(file).c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(ReasonOf<NamesWriteStep>(WriteNameChange(file, kName, std::chrono::milliseconds(30))),
              NamesWriteStep::kBusy);
    ::close(held);
  }
  EXPECT_FALSE(fs::exists(file));

  std::string huge(kMaxNamesFileBytes + 1, '\n');
  Write("config/kavelin/kavelin-names.tsv", huge);
  EXPECT_EQ(ReasonOf<NamesWriteStep>(WriteNameChange(file, kName)), NamesWriteStep::kRead);
  EXPECT_EQ(fs::file_size(file), huge.size());

  Write("config/kavelin/kavelin-names.tsv", "# mine\n");
  EXPECT_EQ(ReasonOf<NamesWriteStep>(WriteNameChange(file, {ListId::kTechnique, 0x0F, u"\t"})),
            NamesWriteStep::kName);
  const NamesWrite good = WriteNameChange(file, kName);
  ASSERT_TRUE(good);
  EXPECT_EQ(*good, "# mine\ntechniques\t0F\t新しい技\n");
}

TEST_F(NamesWriting, ALinkIsWrittenThroughAndStaysALink) {
  const fs::path real = Write("shared.tsv", "# dotfiles\n");
  const fs::path file = folder_ / "config" / "kavelin" / "kavelin-names.tsv";
  fs::create_symlink(real, file);
  ASSERT_TRUE(WriteNameChange(file, kName));
  EXPECT_TRUE(fs::is_symlink(file));
  std::ifstream in(real, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "# dotfiles\ntechniques\t0F\t新しい技\n");
}

}  // namespace in_place

}  // namespace
}  // namespace kavelin::sheet
