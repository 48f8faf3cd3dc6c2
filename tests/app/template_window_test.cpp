// The template side of the window: browse, drop, command line, palette panel and preview.
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "image/palette_panel.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using image::testing::kKnownEntries;

QString Local(const std::filesystem::path& file) {
  return QString::fromStdString(file.string());
}

class TemplateWindowTest : public LoadedWindowTest {
 protected:
  void Drop(const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    auto* picture = Get<PictureArea>("Picture1");
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the widget: the application routes drops only to a real drag's target.
    static_cast<QObject*>(picture)->event(&drop);
    QApplication::processEvents();
  }
  QStringList Row(int i) {
    return {Text(QString("Label2(%1)").arg(i)), Text(QString("Label3(%1)").arg(i)),
            Text(QString("Label4(%1)").arg(i)), Text(QString("Label1(%1)").arg(i))};
  }
  static QStringList Captions(image::Colour c) {
    const auto e = image::CaptionsOf(c);
    return {Q(e.red), Q(e.green), Q(e.blue), Q(e.snes)};
  }
  QPushButton* Toggle(int i) { return Get<QPushButton>(QString("Check1(%1)").arg(i)); }
  void ExpectReadError(std::u16string_view message) {
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].title, Q(u"読み込みエラー"));
    EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kStop);
    EXPECT_EQ(dialogs_.boxes[0].text, Q(message));
  }
};

TEST_F(TemplateWindowTest, ShowsThePictureAndPaletteOfTheLoad) {
  EXPECT_EQ(Get<PictureArea>("Picture1")->Shown(), ToQImage(window_.Template().displayed));
  // Pixel for pixel on screen, from the area's top-left corner. Entry 5's pixel: those of
  // entries 1 and 2 carry the amber of the game's fixed colours.
  const QImage screen = Get<PictureArea>("Picture1")->grab().toImage();
  EXPECT_EQ(screen.pixelColor(6, 1), QColor(0xAB, 0xCD, 0xEF));
  EXPECT_EQ(screen.pixelColor(180, 135), QColor(212, 208, 200));
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Row(i), Captions(kKnownEntries[static_cast<std::size_t>(i)])) << i;
    EXPECT_EQ(Toggle(i)->isEnabled(), i < 12) << i;
  }
  EXPECT_TRUE(Get<QCheckBox>("Check2")->isEnabled());
  // A coloured toggle keeps the window's face.
  EXPECT_EQ(Toggle(0)->font().family(), QString::fromUtf16(kWindowFontFamily));
}

TEST_F(TemplateWindowTest, TwoTicksSwapEntriesAndEntryThreeRefuses) {
  Toggle(5)->click();
  EXPECT_TRUE(Toggle(5)->isChecked());
  // A tick set from code runs the reaction too.
  Toggle(9)->setChecked(true);
  EXPECT_FALSE(Toggle(5)->isChecked());
  EXPECT_FALSE(Toggle(9)->isChecked());
  EXPECT_EQ(Row(5), Captions(kKnownEntries[9]));
  EXPECT_EQ(Row(9), Captions(kKnownEntries[5]));
  EXPECT_TRUE(Toggle(5)->styleSheet().contains(QColor(7, 7, 7).name()));

  Toggle(3)->click();
  EXPECT_FALSE(Toggle(3)->isChecked());
  EXPECT_EQ(Row(3), Captions(image::testing::kBlack));
}

TEST_F(TemplateWindowTest, DropLoadsTheFirstFileAndIgnoresDropsWithoutFiles) {
  const auto other = folder_ / "other.bmp";
  WriteTemplate(other, image::testing::Margined(image::testing::kBlack));
  const auto text = folder_ / "notes.txt";
  image::testing::WriteFile(text, {'h', 'i'});

  Drop({QUrl("https://example.com/a.gif"), QUrl::fromLocalFile(Local(other)),
        QUrl::fromLocalFile(Local(text))});
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_.Template().path, other);

  Drop({}, "just text");
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_.Template().path, other);

  Drop({QUrl::fromLocalFile(Local(text)), QUrl::fromLocalFile(Local(template_))});
  ExpectReadError(u"ファイルが不正です。");
  EXPECT_TRUE(window_.Template().path.empty());
}

TEST_F(TemplateWindowTest, BrowseUsesTheDialogAndARejectedFileKeepsThePicture) {
  const QImage before = Get<PictureArea>("Picture1")->Shown();
  Get<QPushButton>("Command2")->click();  // cancelled
  EXPECT_EQ(dialogs_.openCall,
            QStringList({Q(u"ファイルを開く"), Q(u"画像ファイル(*.gif,*.bmp,*.png)"),
                         "*.gif;*.bmp;*.png"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_.Template().path, template_);

  dialogs_.files = {Local(folder_ / "missing.bmp")};
  Get<QPushButton>("Command2")->click();
  ExpectReadError(u"ファイルが読み込めません。");
  EXPECT_TRUE(window_.Template().path.empty());
  EXPECT_EQ(Get<PictureArea>("Picture1")->Shown(), before);
  EXPECT_EQ(Row(1), Captions(kKnownEntries[1]));
}

TEST_F(TemplateWindowTest, TooManyColoursShowsTheMarkAndDisablesThePanel) {
  auto paints = image::testing::FifteenColourPaints(false);
  paints.push_back({40, 20, image::Rgb(9, 9, 9)});
  const auto crowded = folder_ / "crowded.bmp";
  WriteTemplate(crowded, image::testing::Margined(image::testing::kWhite, paints));
  QImage shownAtBox;
  dialogs_.onBox = [&](const Box&) { shownAtBox = Get<PictureArea>("Picture1")->Shown(); };

  window_.TakeInFile(crowded);
  ExpectReadError(u"色数が多すぎます。");
  EXPECT_EQ(shownAtBox.pixelColor(40, 24), QColor(255, 0, 0));  // on the mark's ring
  EXPECT_TRUE(window_.Template().path.empty());
  EXPECT_FALSE(Get<QCheckBox>("Check2")->isEnabled());
  for (int i = 0; i < 16; ++i)
    EXPECT_FALSE(Toggle(i)->isEnabled()) << i;
}

TEST_F(WindowTest, CommandLineLoadSkipsTheSignatureCheckAndReportsOverTheWindow) {
  window_.show();
  bool visibleAtBox = false;
  dialogs_.onBox = [&](const Box&) { visibleAtBox = window_.isVisible(); };
  window_.LoadCommandLineTemplate(folder_ / "missing.gif");
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, Q(u"ファイルが不正です。"));
  EXPECT_TRUE(visibleAtBox);
}

}  // namespace
}  // namespace kavelin::app::testing
