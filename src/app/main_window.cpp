#include "app/main_window.hpp"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "app/blank_template_menu.hpp"
#include "app/patch_dialogs.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "app/text_box.hpp"
#include "app/user_files.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "image/poison_preview.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/stat_display.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {
namespace {

using sheet::ListId;

// Positions are laid out in twips, 15 to a pixel at 96 dots per inch; Qt scales pixels
// with the screen's device pixel ratio.
constexpr int Px(int twips) {
  return (twips + 7) / 15;
}
constexpr int kClientWidth = 11865;
constexpr int kClientHeight = 8880;

// Heights of the kinds of control, in twips.
constexpr int kCaptionHeight = 255;
constexpr int kBoxHeight = 270;
constexpr int kListHeight = 300;
// Boxes and lists stacked 240 twips apart are made that tall, so that their borders do not
// overlap.
constexpr int kStackedHeight = 240;

QString Indexed(const char* base, std::size_t i) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i);
}

template <class Widget>
Widget* Place(Widget* widget, const QString& name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
  return widget;
}

QLabel* Caption(QWidget* parent, const QString& name, std::u16string_view text, int left, int top,
                int width, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = Place(new QLabel(Q(text), parent), name, left, top, width, kCaptionHeight);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(align);
  return label;
}

// A value display: a label with a single-line border. Its leading space is part of the
// number's form, so the text is plain and never trimmed.
QLabel* Display(QWidget* parent, const QString& name, int left, int top, int width) {
  auto* label = Place(new QLabel(parent), name, left, top, width, kCaptionHeight);
  label->setTextFormat(Qt::PlainText);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setLineWidth(1);
  // The narrow palette columns need every pixel for "0xDC"; the default indent clips it.
  label->setIndent(1);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

TextBox* Box(QWidget* parent, const QString& name, int left, int top, int width, int typedLimit,
             std::u16string_view text, int height = kBoxHeight) {
  auto* box = Place(new TextBox(parent), name, left, top, width, height);
  box->setText(Q(text));
  box->SetTypedLimit(typedLimit);
  box->SetSelectAllOnFocus(true);
  return box;
}

// The list starts without a selection; start-up selects its first entry, which runs the
// list's reaction as a user's choice would.
QComboBox* List(QWidget* parent, const QString& name, int left, int top, int width, ListId list,
                int height = kListHeight) {
  auto* combo = Place(new QComboBox(parent), name, left, top, width, height);
  const QSignalBlocker quiet(combo);
  for (const std::u16string_view entry : sheet::ListEntries(list))
    combo->addItem(Q(entry));
  combo->setCurrentIndex(-1);
  combo->setMaxVisibleItems(20);
  return combo;
}

QCheckBox* Tick(QWidget* parent, const QString& name, std::u16string_view text, int left, int top,
                int width) {
  return Place(new QCheckBox(Q(text), parent), name, left, top, width, kCaptionHeight);
}

QGroupBox* Frame(QWidget* parent, const QString& name, std::u16string_view caption, int left,
                 int top, int width, int height) {
  return Place(new QGroupBox(Q(caption), parent), name, left, top, width, height);
}

void Select(QComboBox* combo, int position) {
  combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : 0);
}

QString PaletteToggleStyle(image::Colour entry) {
  const auto css = [](image::Colour c) {
    return QColor(image::Red(c), image::Green(c), image::Blue(c)).name();
  };
  return QStringLiteral(
             "QPushButton { background: %1; color: %2; border: 1px outset #808080; padding: 0; }"
             "QPushButton:checked { border: 2px inset #404040; }")
      .arg(css(entry), css(image::ToggleTextColour(entry)));
}

}  // namespace

void InstallFontSubstitutions() {
  static const bool installed = [] {
    // The face the window names ships with Windows only; these Japanese gothics stand in.
    QFont::insertSubstitutions(Q(kWindowFontFamily),
                               {"IPAPGothic", "IPA Pゴシック", "IPAGothic", "Noto Sans CJK JP",
                                "Source Han Sans JP", "VL PGothic", "TakaoPGothic"});
    return true;
  }();
  (void)installed;
}

MainWindow::MainWindow(Dialogs& dialogs, image::ImageDecoder decoder,
                       const std::filesystem::path& settingsFile, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), decoder_(std::move(decoder)) {
  setObjectName("Form1");
  setWindowTitle(Q(command::kProgramTitle));
  // The menu bar sits above the client area, which keeps its size and every position in
  // it; the window is as tall as the two together and no larger.
  client_ = new QWidget(this);
  client_->setObjectName("Client");
  client_->setFixedSize(Px(kClientWidth), Px(kClientHeight));
  menuBar_ = new QMenuBar(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(client_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  BuildMenu();

  BuildLeftColumn();
  BuildBasicStatus();
  BuildInitialLevels();
  BuildArtsAndEquipment();
  BuildGrowthRates();
  BuildForbiddenAndOther();
  Caption(client_, "Label6", u"コメント", 9000, 6720, 1095);
  comment_ = Place(new QPlainTextEdit(client_), "Text7", 9000, 6960, 2775, 1455);
  comment_->setLineWrapMode(QPlainTextEdit::NoWrap);
  comment_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  create_ = Place(new QPushButton(Q(u"パッチ作成"), client_), "Command1", 9960, 8520, 1815, 255);

  Connect();
  FormLoad(settingsFile);
  // Sized now rather than when first shown, so that the size holds from the start.
  layout->activate();
}

void MainWindow::BuildMenu() {
  QMenu* file = menuBar_->addMenu(Q(kFileMenu));
  file->setObjectName("FileMenu");
  const auto item = [this, file](const char* name, std::u16string_view text,
                                 const QKeySequence& keys, auto slot) {
    QAction* action = file->addAction(Q(text));
    action->setObjectName(name);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  item("OpenSheet", kOpenSheetItem, QKeySequence::Open, [this] { OpenSheet(); });
  item("SaveSheet", kSaveSheetItem, QKeySequence::Save, [this] { SaveSheet(); });
  file->addSeparator();
  item("OpenPatch", kOpenPatchItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
       [this] { OpenPatch(); });
  exportTemplate_ = item("ExportTemplate", kExportTemplateItem, QKeySequence(Qt::CTRL | Qt::Key_E),
                         [this] { ExportTemplate(); });
  item("ExportBlankTemplate", kBlankTemplateItem, QKeySequence(),
       [this] { ExportBlankTemplate(); });
  file->addSeparator();
  item("Quit", kQuitItem, QKeySequence::Quit, [this] { close(); });
}

void MainWindow::BuildLeftColumn() {
  Caption(client_, "Label5", u"テンプレ画像", 120, 120, 1095);
  picture_ = Place(new PictureArea(client_), "Picture1", 120, 360, 2805, 2055);
  browse_ = Place(new QPushButton("...", client_), "Command2", 2640, 2400, 255, 255);

  const std::array<std::u16string_view, 4> headings = {u"R", u"G", u"B", u"SNES形式"};
  const std::array<int, 4> lefts = {480, 960, 1440, 1920};
  const std::array<int, 4> widths = {495, 495, 495, 975};
  for (std::size_t c = 0; c < 4; ++c)
    Caption(client_, QStringLiteral("Label%1").arg(100 + c), headings[c], lefts[c], 2760, widths[c],
            Qt::AlignCenter);

  const std::array<const char*, 4> columns = {"Label2", "Label3", "Label4", "Label1"};
  for (std::size_t i = 0; i < 16; ++i) {
    const int top = 3000 + 240 * static_cast<int>(i);
    auto* toggle = Place(new QPushButton(Q(image::ToggleCaption(static_cast<int>(i))), client_),
                         Indexed("Check1", i), 120, top, 375, 255);
    toggle->setCheckable(true);
    toggle->setEnabled(false);
    toggle->setFocusPolicy(Qt::TabFocus);
    paletteToggles_[i] = toggle;
    for (std::size_t c = 0; c < 4; ++c)
      paletteCaptions_[i][c] = Display(client_, Indexed(columns[c], i), lefts[c], top, widths[c]);
  }
  preview_ = Tick(client_, "Check2", u"毒状態確認", 120, 6960, 1215);
  preview_->setEnabled(false);

  Caption(client_, "Label104", u"名前", 120, 7320, 600);
  name_ = Box(client_, "Text1", 720, 7320, 2175, 0, u"");
  Caption(client_, "Label105", u"職業名", 120, 7680, 600);
  jobName_ = Box(client_, "Text2", 720, 7680, 2175, 0, u"");
  Caption(client_, "Label106", u"性別", 120, 8040, 600);
  gender_ = List(client_, "Combo1", 720, 8040, 2175, ListId::kGender);
}

void MainWindow::BuildSectionTop(QWidget* frame, std::size_t section) {
  sectionOn_[section] = Tick(frame, Indexed("Check5", section), u"設定する", 120, 240, 1095);
  sectionLocked_[section] = Tick(frame, Indexed("Check6", section), u"変更禁止", 1200, 240, 1095);
  sectionLocked_[section]->setEnabled(false);
}

void MainWindow::BuildBasicStatus() {
  const sheet::BasicStatus fresh;
  auto* frame = Frame(client_, "Frame1", sheet::kSectionCaptions[0], 3120, 120, 4335, 3495);
  BuildSectionTop(frame, 0);
  Caption(frame, "Label27", u"宿星", 1920, 600, 495, Qt::AlignCenter);
  Caption(frame, "Label28", u"得意武器", 2640, 600, 735, Qt::AlignCenter);
  Caption(frame, "Label29", u"合計", 3600, 600, 495, Qt::AlignCenter);

  const std::array<const char*, 7> captionNames = {"Label4(16)", "Label26", "Label25", "Label23",
                                                   "Label22",    "Label19", "Label14"};
  auto& inputs = sectionInputs_[0];
  for (std::size_t k = 0; k < 7; ++k) {
    const int top = 840 + 240 * static_cast<int>(k);
    Caption(frame, captionNames[k], sheet::kStatCaptions[k], 120, top, 900);
    stats_[k] = Box(frame, Indexed("Text3", k), 1080, top, 495, 2, fresh.stats[k], kStackedHeight);
    starShift_[k] = Display(frame, Indexed("Label11", k), 1920, top, 495);
    weaponShift_[k] = Display(frame, Indexed("Label13", k), 2760, top, 495);
    shifted_[k] = Display(frame, Indexed("Label18", k), 3600, top, 495);
    inputs.push_back(stats_[k]);
  }
  Caption(frame, "Label15", u"+", 1560, 1560, 360, Qt::AlignCenter);
  Caption(frame, "Label16", u"+", 2400, 1560, 360, Qt::AlignCenter);
  Caption(frame, "Label17", u"=", 3240, 1560, 360, Qt::AlignCenter);

  Caption(frame, "Label24", u"LP", 120, 2640, 900);
  lp_ = Box(frame, "Text4", 1080, 2640, 495, 3, fresh.lp);
  destinyStar_ = List(frame, "Combo2", 1920, 2640, 735, ListId::kDestinyStar);
  favouriteWeapon_ = List(frame, "Combo3", 2760, 2640, 735, ListId::kFavouriteWeapon);
  total_ = Display(frame, "Label20", 3600, 2640, 495);
  Caption(frame, "Label21", u"閃きタイプ", 120, 3000, 960);
  inspirationType_ = List(frame, "Combo4", 1080, 3000, 1335, ListId::kInspirationType);
  inputs.insert(inputs.end(), {lp_, destinyStar_, favouriteWeapon_, inspirationType_});
}

void MainWindow::BuildInitialLevels() {
  const sheet::InitialLevels fresh;
  auto* frame = Frame(client_, "Frame2", sheet::kSectionCaptions[1], 7560, 120, 4215, 3495);
  BuildSectionTop(frame, 1);
  auto* earthFrame = Frame(frame, "Frame8", u"地術LV", 2040, 600, 1935, 1215);
  auto* heavenFrame = Frame(frame, "Frame9", u"天術LV", 2040, 1920, 1935, 975);

  const std::array<int, 9> tops = {720, 960, 1200, 1440, 1680, 1920, 240, 240, 2280};
  for (std::size_t j = 0; j < 9; ++j) {
    QWidget* parent = j == 6 ? earthFrame : j == 7 ? heavenFrame : frame;
    const int boxLeft = j == 6 || j == 7 ? 120 : 600;
    const int tickLeft = j == 6 || j == 7 ? 720 : 1200;
    if (j != 6 && j != 7)
      Caption(frame, Indexed("Label30", j), sheet::kLevelCaptions[j], 120, tops[j], 480);
    levels_[j] = Box(parent, Indexed("Text5", j), boxLeft, tops[j], 495, j == 0 ? 3 : 2,
                     fresh.levels[j], kStackedHeight);
    grows_[j] = Tick(parent, Indexed("Check3", j), u"成長", tickLeft, tops[j], 735);
  }
  const std::array<std::pair<int, int>, 4> earthAt = {
      {{120, 600}, {960, 600}, {120, 840}, {960, 840}}};
  auto* earthGroup = new QButtonGroup(earthFrame);
  for (std::size_t i = 0; i < 4; ++i) {
    earth_[i] = Place(new QRadioButton(Q(sheet::kEarthSchools[i]), earthFrame),
                      Indexed("Option1", i), earthAt[i].first, earthAt[i].second, 735, 255);
    earthGroup->addButton(earth_[i], static_cast<int>(i));
  }
  auto* heavenGroup = new QButtonGroup(heavenFrame);
  for (std::size_t i = 0; i < 2; ++i) {
    heaven_[i] = Place(new QRadioButton(Q(sheet::kHeavenSchools[i]), heavenFrame),
                       Indexed("Option2", i), i == 0 ? 120 : 960, 600, 735, 255);
    heavenGroup->addButton(heaven_[i], static_cast<int>(i));
  }
  earth_[0]->setChecked(true);
  heaven_[0]->setChecked(true);

  auto& inputs = sectionInputs_[1];
  for (std::size_t j = 0; j < 9; ++j)
    inputs.insert(inputs.end(), {levels_[j], grows_[j]});
  inputs.insert(inputs.end(), earth_.begin(), earth_.end());
  inputs.insert(inputs.end(), heaven_.begin(), heaven_.end());
}

void MainWindow::BuildArtsAndEquipment() {
  struct Slots {
    const char* frameName;
    int frameLeft;
    std::size_t section;
    const char* labelBase;
    const char* listBase;
    std::array<QComboBox*, 8>* lists;
    ListId first, second;
    std::u16string_view firstCaption, secondCaption;
  };
  const std::array<Slots, 2> frames = {{
      {"Frame3", 3120, 2, "Label31", "Combo5", &arts_, ListId::kTechnique, ListId::kSpell, u"技",
       u"術"},
      {"Frame4", 6240, 3, "Label32", "Combo6", &equipment_, ListId::kWeapon, ListId::kArmour,
       u"武器", u"防具"},
  }};
  const std::array<int, 8> tops = {600, 840, 1080, 1320, 1680, 1920, 2160, 2400};
  for (const Slots& f : frames) {
    auto* frame = Frame(client_, f.frameName, sheet::kSectionCaptions[f.section], f.frameLeft, 3720,
                        3015, 2895);
    BuildSectionTop(frame, f.section);
    for (std::size_t s = 0; s < 8; ++s) {
      const std::u16string caption = std::u16string(s < 4 ? f.firstCaption : f.secondCaption) +
                                     static_cast<char16_t>(u'1' + s % 4);
      Caption(frame, Indexed(f.labelBase, s), caption, 120, tops[s], 600);
      (*f.lists)[s] = List(frame, Indexed(f.listBase, s), 720, tops[s], 2175,
                           s < 4 ? f.first : f.second, kStackedHeight);
      sectionInputs_[f.section].push_back((*f.lists)[s]);
    }
  }
}

void MainWindow::BuildGrowthRates() {
  const sheet::GrowthRates fresh;
  auto* frame = Frame(client_, "Frame7", sheet::kSectionCaptions[6], 9360, 3720, 2415, 2895);
  BuildSectionTop(frame, 6);
  const std::array<int, 15> tops = {600, 840, 1080, 1440, 1680, 1920, 2160, 2400,
                                    600, 840, 1080, 1320, 1560, 1800, 2160};
  for (std::size_t n = 0; n < 15; ++n) {
    const bool right = n >= 8;
    Caption(frame, Indexed("Label34", n), sheet::kGrowthRateCaptions[n], right ? 1320 : 120,
            tops[n], 480);
    growthRates_[n] = Box(frame, Indexed("Text6", n), right ? 1800 : 600, tops[n], 495, 3,
                          fresh.growthRates[n], kStackedHeight);
    sectionInputs_[6].push_back(growthRates_[n]);
  }
}

void MainWindow::BuildForbiddenAndOther() {
  auto* forbidden = Frame(client_, "Frame5", sheet::kSectionCaptions[4], 3120, 6720, 2415, 1695);
  BuildSectionTop(forbidden, 4);
  const std::array<std::pair<int, int>, 6> at = {
      {{120, 600}, {120, 840}, {120, 1080}, {120, 1320}, {960, 600}, {960, 840}}};
  for (std::size_t i = 0; i < 6; ++i) {
    forbidden_[i] = Tick(forbidden, Indexed("Check4", i), sheet::kSpellSchools[i], at[i].first,
                         at[i].second, 735);
    sectionInputs_[4].push_back(forbidden_[i]);
  }

  auto* other = Frame(client_, "Frame6", sheet::kSectionCaptions[5], 5640, 6720, 3255, 1695);
  BuildSectionTop(other, 5);
  const std::array<std::u16string_view, 3> captions = {u"固有陣形", u"専用武器", u"コマンダー"};
  const std::array<ListId, 3> lists = {ListId::kFormation, ListId::kExclusiveWeapon,
                                       ListId::kCommanderType};
  for (std::size_t i = 0; i < 3; ++i) {
    const int top = 600 + 240 * static_cast<int>(i);
    Caption(other, Indexed("Label33", i), captions[i], 120, top, 960);
    traits_[i] = List(other, Indexed("Combo7", i), 1080, top, 2055, lists[i], kStackedHeight);
    sectionInputs_[5].push_back(traits_[i]);
  }
}

void MainWindow::Connect() {
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i) {
    for (QWidget* input : sectionInputs_[i])
      input->setEnabled(false);
    // toggled, not clicked: a tick set from code switches the section too.
    connect(sectionOn_[i], &QCheckBox::toggled, this,
            [this, i](bool on) { SectionToggled(i, on); });
  }
  connect(destinyStar_, &QComboBox::currentIndexChanged, this, &MainWindow::RecomputeStats);
  connect(favouriteWeapon_, &QComboBox::currentIndexChanged, this, &MainWindow::RecomputeStats);
  for (TextBox* box : stats_) {
    connect(box, &TextBox::FocusLost, this, [this, box] {
      TidyNumberBox(box);
      RecomputeStats();
    });
  }
  connect(lp_, &TextBox::FocusLost, this, [this] { TidyNumberBox(lp_); });

  for (std::size_t i = 0; i < paletteToggles_.size(); ++i) {
    connect(paletteToggles_[i], &QPushButton::toggled, this,
            [this, i](bool ticked) { PaletteToggled(static_cast<int>(i), ticked); });
  }
  connect(preview_, &QCheckBox::toggled, this, &MainWindow::PreviewToggled);
  connect(browse_, &QPushButton::clicked, this, &MainWindow::Browse);
  // Queued: a message box must not open inside the drop, while the source still waits.
  connect(
      picture_, &PictureArea::FileDropped, this,
      [this](const QString& file) { TakeInFile(PathOf(file)); }, Qt::QueuedConnection);
  connect(create_, &QPushButton::clicked, this, &MainWindow::CreatePatch);
}

void MainWindow::FormLoad(const std::filesystem::path& settingsFile) {
  InstallFontSubstitutions();
  setFont(QFont(Q(kWindowFontFamily), kWindowFontPoints));
  // Frame captions sit on the frame's top line, so that the first row inside stays clear.
  // Style sheets decide fonts as well; the window's font is repeated here so that no
  // control falls back to the application's.
  setStyleSheet(
      QStringLiteral("* { font-family: \"%1\"; font-size: %2pt; }"
                     "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                     " margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }")
          .arg(Q(kWindowFontFamily))
          .arg(kWindowFontPoints));

  template_.path.clear();
  template_.originOffset = 0;

  const sheet::CharacterSheet fresh;
  name_->setText(Q(fresh.name));
  jobName_->setText(Q(fresh.jobName));
  gender_->setCurrentIndex(0);
  // The star alone does not fill the displays; the weapon's selection does.
  destinyStar_->setCurrentIndex(0);
  favouriteWeapon_->setCurrentIndex(0);
  inspirationType_->setCurrentIndex(0);
  for (QComboBox* list : arts_)
    list->setCurrentIndex(0);
  for (QComboBox* list : equipment_)
    list->setCurrentIndex(0);
  for (QComboBox* list : traits_)
    list->setCurrentIndex(0);

  text::LoadExtendedRows(codes_, settingsFile);
  MirrorTemplate();
  saved_ = Document();
}

sheet::CharacterSheet MainWindow::ReadSheet() const {
  sheet::CharacterSheet s;
  s.name = U16(name_->text());
  s.jobName = U16(jobName_->text());
  s.gender = gender_->currentIndex();
  s.comment = sheet::NormaliseLineBreaks(U16(CommentText()));
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i)
    s.flags[i] = {sectionOn_[i]->isChecked(), sectionLocked_[i]->isChecked()};

  for (std::size_t k = 0; k < 7; ++k)
    s.basicStatus.stats[k] = U16(stats_[k]->text());
  s.basicStatus.lp = U16(lp_->text());
  s.basicStatus.destinyStar = destinyStar_->currentIndex();
  s.basicStatus.favouriteWeapon = favouriteWeapon_->currentIndex();
  s.basicStatus.inspirationType = inspirationType_->currentIndex();

  for (std::size_t j = 0; j < 9; ++j) {
    s.initialLevels.levels[j] = U16(levels_[j]->text());
    s.initialLevels.grows[j] = grows_[j]->isChecked();
  }
  for (std::size_t i = 0; i < earth_.size(); ++i)
    if (earth_[i]->isChecked()) s.initialLevels.earthSchool = static_cast<int>(i);
  for (std::size_t i = 0; i < heaven_.size(); ++i)
    if (heaven_[i]->isChecked()) s.initialLevels.heavenSchool = static_cast<int>(i);

  for (std::size_t i = 0; i < 4; ++i) {
    s.initialArts.techniques[i] = arts_[i]->currentIndex();
    s.initialArts.spells[i] = arts_[4 + i]->currentIndex();
    s.initialEquipment.weapons[i] = equipment_[i]->currentIndex();
    s.initialEquipment.armour[i] = equipment_[4 + i]->currentIndex();
  }
  for (std::size_t i = 0; i < 6; ++i)
    s.forbiddenSpells.forbiddenSchools[i] = forbidden_[i]->isChecked();
  s.otherTraits.formation = traits_[0]->currentIndex();
  s.otherTraits.exclusiveWeapon = traits_[1]->currentIndex();
  s.otherTraits.commanderType = traits_[2]->currentIndex();
  for (std::size_t n = 0; n < 15; ++n)
    s.growthRates.growthRates[n] = U16(growthRates_[n]->text());
  return s;
}

void MainWindow::ShowSheet(const sheet::CharacterSheet& s) {
  name_->setText(Q(s.name));
  jobName_->setText(Q(s.jobName));
  Select(gender_, s.gender);
  // The box shows one line break where the sheet keeps CR LF.
  QString comment = Q(s.comment);
  comment.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
  if (comment != CommentText()) comment_->setPlainText(comment);
  for (std::size_t i = 0; i < sheet::kSectionCount; ++i) {
    sectionOn_[i]->setChecked(s.flags[i].enabled);
    sectionLocked_[i]->setChecked(s.flags[i].locked);
  }

  for (std::size_t k = 0; k < 7; ++k)
    stats_[k]->setText(Q(s.basicStatus.stats[k]));
  lp_->setText(Q(s.basicStatus.lp));
  Select(destinyStar_, s.basicStatus.destinyStar);
  Select(favouriteWeapon_, s.basicStatus.favouriteWeapon);
  Select(inspirationType_, s.basicStatus.inspirationType);

  for (std::size_t j = 0; j < 9; ++j) {
    levels_[j]->setText(Q(s.initialLevels.levels[j]));
    grows_[j]->setChecked(s.initialLevels.grows[j]);
  }
  const auto pick = [](auto& options, int position) {
    const bool inside = position >= 0 && static_cast<std::size_t>(position) < options.size();
    options[inside ? static_cast<std::size_t>(position) : 0]->setChecked(true);
  };
  pick(earth_, s.initialLevels.earthSchool);
  pick(heaven_, s.initialLevels.heavenSchool);

  for (std::size_t i = 0; i < 4; ++i) {
    Select(arts_[i], s.initialArts.techniques[i]);
    Select(arts_[4 + i], s.initialArts.spells[i]);
    Select(equipment_[i], s.initialEquipment.weapons[i]);
    Select(equipment_[4 + i], s.initialEquipment.armour[i]);
  }
  for (std::size_t i = 0; i < 6; ++i)
    forbidden_[i]->setChecked(s.forbiddenSpells.forbiddenSchools[i]);
  Select(traits_[0], s.otherTraits.formation);
  Select(traits_[1], s.otherTraits.exclusiveWeapon);
  Select(traits_[2], s.otherTraits.commanderType);
  for (std::size_t n = 0; n < 15; ++n)
    growthRates_[n]->setText(Q(s.growthRates.growthRates[n]));
  // New statistics with the same star and weapon raise no list event.
  RecomputeStats();
}

QString MainWindow::CommentText() const {
  // Block by block rather than toPlainText(), which turns no-break spaces into spaces.
  QStringList lines;
  for (QTextBlock block = comment_->document()->begin(); block.isValid(); block = block.next())
    lines << block.text();
  // Shift+Enter puts a line separator inside a block; the user meant a line break.
  return lines.join('\n').replace(QChar::LineSeparator, '\n');
}

void MainWindow::SectionToggled(std::size_t section, bool on) {
  // Only the enabled states change: values, ticks and selections stay as they were.
  sectionLocked_[section]->setEnabled(on);
  for (QWidget* input : sectionInputs_[section])
    input->setEnabled(on);
}

void MainWindow::RecomputeStats() {
  std::array<std::u16string, sheet::kStatCount> stats;
  for (std::size_t k = 0; k < stats.size(); ++k)
    stats[k] = U16(stats_[k]->text());
  const auto display = sheet::RecomputeStatDisplay(stats, destinyStar_->currentIndex(),
                                                   favouriteWeapon_->currentIndex());
  if (!display) return;
  for (std::size_t k = 0; k < stats.size(); ++k) {
    starShift_[k]->setText(Q(display->starShift[k]));
    weaponShift_[k]->setText(Q(display->weaponShift[k]));
    shifted_[k]->setText(Q(display->shifted[k]));
  }
  total_->setText(Q(display->total));
}

void MainWindow::TidyNumberBox(TextBox* box) {
  const QString tidy = Q(sheet::TidyNumberBox(U16(box->text())));
  if (tidy != box->text()) box->setText(tidy);
}

void MainWindow::PaletteToggled(int entry, bool ticked) {
  int waiting = -1;
  for (int j = 0; j < image::kPaletteSize; ++j) {
    if (j != entry && template_.toggles.entries[static_cast<std::size_t>(j)].ticked) waiting = j;
  }
  // The swap becomes part of the sheet, so that a saved sheet gives the same patch.
  if (image::SetPaletteToggle(template_, entry, ticked) && waiting >= 0)
    paletteSwaps_.emplace_back(waiting, entry);
  MirrorTemplate();
}

void MainWindow::PreviewToggled(bool ticked) {
  image::SetPoisonPreview(template_, ticked);
  MirrorTemplate();
}

void MainWindow::MirrorTemplate() {
  for (std::size_t i = 0; i < paletteToggles_.size(); ++i) {
    QPushButton* toggle = paletteToggles_[i];
    const image::Toggle& state = template_.toggles.entries[i];
    {
      const QSignalBlocker quiet(toggle);
      toggle->setChecked(state.ticked);
    }
    toggle->setEnabled(state.enabled);
    const image::Colour entry = template_.palette.entries[i];
    toggle->setStyleSheet(entry == image::kEmptyEntry ? QString() : PaletteToggleStyle(entry));
    const image::EntryCaptions captions = image::CaptionsOf(entry);
    paletteCaptions_[i][0]->setText(Q(captions.red));
    paletteCaptions_[i][1]->setText(Q(captions.green));
    paletteCaptions_[i][2]->setText(Q(captions.blue));
    paletteCaptions_[i][3]->setText(Q(captions.snes));
  }
  {
    const QSignalBlocker quiet(preview_);
    preview_->setChecked(template_.toggles.preview.ticked);
  }
  preview_->setEnabled(template_.toggles.preview.enabled);
  picture_->ShowRaster(template_.displayed);
  exportTemplate_->setEnabled(template_.Loaded());
}

void MainWindow::ReportImage(image::ImageStatus status) {
  if (status == image::ImageStatus::kOk) return;
  dialogs_.Show(Q(image::MessageFor(status)), BoxIcon::kStop, Q(image::kReadErrorTitle));
}

void MainWindow::LoadCommandLineTemplate(const std::filesystem::path& file) {
  const image::ImageStatus status = image::LoadTemplateImage(template_, file, decoder_);
  // The picture, with any red mark, is on screen before the box that explains it.
  MirrorTemplate();
  ReportImage(status);
  if (status == image::ImageStatus::kOk) ApplySheetSwaps();
}

void MainWindow::TakeInFile(const std::filesystem::path& file) {
  const image::ImageStatus status = image::TakeInTemplateFile(template_, file, decoder_);
  MirrorTemplate();
  ReportImage(status);
  if (status == image::ImageStatus::kOk) ApplySheetSwaps();
}

void MainWindow::ApplySheetSwaps() {
  if (paletteSwaps_.empty()) return;
  const std::vector<sheet::PaletteSwap> wanted = paletteSwaps_;
  paletteSwaps_ = ApplyPaletteSwaps(template_, wanted);
  MirrorTemplate();
  if (paletteSwaps_.size() == wanted.size()) return;
  QStringList left;
  for (const auto& swap : wanted) {
    if (std::find(paletteSwaps_.begin(), paletteSwaps_.end(), swap) == paletteSwaps_.end())
      left << QStringLiteral("%1 ⇔ %2").arg(swap.first).arg(swap.second);
  }
  dialogs_.Show(Q(kSwapsDropped) + "\r\n" + left.join(QStringLiteral("、")), BoxIcon::kExclamation,
                Q(kSwapsDroppedTitle));
}

void MainWindow::Browse() {
  const QString chosen =
      dialogs_.OpenFile(Q(image::kOpenDialogTitle), Q(image::kOpenDialogFilterName),
                        Q(image::kOpenDialogFilterPatterns));
  if (chosen.isEmpty()) return;
  TakeInFile(PathOf(chosen));
}

void MainWindow::CreatePatch() {
  // Unticking runs the preview's reaction, so the encoder reads the template's own colours.
  preview_->setChecked(false);
  sheet::CharacterSheet sheet = ReadSheet();
  patch::WriteOptions options = writeOptions_;
  std::filesystem::path replaced;
  // A drawn template has no file to name the patch after; the patch it came from does.
  if (template_.fromPatch && options.output.empty()) options.output = replaced = openedPatch_;
  PatchDialogs boxes(
      dialogs_, [this, &sheet] { ShowSheet(sheet); }, replaced);
  command::CreatePatch(sheet, template_, codes_, boxes, options);
  ShowSheet(sheet);
  MirrorTemplate();
}

}  // namespace kavelin::app
