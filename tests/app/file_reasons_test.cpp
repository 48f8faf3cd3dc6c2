// Unreadable sheet files and patches are explained in Japanese in the window, built from
// the readers' parts; the key paths, codes and numbers stay as the file has them.
#include "app/file_reasons.hpp"

#include <QString>
#include <fstream>

#include "app/qt_text.hpp"
#include "patch/patch_file.hpp"
#include "support/failure_access.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using namespace ::kavelin::testing;

using Bytes = std::vector<std::uint8_t>;

// English slipping through shows as a Latin word; words of the file's own (key paths,
// codes, values, "K7P") are quoted in 「」 and may be anything.
bool ReadsAsJapanese(const QString& text) {
  int quoted = 0, run = 0;
  bool japanese = false;
  for (const QChar c : text) {
    if (c == u'「') {
      ++quoted;
    } else if (c == u'」') {
      --quoted;
    } else if (c.unicode() >= 0x3000) {
      japanese = true;
    }
    const bool latin = c.unicode() < 0x80 && QChar::isLetter(c.unicode());
    run = latin && quoted == 0 ? run + 1 : 0;
    if (run >= 3) return false;
  }
  return japanese && quoted == 0;
}

class FileReasonsTest : public LoadedWindowTest {
 protected:
  // The reason line of the box that opening `file` shows.
  QString Reason(const std::filesystem::path& file) {
    dialogs_.boxes.clear();
    const bool patch = file.extension() == ".k7p";
    EXPECT_FALSE(patch ? window_.OpenPatchFile(file) : window_.OpenSheetFile(file));
    EXPECT_EQ(dialogs_.boxes.size(), 1u) << file;
    if (dialogs_.boxes.empty()) return {};
    const QStringList lines = dialogs_.boxes[0].text.split("\r\n");
    EXPECT_EQ(lines.size(), 3) << dialogs_.boxes[0].text.toStdString();
    return lines.value(2);
  }
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
    const auto file = folder_ / name;
    image::testing::WriteFile(file, bytes);
    return file;
  }
  std::filesystem::path Write(const std::string& name, std::string_view text) {
    return Write(name, Bytes(text.begin(), text.end()));
  }
  Bytes Patch(const sheet::CharacterSheet& sheet) {
    return ValueOf(patch::BuildPatchBytes(sheet, window_.Codes(), window_.Template()));
  }
};

TEST_F(FileReasonsTest, EveryReasonForASheetFileIsJapanese) {
  const std::vector<std::pair<std::string, QString>> cases = {
      {R"({"initialArts": {"spells": ["FF", "FF", "B1", "FF"]}})",
       Q(u"キー「initialArts.spells[2]」のコード「B1」は術の一覧にありません。")},
      {R"({"nmae": "x"})", Q(u"キー「nmae」はキャラクターファイルにないキーです。")},
      {R"({"growthRates": {"enabled": "yes"}})",
       Q(u"キー「growthRates.enabled」の値は「true」か「false」でなければなりませんが、"
         u"「\"yes\"」です。")},
      {R"({"basicStatus": {"stats": ["1", "2"]}})",
       Q(u"キー「basicStatus.stats」には 7 個の値が必要ですが、2 個あります。")},
      {R"({"gender": 4})", Q(u"キー「gender」の値 4 は 0～3 の範囲にありません。")},
      {"{\n  \"name\": 1\n  \"gender\": 0}",
       Q(u"3 行目 10 文字目で、キャラクターファイルの書式が正しくありません。")},
      {std::string(40, '['), Q(u"入れ子が 16 段より深くなっています。")},
      {std::string("{\"comment\":\"o\0k\"}", 17), Q(u"オフセット 13 にヌル文字があります。")},
      {std::string("{\"comment\":\"ok\"}\0garbage", 24),
       Q(u"オフセット 16 から後ろに、余分なデータがあります。")},
      {"[1]", Q(u"ファイル全体が「{ }」で囲まれていません。")},
      {R"({"otherTraits": 1})", Q(u"キー「otherTraits」の値は「{ }」で囲まなければなりません。")},
      {R"({"otherTraits": {"commanderType": "8"}})",
       Q(u"キー「otherTraits.commanderType」のコード「8」は 2 桁の 16 進数ではありません。")},
      {R"({"paletteSwaps": [[5, 3]]})",
       Q(u"キー「paletteSwaps[0]」のパレット番号 3 は予約された黒なので、入れ替えられません。")},
      {R"({"paletteSwaps": [[0, 16]]})",
       Q(u"キー「paletteSwaps[0]」のパレット番号 16 は 0～15 の範囲にありません。")},
      {R"({"paletteSwaps": [[1]]})",
       Q(u"キー「paletteSwaps[0]」の値はパレット番号 2 つの組でなければなりませんが、「[1]」です"
         u"。")},
      {R"({"template": ""})",
       Q(u"キー「template」のパスは 1～4096 バイトでなければなりませんが、0 バイトあります。")},
      {R"({"template": "a\tb.gif"})", Q(u"キー「template」のパスに制御文字があります。")},
  };
  int n = 0;
  for (const auto& [json, reason] : cases) {
    const QString shown = Reason(Write("bad" + std::to_string(n++) + ".k7c", json));
    EXPECT_EQ(shown, reason) << json;
    EXPECT_TRUE(ReadsAsJapanese(shown)) << shown.toStdString();
  }
  // Too many keys: the limit, not a key, is named.
  std::string keys = "{";
  for (int i = 0; i < 40; ++i)
    keys += std::string(i ? "," : "") + "\"gender\":1";
  EXPECT_EQ(Reason(Write("keys.k7c", keys + "}")), Q(u"キーが 32 個より多い「{ }」があります。"));
}

TEST_F(FileReasonsTest, EveryReasonForAPatchIsJapaneseAfterItsOffset) {
  const Bytes fresh = Patch({});
  sheet::CharacterSheet growth;
  growth.Flags(sheet::Section::kGrowthRates).enabled = true;
  growth.comment = u"abc";
  const Bytes withBlock = Patch(growth);  // block 5 at 7158, comment at 7176
  ASSERT_EQ(withBlock.size(), 7182u);

  struct Case {
    const Bytes& base;
    std::function<void(Bytes&)> damage;
    QString reason;
  };
  const std::vector<Case> cases = {
      {fresh, [](Bytes& b) { b.resize(100); },
       Q(u"オフセット 100: ファイルが 100 バイトしかなく、パッチの固定部分の 7158 "
         u"バイトに足りません。")},
      {fresh, [](Bytes& b) { b[2] = 'Q'; },
       Q(u"オフセット 0: パッチファイルではありません（先頭が「K7P」ではありません）。")},
      {fresh, [](Bytes& b) { b[3] = 0x19; },
       Q(u"オフセット 3: 名前のバイト 19 はゲームの文字ではありません。")},
      {fresh, [](Bytes& b) { b[3] = 0x18; },
       Q(u"オフセット 3: 名前のバイト 18 はゲームの文字でも「KV7Tools.ini」の文字でもありません"
         u"。")},
      {fresh, [](Bytes& b) { b[10] = 0x21; },
       Q(u"オフセット 10: 名前の 2 バイトのコードが途中で切れています。")},
      {fresh, [](Bytes& b) { b[11] = 0x00; },
       Q(u"オフセット 11: 性別のバイト 00 は知らない値です。")},
      {withBlock, [](Bytes& b) { b[7158] = 0x09; },
       Q(u"オフセット 7158: ブロック番号 09 は知らない番号です。")},
      {withBlock, [](Bytes& b) { b[7159] = 0x01; },
       Q(u"オフセット 7159: ブロック 5 の変更禁止のバイト 01 が 00 でも FF でもありません。")},
      {withBlock, [](Bytes& b) { b[7160] = 0x0E; },
       Q(u"オフセット 7160: ブロック 5 のデータの長さが 14 です（正しくは 15）。")},
      {withBlock, [](Bytes& b) { b.resize(7165); },
       Q(u"オフセット 7165: ブロック 5 が途中で切れています。")},
      {withBlock,
       [](Bytes& b) {
         const Bytes block(b.begin() + 7158, b.begin() + 7176);
         b.resize(7176);
         b.insert(b.end(), block.begin(), block.end());
       },
       Q(u"オフセット 7176: ブロック 5 がブロック 5 の後にあります。ブロックは番号の小さい順に "
         u"1 つずつ並んでいなければなりません。")},
      {withBlock, [](Bytes& b) { b.pop_back(); },
       Q(u"オフセット 7181: コメントが 3 文字のはずが、2 文字で切れています。")},
      {withBlock, [](Bytes& b) { b.back() = 0x82; },
       Q(u"オフセット 7182: コメントの最後の文字が途中で切れています。")},
      {withBlock, [](Bytes& b) { b.push_back('!'); },
       Q(u"オフセット 7182: コメントの後ろに 1 バイトの余分なデータがあります。")},
      {withBlock, [](Bytes& b) { b[7177] = 0; },
       Q(u"オフセット 7177: コメントのブロックに文字がありません。")},
  };
  int n = 0;
  for (const auto& c : cases) {
    Bytes b = c.base;
    c.damage(b);
    const QString shown = Reason(Write("bad" + std::to_string(n++) + ".k7p", b));
    EXPECT_EQ(shown, c.reason);
    EXPECT_TRUE(ReadsAsJapanese(shown)) << shown.toStdString();
  }
}

// Kinds no test file above reaches, such as a string the parser let through that is not
// UTF-8, are worded too: every kind has its own Japanese sentence.
TEST(FileReasons, EveryKindHasItsOwnJapaneseSentence) {
  QStringList sheetTexts;
  for (int k = static_cast<int>(sheet::SheetProblemKind::kNone) + 1;
       k <= static_cast<int>(sheet::SheetProblemKind::kTemplateControlCharacter); ++k) {
    sheet::SheetFileProblem problem;
    problem.kind = static_cast<sheet::SheetProblemKind>(k);
    problem.key = "basicStatus.stats[1]";
    problem.found = "\"x\"";
    const QString text = SheetFileReason(problem);
    EXPECT_TRUE(ReadsAsJapanese(text)) << k << ": " << text.toStdString();
    EXPECT_FALSE(sheetTexts.contains(text)) << k << ": " << text.toStdString();
    sheetTexts << text;
  }
  for (int v = static_cast<int>(sheet::SheetValueKind::kString);
       v <= static_cast<int>(sheet::SheetValueKind::kPath); ++v) {
    sheet::SheetFileProblem problem;
    problem.kind = sheet::SheetProblemKind::kWrongType;
    problem.expected = static_cast<sheet::SheetValueKind>(v);
    problem.key = "name";
    problem.found = "null";
    const QString text = SheetFileReason(problem);
    EXPECT_TRUE(ReadsAsJapanese(text)) << v << ": " << text.toStdString();
    EXPECT_FALSE(sheetTexts.contains(text)) << v << ": " << text.toStdString();
    sheetTexts << text;
  }
  EXPECT_FALSE(sheetTexts.contains(SheetFileReason({})));

  QStringList patchTexts;
  for (int k = static_cast<int>(patch::PatchProblemKind::kNone) + 1;
       k <= static_cast<int>(patch::PatchProblemKind::kBytesAfterComment); ++k) {
    patch::PatchProblem problem;
    problem.kind = static_cast<patch::PatchProblemKind>(k);
    problem.field = patch::PatchField::kJobName;
    const QString text = PatchFileReason(problem, 7158);
    EXPECT_TRUE(text.startsWith(Q(u"オフセット 7158: "))) << text.toStdString();
    EXPECT_TRUE(ReadsAsJapanese(text)) << k << ": " << text.toStdString();
    EXPECT_FALSE(patchTexts.contains(text)) << k << ": " << text.toStdString();
    patchTexts << text;
  }
  EXPECT_FALSE(patchTexts.contains(PatchFileReason({}, 7158)));
  for (const sheet::ListId list : sheet::kAllLists) {
    patch::PatchProblem problem;
    problem.kind = patch::PatchProblemKind::kCodeNotInList;
    problem.list = list;
    EXPECT_TRUE(ReadsAsJapanese(PatchFileReason(problem, 0)));
  }
}

// A key or value from the file that looks like a place marker stays as written.
TEST(FileReasons, TextFromTheFileIsNotTakenForPlaceMarkers) {
  sheet::SheetFileProblem problem;
  problem.kind = sheet::SheetProblemKind::kWrongType;
  problem.key = "%2";
  problem.found = "\"%1%3\"";
  EXPECT_EQ(SheetFileReason(problem),
            Q(u"キー「%2」の値は文字列でなければなりませんが、「\"%1%3\"」です。"));
}

}  // namespace
}  // namespace kavelin::app::testing
