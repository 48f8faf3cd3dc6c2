// The live check in the window: marks and their messages on the fields each rule concerns,
// the status bar's counts and F8, and the hints the road does not give.
#include "validate/live_check.hpp"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "app/form_controls.hpp"
#include "app/qt_text.hpp"
#include "patch/game_preview.hpp"
#include "sheet/catalogue.hpp"
#include "validate/messages.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using sheet::CharacterSheet;
using sheet::ListId;
using sheet::Section;
using validate::FieldId;
using K = validate::FieldKind;
namespace messages = validate::messages;

// The control that shows a field, by the names the window's layout gives them; written out
// here rather than asked of the window, so that a wrong mapping there is caught.
QString ObjectName(FieldId field) {
  const auto indexed = [&](const char* base, std::size_t offset = 0) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(field.index + offset);
  };
  switch (field.kind) {
    case K::kTemplatePicture:
      return "Picture1";
    case K::kName:
      return "Text1";
    case K::kJobName:
      return "Text2";
    case K::kComment:
      return "Text7";
    case K::kSectionEnabled:
      return indexed("Check5");
    case K::kStat:
      return indexed("Text3");
    case K::kLp:
      return "Text4";
    case K::kLevel:
      return indexed("Text5");
    case K::kEarthSchool:
      return "Option1(0)";
    case K::kHeavenSchool:
      return "Option2(0)";
    case K::kSpell:
      return indexed("Combo5", 4);
    case K::kWeapon:
      return indexed("Combo6");
    case K::kArmour:
      return indexed("Combo6", 4);
    case K::kExclusiveWeapon:
      return "Combo7(1)";
    case K::kGrowthRate:
      return indexed("Text6");
    default:
      ADD_FAILURE() << "no name for field " << validate::KeyPath(field);
      return {};
  }
}

int Position(ListId list, std::uint8_t code) {
  return sheet::PositionOfCode(list, code).value_or(-1);
}

class LiveCheckTest : public LoadedWindowTest {
 protected:
  // Entries 1 and 2 in the game's own colours, so that only the sheet's findings count.
  LiveCheckTest() {
    auto paints = image::testing::KnownColourPaints();
    paints[0].c = patch::WidenSnesColour(0x6BDE);
    paints[1].c = patch::WidenSnesColour(0x18C6);
    WriteTemplate(template_, image::testing::Margined(image::testing::kWhite, paints));
    window_.TakeInFile(template_);
    EXPECT_TRUE(dialogs_.boxes.empty());
  }
  // Every section on, every value accepted.
  static CharacterSheet Clean() {
    CharacterSheet s;
    for (auto& f : s.flags)
      f.enabled = true;
    s.initialLevels.levels[0] = u"100";
    return s;
  }
  QWidget* Widget(FieldId field) { return Get<QWidget>(ObjectName(field)); }
};

TEST_F(LiveCheckTest, EveryRuleMarksItsFieldsWithItsMessageAndTheMarkClears) {
  using Change = std::function<void(CharacterSheet&)>;
  const std::vector<std::pair<const char*, Change>> cases = {
      {"name", [](CharacterSheet& s) { s.name = u""; }},
      {"name unencodable", [](CharacterSheet& s) { s.name = u"A"; }},
      {"name long", [](CharacterSheet& s) { s.name = u"魔魔魔魔魔"; }},
      {"job unencodable", [](CharacterSheet& s) { s.jobName = u"x"; }},
      {"job long", [](CharacterSheet& s) { s.jobName = u"魔魔魔魔魔魔"; }},
      {"stats", [](CharacterSheet& s) { s.basicStatus.stats[3] = u"91"; }},
      {"lp", [](CharacterSheet& s) { s.basicStatus.lp = u"127"; }},
      {"hp", [](CharacterSheet& s) { s.initialLevels.levels[0] = u"29"; }},
      {"levels", [](CharacterSheet& s) { s.initialLevels.levels[4] = u"32"; }},
      {"growth", [](CharacterSheet& s) { s.growthRates.growthRates[9] = u"9"; }},
      {"comment", [](CharacterSheet& s) { s.comment.assign(65536, u'a'); }},
      {"spell schools",
       [](CharacterSheet& s) {
         s.initialArts.spells = {1, 0, 7, 0};
         s.initialLevels.levels[6] = u"1";
       }},
      {"spell level",
       [](CharacterSheet& s) {
         s.initialArts.spells = {0, 0, 7, 0};
       }},
      {"heaven option",
       [](CharacterSheet& s) {
         s.initialArts.spells = {31, 0, 0, 0};
         s.initialLevels.levels[7] = u"1";
       }},
      {"shields",
       [](CharacterSheet& s) {
         s.initialEquipment.weapons = {Position(ListId::kWeapon, 0x50), 0,
                                       Position(ListId::kWeapon, 0x51), 0};
       }},
      {"armour",
       [](CharacterSheet& s) {
         s.initialEquipment.armour = {Position(ListId::kArmour, 0x60), 0,
                                      Position(ListId::kArmour, 0xA0), 0};
       }},
      {"exclusive without equipment",
       [](CharacterSheet& s) {
         s.otherTraits.exclusiveWeapon = 1;
         s.Flags(Section::kInitialEquipment).enabled = false;
       }},
      {"weapon 1",
       [](CharacterSheet& s) {
         s.otherTraits.exclusiveWeapon = 1;
         s.initialEquipment.weapons[0] = Position(ListId::kWeapon, 0x14);
       }},
  };
  for (const auto& [what, change] : cases) {
    CharacterSheet sheet = Clean();
    change(sheet);
    window_.ShowSheet(sheet);
    window_.RunLiveCheck();
    const auto found = validate::LiveCheck(sheet, window_.Codes(), true);
    ASSERT_TRUE(found.errors.Found() || found.warnings.Found()) << what;
    for (const auto* result : {&found.errors, &found.warnings}) {
      const Mark kind = result == &found.errors ? Mark::kError : Mark::kWarning;
      for (std::size_t i = 0; i < result->messages.size(); ++i) {
        for (const FieldId field : result->fields[i]) {
          QWidget* widget = Widget(field);
          ASSERT_NE(widget, nullptr) << what;
          EXPECT_EQ(MarkOf(widget), kind) << what << " " << validate::KeyPath(field);
          EXPECT_TRUE(widget->toolTip().contains(Q(result->messages[i]))) << what;
        }
      }
    }
    // Put right, every mark clears and each tooltip says again what its control does.
    window_.ShowSheet(Clean());
    window_.RunLiveCheck();
    for (const auto* result : {&found.errors, &found.warnings}) {
      for (const auto& fields : result->fields) {
        for (const FieldId field : fields) {
          EXPECT_EQ(MarkOf(Widget(field)), Mark::kNone) << what;
          EXPECT_EQ(Widget(field)->toolTip(), OwnTip(Widget(field))) << what;
        }
      }
    }
  }
  EXPECT_EQ(Get<QPushButton>("CheckStatus")->text(), Q(u"入力内容に問題はありません。"));
}

TEST_F(LiveCheckTest, TheStatusBarCountsAndF8WalksTheMarks) {
  CharacterSheet sheet = Clean();
  sheet.basicStatus.lp = u"0";
  sheet.initialLevels.levels[0] = u"1";
  sheet.initialEquipment.weapons = {Position(ListId::kWeapon, 0x50), 0,
                                    Position(ListId::kWeapon, 0x51), 0};
  window_.ShowSheet(sheet);
  window_.RunLiveCheck();
  auto* status = Get<QPushButton>("CheckStatus");
  EXPECT_EQ(status->text(), Q(u"入力エラー 2件・注意 1件"));
  window_.show();
  QApplication::setActiveWindow(&window_);
  Get<QWidget>("Text1")->setFocus();
  QStringList visited;
  for (int i = 0; i < 5; ++i) {
    window_.FocusNextMarked();
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, QStringList({"Text4", "Text5(0)", "Combo6(0)", "Combo6(2)", "Text4"}));
  // Pressing the counts does the same.
  status->click();
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "Text5(0)");
}

TEST_F(LiveCheckTest, AMissingTemplateMarksThePictureAndItsHintSaysWhatToDo) {
  window_.TakeInFile(folder_ / "missing.bmp");
  dialogs_.boxes.clear();
  window_.RunLiveCheck();
  QWidget* picture = Get<QWidget>("Picture1");
  EXPECT_EQ(MarkOf(picture), Mark::kError);
  EXPECT_EQ(picture->toolTip(), Q(messages::kNoTemplate));
}

TEST_F(LiveCheckTest, HintsTheRoadDoesNotGive) {
  // Entries 1 and 2 show the game's fixed colours beside the template's own.
  for (const auto& [entry, word] : {std::pair{1, "0x6BDE"}, std::pair{2, "0x18C6"}}) {
    auto* swatch = Get<QLabel>(QString("Fixed(%1)").arg(entry));
    EXPECT_TRUE(swatch->toolTip().contains(word)) << entry;
    EXPECT_TRUE(swatch->toolTip().contains(Text(QString("Label1(%1)").arg(entry)).trimmed()));
  }
  // Black (entry 6) and 7, 7, 7 (entry 9) have the same SNES form: both rows say so, and
  // no other; the reserved black of entry 3 is the game's own and never counted.
  QStringList marked;
  for (int i = 0; i < 16; ++i) {
    if (Get<QPushButton>(QString("Check1(%1)").arg(i))->toolTip().contains(Q(u"見分けられません")))
      marked << QString::number(i);
  }
  EXPECT_EQ(marked, QStringList({"6", "9"}));
  // Characters a patch comment cannot store are named in the comment's tooltip.
  auto* comment = Get<QPlainTextEdit>("Text7");
  comment->setPlainText(QString::fromUtf16(u"ok \u00e9\u4e02 \u00e9"));
  window_.RunLiveCheck();
  EXPECT_TRUE(comment->toolTip().endsWith(QString::fromUtf16(u"：\u00e9\u4e02")))
      << comment->toolTip().toStdString();
  comment->setPlainText("plain");
  window_.RunLiveCheck();
  EXPECT_EQ(comment->toolTip(), Q(u"パッチに添えるコメントです。"));
}

}  // namespace
}  // namespace kavelin::app::testing
