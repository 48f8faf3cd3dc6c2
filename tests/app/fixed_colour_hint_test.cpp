// Entries 1 and 2 that the game shows in its own colours: the palette rows, the picture's
// marks, the status bar's count and F8, as the template and its palette change.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <utility>

#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "image/palette_panel.hpp"
#include "patch/game_preview.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using image::testing::kWhite;
using image::testing::Margined;

constexpr image::Colour kWrong = image::Rgb(0xF8, 0, 0);        // entry 1, not the game's
constexpr image::Colour kOther = image::Rgb(0x12, 0x34, 0x56);  // entry 4
const image::Colour kGameOne = patch::WidenSnesColour(0x6BDE);  // entry 5
const image::Colour kGameTwo = patch::WidenSnesColour(0x18C6);  // entry 2, as the game has it

class FixedColourHintTest : public WindowTest {
 protected:
  FixedColourHintTest() {
    WriteTemplate(template_, Margined(kWhite, {{10, 13, kWrong},
                                               {20, 20, kWrong},
                                               {30, 10, kWrong},
                                               {11, 32, kGameTwo},
                                               {5, 31, kOther},
                                               {6, 1, kGameOne}}));
    window_.TakeInFile(template_);
    EXPECT_TRUE(dialogs_.boxes.empty());
    const auto& entries = window_.Template().palette.entries;
    EXPECT_EQ(entries[1], kWrong);
    EXPECT_EQ(entries[2], kGameTwo);
    EXPECT_EQ(entries[4], kOther);
    EXPECT_EQ(entries[5], kGameOne);
    // A sheet the live check finds nothing in, so that only the hint is counted.
    sheet::CharacterSheet clean;
    for (auto& f : clean.flags)
      f.enabled = true;
    clean.initialLevels.levels[0] = u"100";
    window_.ShowSheet(clean);
  }
  QPushButton* Toggle(int i) { return Get<QPushButton>(QString("Check1(%1)").arg(i)); }
  bool Amber(int i) { return Toggle(i)->styleSheet().contains("#e09000"); }
  PictureArea* Picture() { return Get<PictureArea>("Picture1"); }
  QString Status() {
    window_.RunLiveCheck();
    return Get<QPushButton>("CheckStatus")->text();
  }
  // Whichever entries the window marks, with the colour and pixels each hint names.
  void ExpectHintOnEntryOne(image::Colour shown, int pixels) {
    SCOPED_TRACE(QString::number(shown, 16).toStdString());
    const auto hints = image::FixedColourHints(window_.Template());
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0].changedPixels, pixels);
    EXPECT_TRUE(Amber(1));
    EXPECT_FALSE(Amber(2));
    EXPECT_TRUE(Toggle(1)->toolTip().contains(
        QColor(image::Red(shown), image::Green(shown), image::Blue(shown)).name().toUpper()));
    EXPECT_TRUE(Toggle(1)->toolTip().contains(Q(u"セルの %1 ピクセル").arg(pixels)));
    EXPECT_EQ(Picture()->ChangedPixels().size(), static_cast<std::size_t>(pixels));
    EXPECT_EQ(Status(), Q(u"入力エラー 0件・注意 0件・ヒント 1件"));
  }
  void ExpectNoHint() {
    EXPECT_TRUE(image::FixedColourHints(window_.Template()).empty());
    EXPECT_FALSE(Amber(1));
    EXPECT_FALSE(Amber(2));
    EXPECT_EQ(Toggle(1)->toolTip(), ToggleTip(1));
    EXPECT_TRUE(Picture()->ChangedPixels().empty());
    EXPECT_FALSE(Status().contains(Q(u"ヒント")));
  }
  QString ToggleTip(int i) { return Q(kPaletteToggleTip).arg(i); }

  std::filesystem::path template_ = folder_ / "wrong.bmp";
};

TEST_F(FixedColourHintTest, AWrongEntryOneIsMarkedExplainedCountedAndReached) {
  EXPECT_EQ(Toggle(1)->toolTip(),
            Q(u"パレット1: テンプレートの色 #F80000 は、ゲームでは固定色 #F7F7D6（0x6BDE）"
              u"で表示されます。セルの 3 ピクセルの色が変わります。この番号の色はテンプレートの "
              u"(10, 13) のピクセルで決まります。"));
  EXPECT_EQ(Toggle(2)->toolTip(), ToggleTip(2));
  ExpectHintOnEntryOne(kWrong, 3);
  EXPECT_TRUE(Get<QPushButton>("CheckStatus")->isEnabled());

  // The marks tint exactly the entry's pixels, over the picture.
  std::vector<QPoint> marked = Picture()->ChangedPixels();
  std::sort(marked.begin(), marked.end(),
            [](QPoint a, QPoint b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); });
  EXPECT_EQ(marked, (std::vector<QPoint>{{10, 13}, {20, 20}, {30, 10}}));
  const QImage drawn = Picture()->grab().toImage();
  EXPECT_NE(drawn.pixelColor(10, 13), QColor(0xF8, 0, 0));
  EXPECT_EQ(drawn.pixelColor(10, 14), QColor(Qt::white));
  EXPECT_EQ(drawn.pixelColor(11, 32),
            QColor(image::Red(kGameTwo), image::Green(kGameTwo), image::Blue(kGameTwo)));

  // F8 goes to the row; nothing else is marked, so it stays there.
  window_.show();
  QApplication::setActiveWindow(&window_);
  Get<QWidget>("Text1")->setFocus();
  for (int i = 0; i < 2; ++i) {
    window_.FocusNextMarked();
    EXPECT_EQ(QApplication::focusWidget(), Toggle(1));
  }

  // The poison preview recolours the screen only: the hint stays as it was.
  auto* preview = Get<QCheckBox>("Check2");
  ASSERT_TRUE(preview->isEnabled());
  preview->click();
  ASSERT_TRUE(window_.Template().toggles.preview.ticked);
  ExpectHintOnEntryOne(kWrong, 3);
}

TEST_F(FixedColourHintTest, SwapsMoveOrClearTheHintAndUndoBringsItBack) {
  struct Case {
    int partner;
    bool hinted;
    image::Colour shown;
    int pixels;
  };
  for (const Case& c : {Case{5, false, 0, 0}, Case{4, true, kOther, 1}}) {
    SCOPED_TRACE(c.partner);
    Toggle(1)->click();
    Toggle(c.partner)->click();
    ASSERT_EQ(window_.Template().palette.entries[1], c.hinted ? kOther : kGameOne);
    if (c.hinted) {
      ExpectHintOnEntryOne(c.shown, c.pixels);
    } else {
      ExpectNoHint();
    }
    // The swapped-out colour is now an ordinary entry: its row is no longer marked.
    EXPECT_FALSE(Amber(c.partner));
    window_.Undo();
    ExpectHintOnEntryOne(kWrong, 3);
    window_.Redo();
    EXPECT_EQ(image::FixedColourHints(window_.Template()).size(), c.hinted ? 1u : 0u);
    EXPECT_EQ(Amber(1), c.hinted);
    window_.Undo();
  }
}

TEST_F(FixedColourHintTest, TheBlankTemplateAndTheSampleGiveNone) {
  const std::filesystem::path blank = folder_ / "blank.gif";
  ASSERT_TRUE(window_.ExportBlankTemplateFile(blank));
  for (const std::filesystem::path& file :
       {blank, std::filesystem::path(KAVELIN_EXAMPLES) / "hero.gif"}) {
    SCOPED_TRACE(file.string());
    window_.TakeInFile(file);
    EXPECT_TRUE(dialogs_.boxes.empty());
    ASSERT_EQ(window_.Template().path, file);
    ExpectNoHint();
  }
  // Loading a template with the fault brings the marks back.
  window_.TakeInFile(template_);
  ExpectHintOnEntryOne(kWrong, 3);
}

// Cells past the picture's edge and a colour overflow: counted as hints, reached with F8,
// explained in the picture's tooltip; the overflow's box keeps its text, and the status
// bar then says how many colours and where the ring is, which is drawn above the hint.
TEST_F(FixedColourHintTest, CellsPastTheEdgeAndTooManyColoursAreHintsOnThePicture) {
  image::Raster narrow(170, 131, kWhite);
  WriteTemplate(folder_ / "narrow.bmp", narrow);
  window_.TakeInFile(folder_ / "narrow.bmp");
  EXPECT_TRUE(dialogs_.boxes.empty());
  ASSERT_TRUE(window_.Template().Loaded());
  // The background past the edge takes entry 1, so the fixed-colour hint joins in.
  EXPECT_EQ(Status(), Q(u"入力エラー 0件・注意 0件・ヒント 2件"));
  EXPECT_EQ(Picture()->OutlinedCells(), (std::vector<QRect>{{150, 74, 24, 24}}));
  EXPECT_EQ(Picture()->toolTip(),
            Q(u"絵の大きさは 170×131 ですが、セルには 174×131 が必要です。"
              u"絵の外にはみ出したセル（20）の 96 ピクセルは背景色 #D4D0C8 になります。"));
  window_.show();
  QApplication::setActiveWindow(&window_);
  Get<QWidget>("Text1")->setFocus();
  window_.FocusNextMarked();
  EXPECT_EQ(QApplication::focusWidget(), Picture());

  image::Raster crowded = Margined(kWhite);
  for (int i = 0; i < 20; ++i)
    crowded.Set(2 + i, 20, image::Rgb(static_cast<std::uint8_t>(100 + i), 1, 2));
  WriteTemplate(folder_ / "crowded.bmp", crowded);
  window_.TakeInFile(folder_ / "crowded.bmp");
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, Q(u"色数が多すぎます。"));
  ASSERT_TRUE(Picture()->Ring());
  const QPoint ring = *Picture()->Ring();
  EXPECT_TRUE(window_.findChild<QStatusBar*>()->currentMessage().startsWith(Q(u"セルには ")));
  EXPECT_TRUE(window_.findChild<QStatusBar*>()->currentMessage().contains(
      QStringLiteral("(%1, %2)").arg(ring.x()).arg(ring.y())));
  EXPECT_TRUE(Picture()->OutlinedCells().empty());
  // The refused picture leaves the window without a template: that is the error.
  EXPECT_EQ(Status(), Q(u"入力エラー 1件・注意 0件・ヒント 1件"));
  // The ring's red shows through the drop hint drawn over the refused picture.
  const QImage drawn = Picture()->grab().toImage();
  bool red = false;
  for (int dx = -6; dx <= 6; ++dx)
    red = red || (drawn.pixelColor(ring.x() + dx, ring.y()).red() > 200 &&
                  drawn.pixelColor(ring.x() + dx, ring.y()).green() < 80);
  EXPECT_TRUE(red);

  // A template without either puts the picture's own tip back.
  window_.TakeInFile(template_);
  EXPECT_FALSE(Picture()->Ring());
  Status();
  EXPECT_EQ(Picture()->toolTip(), Q(kPictureTip));
}

}  // namespace
}  // namespace kavelin::app::testing
