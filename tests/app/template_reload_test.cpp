// The template as a paint program saves it: read again by the watch or F5, zoomed, and the
// pixel under a click named.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "app/form_controls.hpp"
#include "app/game_preview_window.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "image/palette_panel.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

namespace fs = std::filesystem;
using image::Rgb;
using test_support::ReadAll;
using test_support::WriteAll;

constexpr int kWait = 8000;  // ms: never waited out when all is well, only on a fault
const image::Colour kRepaint = Rgb(0x31, 0x41, 0x59);

// The known-colour template with entry 5's one pixel, (6, 1), in `colour`.
image::Raster Repainted(image::Colour colour, bool withEntry11 = true) {
  std::vector<image::testing::Paint> paints = image::testing::KnownColourPaints();
  paints.push_back({6, 1, colour});
  if (!withEntry11) paints.push_back({82, 115, image::testing::kWhite});
  return image::testing::Margined(image::testing::kWhite, paints);
}

enum class SaveBy { kInPlace, kRename };

class TemplateReloadTest : public LoadedWindowTest {
 protected:
  // As editors save: the bytes written over the file in two writes, or written aside and
  // renamed over it.
  void Save(const image::Raster& raster, SaveBy by = SaveBy::kRename) {
    const fs::path aside = folder_ / "hero.bmp~";
    WriteTemplate(aside, raster);
    if (by == SaveBy::kRename) return fs::rename(aside, template_);
    const auto bytes = ReadAll(aside);
    SaveBytes({bytes.begin(), bytes.begin() + 100});
    QTest::qWait(30);
    SaveBytes(bytes);
  }
  void SaveBytes(const test_support::Bytes& bytes) { WriteAll(template_, bytes); }
  QString Note() { return Get<QStatusBar>("StatusBar")->currentMessage(); }
  bool WaitForNote(const QString& start) {
    return QTest::qWaitFor([&] { return Note().startsWith(start); }, kWait);
  }
  // Sixteen colours in the cells, the last at (40, 20).
  fs::path WriteCrowded() {
    auto paints = image::testing::FifteenColourPaints(false);
    paints.push_back({40, 20, Rgb(9, 9, 9)});
    WriteTemplate(folder_ / "crowded.bmp",
                  image::testing::Margined(image::testing::kWhite, paints));
    return folder_ / "crowded.bmp";
  }
  PictureArea* Picture() { return Get<PictureArea>("Picture1"); }
  QPushButton* Toggle(int i) { return Get<QPushButton>(QString("Check1(%1)").arg(i)); }
  const QString reloaded_ = Q(u"テンプレートを再読み込みしました: hero.bmp");
  const QString failed_ = Q(u"テンプレートを再読み込みできませんでした。");
};

class SaveTest : public TemplateReloadTest, public ::testing::WithParamInterface<SaveBy> {};

TEST_P(SaveTest, OneSaveIsOneReloadWithTheSwapsAndThePreviewFollowing) {
  Toggle(5)->click();
  Toggle(9)->click();
  GamePreviewWindow* preview = window_.ShowGamePreview();
  const image::Raster before = preview->Picture();
  QSignalSpy notes(Get<QStatusBar>("StatusBar"), &QStatusBar::messageChanged);

  Save(Repainted(kRepaint), GetParam());
  ASSERT_TRUE(WaitForNote(reloaded_)) << Note().toStdString();
  // Entry 5's new colour went where the swap puts it.
  EXPECT_EQ(window_.Template().palette.entries[9], kRepaint);
  EXPECT_EQ(Text("Label1(9)"), Q(image::CaptionsOf(kRepaint).snes));
  EXPECT_EQ(window_.Document().paletteSwaps, (std::vector<sheet::PaletteSwap>{{5, 9}}));
  EXPECT_EQ(Picture()->Shown().pixelColor(6, 1), QColor(0x31, 0x41, 0x59));
  EXPECT_NE(preview->Picture(), before);
  QTest::qWait(1000);  // for a second reload, which must not come
  EXPECT_EQ(notes.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(InPlaceAndByRename, SaveTest,
                         ::testing::Values(SaveBy::kInPlace, SaveBy::kRename));

// What an intermediate save leaves: the first `kept` bytes of the good file (all of them for
// -1), or the crowded picture.
struct BadSave {
  const char* name;
  std::ptrdiff_t kept;
  const char16_t* why;
  friend void PrintTo(const BadSave& save, std::ostream* out) { *out << save.name; }
};

class BadSaveTest : public TemplateReloadTest, public ::testing::WithParamInterface<BadSave> {};

TEST_P(BadSaveTest, KeepsTheLastGoodPictureUntilTheNextGoodSave) {
  const QImage shown = Picture()->Shown();
  const image::SpritePalette palette = window_.Template().palette;
  // The crowded picture is the good file's size: only its bytes tell the two apart.
  test_support::Bytes bytes = ReadAll(GetParam().kept < 0 ? WriteCrowded() : template_);
  SaveBytes(GetParam().kept < 0
                ? bytes
                : test_support::Bytes(bytes.begin(), bytes.begin() + GetParam().kept));
  ASSERT_TRUE(WaitForNote(failed_ + Q(GetParam().why))) << Note().toStdString();
  EXPECT_TRUE(Note().endsWith(Q(u"前の画像のままです: hero.bmp")));
  EXPECT_EQ(window_.Template().path, template_);
  EXPECT_EQ(window_.Template().palette, palette);
  EXPECT_EQ(Picture()->Shown(), shown);

  Save(Repainted(kRepaint));
  ASSERT_TRUE(WaitForNote(reloaded_)) << Note().toStdString();
  EXPECT_EQ(window_.Template().palette.entries[5], kRepaint);
}

INSTANTIATE_TEST_SUITE_P(
    Intermediate, BadSaveTest,
    ::testing::Values(BadSave{"ZeroBytes", 0, u"ファイルが不正です。"},
                      BadSave{"Truncated", 2000, u"ファイルが不正です。"},
                      BadSave{"HeaderOnly", 40, u"ファイルが不正です。"},
                      BadSave{"TooManyColours", -1,
                              u"色数が多すぎます。(40, 20) のピクセルの色が入りきりません。"}),
    [](const auto& each) { return std::string(each.param.name); });

TEST_F(TemplateReloadTest, AFileBrieflyGoneIsTakenBackAndOneGoneForGoodIsSaidOnce) {
  fs::remove(template_);
  QTest::qWait(100);
  Save(Repainted(kRepaint));
  ASSERT_TRUE(WaitForNote(reloaded_)) << Note().toStdString();

  const QImage shown = Picture()->Shown();
  QSignalSpy notes(Get<QStatusBar>("StatusBar"), &QStatusBar::messageChanged);
  fs::remove(template_);
  ASSERT_TRUE(WaitForNote(Q(u"テンプレート画像が見つかりません。"))) << Note().toStdString();
  QTest::qWait(1000);
  EXPECT_EQ(notes.count(), 1);
  EXPECT_EQ(window_.Template().path, template_);
  // By hand, the same: said, and the picture kept.
  Get<QAction>("ReloadTemplate")->trigger();
  EXPECT_TRUE(Note().startsWith(failed_ + Q(u"ファイルが読み込めません。")))
      << Note().toStdString();
  EXPECT_EQ(Picture()->Shown(), shown);

  Save(Repainted(Rgb(1, 1, 1)));
  EXPECT_TRUE(WaitForNote(reloaded_)) << Note().toStdString();
}

TEST_F(TemplateReloadTest, F5ReadsAtOnceAndTheWatchDoesNotReadTheSameSaveAgain) {
  QAction* reload = Get<QAction>("ReloadTemplate");
  QSignalSpy notes(Get<QStatusBar>("StatusBar"), &QStatusBar::messageChanged);
  Save(Repainted(kRepaint));
  reload->trigger();
  EXPECT_EQ(Note(), reloaded_);
  EXPECT_EQ(window_.Template().palette.entries[5], kRepaint);
  QTest::qWait(1000);
  EXPECT_EQ(notes.count(), 1);

  // No file of its own after a refused load: nothing to read again, nothing watched. Its
  // picture still shows, and a click on it finds the colour that did not fit.
  window_.TakeInFile(WriteCrowded());
  EXPECT_FALSE(reload->isEnabled());
  EXPECT_EQ(window_.PixelNote({40, 20}), Q(u"ピクセル (40, 20): #090909、セル2・パレットにない色"));
  notes.clear();
  WriteTemplate(folder_ / "crowded.bmp", Repainted(kRepaint));
  QTest::qWait(1000);
  EXPECT_EQ(notes.count(), 0);
}

TEST_F(TemplateReloadTest, TheWatchKeepsASwapThePictureCannotTakeAndF5DropsIt) {
  Toggle(5)->click();
  Toggle(11)->click();
  const image::SpritePalette palette = window_.Template().palette;
  Save(Repainted(kRepaint, false));
  ASSERT_TRUE(WaitForNote(Q(u"テンプレートを再読み込みしませんでした。パレットの入れ替え 5 ⇔ 11 ")))
      << Note().toStdString();
  EXPECT_EQ(window_.Template().palette, palette);
  EXPECT_EQ(window_.Document().paletteSwaps, (std::vector<sheet::PaletteSwap>{{5, 11}}));

  Get<QAction>("ReloadTemplate")->trigger();
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_TRUE(dialogs_.boxes[0].text.endsWith("5 ⇔ 11"));
  EXPECT_EQ(Note(), reloaded_);
  EXPECT_TRUE(window_.Document().paletteSwaps.empty());
  EXPECT_EQ(window_.Template().palette.entries[5], kRepaint);
}

TEST_F(TemplateReloadTest, ASaveWhileABoxIsOpenIsReadOnceTheBoxCloses) {
  QDialog box(&window_);
  image::Colour underTheBox = 0;
  QTimer::singleShot(0, &box, [&] {
    Save(Repainted(kRepaint));
    QTest::qWait(1200);
    underTheBox = window_.Template().palette.entries[5];
    box.accept();
  });
  box.exec();
  EXPECT_EQ(underTheBox, image::testing::kKnownEntries[5]);
  EXPECT_TRUE(WaitForNote(reloaded_)) << Note().toStdString();
}

class ZoomTest : public TemplateReloadTest, public ::testing::WithParamInterface<int> {};

TEST_P(ZoomTest, AClickNamesThePixelUnderItInThePicturesOwnCoordinates) {
  const int zoom = GetParam();
  window_.show();
  Get<QComboBox>("PictureZoom")->setCurrentIndex(zoom - 1);
  PictureArea* picture = Picture();
  ASSERT_EQ(picture->Zoom(), zoom);
  auto* across = Get<QScrollBar>("PictureAcross");
  auto* down = Get<QScrollBar>("PictureDown");
  EXPECT_EQ(!across->isHidden(), zoom > 1);
  const std::pair<QPoint, const char16_t*> clicks[] = {
      {{6, 1}, u"ピクセル (6, 1): #ABCDEF、セル1・パレット5"},
      {{82, 115}, u"ピクセル (82, 115): #0000FF、セル23・パレット11"},
      {{25, 40}, u"ピクセル (25, 40): #010203、セルの外"},
      {{180, 135}, u"ピクセル (180, 135): 絵の外です"},
  };
  for (const auto& [pixel, note] : clicks) {
    across->setValue(pixel.x() * zoom - 40);
    down->setValue(pixel.y() * zoom - 30);
    const QPoint corner = pixel * zoom - picture->Scroll();
    QTest::mouseClick(picture, Qt::LeftButton, {}, corner + QPoint(zoom / 2, zoom / 2));
    EXPECT_EQ(Note(), Q(note)) << zoom;
    // Square and crisp: the pixel is a zoom × zoom block of its one colour.
    const QImage screen = picture->grab().toImage();
    for (int d = 0; d < zoom * zoom; ++d)
      EXPECT_EQ(screen.pixel(corner + QPoint(d % zoom, d / zoom)), screen.pixel(corner)) << zoom;
  }
}

INSTANTIATE_TEST_SUITE_P(TimesOneToFour, ZoomTest, ::testing::Range(1, 5));

TEST_F(TemplateReloadTest, CtrlWheelZoomsAroundThePointerAndTheListFollows) {
  PictureArea* picture = Picture();
  const auto wheel = [&](int delta, Qt::KeyboardModifiers keys) {
    QWheelEvent event(QPointF(60, 40), picture->mapToGlobal(QPointF(60, 40)), {}, {0, delta},
                      Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picture, &event);
  };
  const std::optional<QPoint> under = picture->PixelAt(QPointF(60, 40));
  wheel(120, Qt::ControlModifier);
  wheel(60, Qt::ControlModifier);  // half a notch, as a touchpad gives it
  wheel(60, Qt::ControlModifier);
  EXPECT_EQ(picture->Zoom(), 3);
  EXPECT_EQ(Get<QComboBox>("PictureZoom")->currentText(), QString("×3"));
  EXPECT_EQ(picture->PixelAt(QPointF(60, 40)), under);
  wheel(480, Qt::ControlModifier);
  EXPECT_EQ(picture->Zoom(), 4);
  // Without Ctrl the wheel scrolls, and the zoom stays for the next template.
  const int top = picture->Scroll().y();
  wheel(-120, Qt::NoModifier);
  EXPECT_GT(picture->Scroll().y(), top);
  window_.TakeInFile(template_);
  EXPECT_EQ(picture->Zoom(), 4);
}

TEST(PictureAreaTest, MarksOutlinesAndTheRingScaleWithTheZoomAndTheRingIsOverTheHint) {
  PictureArea area;
  area.resize(187, 137);
  area.ShowRaster(image::Raster(187, 137, image::testing::kWhite));
  area.SetZoom(3);
  area.ScrollTo({0, 0});
  area.SetChangedPixels({{10, 13}});
  area.SetOutlinedCells({QRect(20, 10, 8, 8)});
  area.SetRing(QPoint(30, 30));
  area.SetHint(QString("## ").repeated(300));  // a hint over the whole area
  SetMark(&area, Mark::kError);
  const QImage screen = area.grab().toImage();
  const auto at = [&](int x, int y) { return screen.pixelColor(3 * x + 1, 3 * y + 1); };
  EXPECT_EQ(at(19, 9), QColor(0xe0, 0x90, 0x00));  // the outline's corner, outside the cell
  EXPECT_EQ(at(20, 10), QColor(Qt::white));        // the cell's own pixel
  EXPECT_EQ(at(34, 30), QColor(255, 0, 0));        // on the ring, over the hint's text
  EXPECT_NE(at(10, 13), QColor(Qt::white));        // tinted
  EXPECT_EQ(screen.pixelColor(30, 0), QColor(0xd0, 0x10, 0x10));  // the mark's frame
}

}  // namespace
}  // namespace kavelin::app::testing
