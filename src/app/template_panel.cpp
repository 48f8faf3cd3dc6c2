#include "app/template_panel.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <optional>

#include "app/form_controls.hpp"
#include "app/form_layout.hpp"
#include "app/form_plan.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "image/palette_panel.hpp"
#include "image/sprite_cells.hpp"
#include "image/template_hints.hpp"
#include "patch/game_preview.hpp"
#include "patch/sprite_tiles.hpp"

namespace kavelin::app {
namespace {

namespace at = layout::picture;

QString Css(image::Colour c) {
  return QColor(image::Red(c), image::Green(c), image::Blue(c)).name();
}

// The toggle in its entry's colour; a marked toggle is framed in amber instead.
QString ToggleStyle(image::Colour entry, bool marked) {
  const QString border =
      marked ? QStringLiteral("2px solid #e09000") : QStringLiteral("1px outset #808080");
  return QStringLiteral(
             "QPushButton { background: %1; color: %2; border: %3; padding: 0; }"
             "QPushButton:checked { border: 2px inset #404040; }")
      .arg(Css(entry), Css(image::ToggleTextColour(entry)), border);
}

QString Word(std::uint16_t word) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(word, 4, 16, QChar('0')).toUpper();
}

// The message for an entry whose colour another entry shares in the game, or empty. Only
// the entries the template decides count: 0 is the backdrop, 1 and 2 show fixed colours,
// and 3 is the reserved black.
QString TwinOf(const image::SpritePalette& palette, int entry) {
  const auto drawn = [&palette](int i) { return i > image::kReservedEntry && !palette.IsEmpty(i); };
  if (!drawn(entry)) return {};
  const auto words = patch::PaletteWords(palette);
  for (int other = 0; other < image::kPaletteSize; ++other) {
    if (other == entry || !drawn(other)) continue;
    if (words[static_cast<std::size_t>(other)] == words[static_cast<std::size_t>(entry)]) {
      return Q(kSameSnesColourTip)
          .arg(std::min(entry, other))
          .arg(std::max(entry, other))
          .arg(Word(words[static_cast<std::size_t>(entry)]));
    }
  }
  return {};
}

// The hints of the template as decoded: the poison preview recolours the picture on screen
// only, and must not change what is counted.
std::vector<image::FixedColourHint> HintsOf(const image::TemplateImage& image) {
  if (!image.Loaded()) return {};
  if (!image.toggles.preview.ticked) return image::FixedColourHints(image);
  image::TemplateImage plain = image;
  plain.displayed = plain.loaded;
  return image::FixedColourHints(plain);
}

// The picture pixels of the hints' entries inside the cells, which the game recolours.
std::vector<QPoint> ChangedPixelsOf(const image::TemplateImage& image,
                                    const std::vector<image::FixedColourHint>& hints) {
  std::vector<QPoint> pixels;
  if (hints.empty()) return pixels;
  const image::Raster& decoded = image.toggles.preview.ticked ? image.loaded : image.displayed;
  const int offset = image.originOffset;
  for (const image::Cell& cell : image::kSpriteCells) {
    for (int y = cell.y + offset; y < cell.y + cell.h + offset; ++y) {
      for (int x = cell.x + offset; x < cell.x + cell.w + offset; ++x) {
        if (!decoded.Contains(x, y)) continue;
        const std::optional<int> entry = image.palette.IndexOf(decoded.At(x, y));
        if (std::any_of(hints.begin(), hints.end(),
                        [entry](const auto& hint) { return entry == hint.entry; }))
          pixels.emplace_back(x, y);
      }
    }
  }
  return pixels;
}

QString HintTip(const image::FixedColourHint& hint, int originOffset) {
  return Q(FixedColourHintText(hint, originOffset));
}

}  // namespace

TemplatePanel::TemplatePanel(QWidget* parent) : QWidget(parent) {
  Place(this, "TemplatePanel", at::kPanel);
  Caption(this, "Label5", kPictureCaption, at::kCaption);
  picture_ = new PictureArea(this);
  Place(picture_, "Picture1", at::kPicture);
  Place(picture_->MakeZoomList(this), "PictureZoom", at::kZoom);
  // Made before the browse button, which stands to its right, so that Tab reaches it first.
  gamePreview_ = new QPushButton(Q(kGamePreviewButton), this);
  Place(gamePreview_, "GamePreviewButton", at::kGamePreview);
  connect(gamePreview_, &QPushButton::clicked, this, &TemplatePanel::GamePreviewRequested);
  browse_ = new QPushButton("...", this);
  Place(browse_, "Command2", at::kBrowse);
  Describe(picture_, Q(kPictureCaption), Q(kPictureTip));
  Describe(browse_, Q(kBrowseName), Q(kBrowseTip));

  const std::array<const char*, 4> columns = {"Label2", "Label3", "Label4", "Label1"};
  for (std::size_t c = 0; c < kPaletteHeadings.size(); ++c) {
    Caption(this, QStringLiteral("Label%1").arg(100 + c), kPaletteHeadings[c],
            layout::At(at::kValues[c], at::kHeadingsTop, kCaptionHeight), Qt::AlignCenter);
  }
  for (std::size_t i = 0; i < toggles_.size(); ++i) {
    const int top = at::kFirstRowTop + at::kRowStep * static_cast<int>(i);
    auto* toggle = new QPushButton(Q(image::ToggleCaption(static_cast<int>(i))), this);
    Place(toggle, Indexed("Check1", i), layout::At(at::kToggles, top, at::kToggleHeight));
    toggle->setCheckable(true);
    toggle->setEnabled(false);
    toggle->setFocusPolicy(Qt::TabFocus);
    toggles_[i] = toggle;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      values_[i][c] =
          Display(this, Indexed(columns[c], i), layout::At(at::kValues[c], top, kCaptionHeight));
      const QString value = Q(kPaletteEntryName).arg(i) + ' ' + Q(kPaletteHeadings[c]);
      Describe(values_[i][c], value, Q(kPaletteValueTip).arg(value));
    }
    connect(toggle, &QPushButton::toggled, this,
            [this, i](bool ticked) { emit PaletteToggled(static_cast<int>(i), ticked); });
  }
  // Entries 1 and 2 show the game's fixed colours beside the template's own.
  for (const int entry : {1, 2}) {
    const auto e = static_cast<std::size_t>(entry);
    auto* swatch = new QLabel(values_[e][3]);
    swatch->setObjectName(Indexed("Fixed", e));
    const QRect snes = values_[e][3]->contentsRect();
    swatch->setGeometry(snes.right() - snes.height() + 1, snes.top() + 1, snes.height() - 2,
                        snes.height() - 2);
    swatch->setStyleSheet(QStringLiteral("background: %1; border: 1px solid #404040;")
                              .arg(Css(patch::WidenSnesColour(patch::kFixedEntryWords[e]))));
    fixedSwatches_[e] = swatch;
  }
  preview_ = Tick(this, "Check2", kPreviewCaption, at::kPreview);
  preview_->setEnabled(false);
  Describe(preview_, Q(kPreviewCaption), Q(kPreviewTip));

  connect(preview_, &QCheckBox::toggled, this, &TemplatePanel::PreviewToggled);
  connect(browse_, &QPushButton::clicked, this, &TemplatePanel::BrowseRequested);
  // Queued: a message box must not open inside the drop, while the source still waits.
  connect(picture_, &PictureArea::FileDropped, this, &TemplatePanel::FileDropped,
          Qt::QueuedConnection);
}

QWidget* TemplatePanel::PictureWidget() const {
  return picture_;
}

std::vector<QWidget*> TemplatePanel::HintedRows() const {
  std::vector<QWidget*> rows;
  if (!pictureHints_.isEmpty()) rows.push_back(picture_);
  for (const image::FixedColourHint& hint : hints_)
    rows.push_back(toggles_[static_cast<std::size_t>(hint.entry)]);
  return rows;
}

int TemplatePanel::HintCount() const {
  return static_cast<int>(hints_.size()) + static_cast<int>(pictureHints_.size());
}

void TemplatePanel::Show(const image::TemplateImage& image) {
  hints_ = HintsOf(image);
  for (std::size_t i = 0; i < toggles_.size(); ++i) {
    QPushButton* toggle = toggles_[i];
    const image::Toggle& state = image.toggles.entries[i];
    {
      const QSignalBlocker quiet(toggle);
      toggle->setChecked(state.ticked);
    }
    toggle->setEnabled(state.enabled);
    const image::Colour entry = image.palette.entries[i];
    QString twin = TwinOf(image.palette, static_cast<int>(i));
    for (const image::FixedColourHint& hint : hints_) {
      if (hint.entry == static_cast<int>(i)) twin = HintTip(hint, image.originOffset);
    }
    toggle->setStyleSheet(entry == image::kEmptyEntry ? QString()
                                                      : ToggleStyle(entry, !twin.isEmpty()));
    toggle->setAccessibleDescription(twin);
    const image::EntryCaptions captions = image::CaptionsOf(entry);
    values_[i][0]->setText(Q(captions.red));
    values_[i][1]->setText(Q(captions.green));
    values_[i][2]->setText(Q(captions.blue));
    values_[i][3]->setText(Q(captions.snes));
    // Screen readers hear the entry's number and colour.
    const QString number = Q(kPaletteEntryName).arg(i);
    toggle->setAccessibleName(entry == image::kEmptyEntry ? number + ' ' + Q(kEmptyEntryName)
                                                          : number + ' ' + Css(entry));
    toggle->setToolTip(!twin.isEmpty() ? twin
                       : static_cast<int>(i) == image::kReservedEntry
                           ? Q(kReservedEntryNote)
                           : Q(kPaletteToggleTip).arg(i));
  }
  for (const int entry : {1, 2}) {
    const auto e = static_cast<std::size_t>(entry);
    const QString tip = Q(kFixedEntryTip)
                            .arg(Word(patch::kFixedEntryWords[e]),
                                 image.palette.IsEmpty(entry) ? Q(kEmptyEntryName)
                                                              : values_[e][3]->text().trimmed());
    fixedSwatches_[e]->setToolTip(tip);
    values_[e][3]->setToolTip(tip);
  }
  {
    const QSignalBlocker quiet(preview_);
    preview_->setChecked(image.toggles.preview.ticked);
  }
  preview_->setEnabled(image.toggles.preview.enabled);
  picture_->ShowRaster(image.displayed);
  picture_->SetChangedPixels(ChangedPixelsOf(image, hints_));
  picture_->SetHint(image.Loaded() ? QString() : Q(kNoTemplateHint));
  // The picture as decoded, not as the poison preview recolours it.
  const std::optional<image::EdgeHint> edge = image::CellsPastEdge(image);
  const std::optional<image::ColourOverflow> overflow = image::ColourOverflowOf(image);
  pictureHints_.clear();
  if (overflow) pictureHints_ << Q(ColourOverflowText(*overflow));
  if (edge) pictureHints_ << Q(EdgeHintText(*edge));
  std::vector<QRect> outlined;
  if (edge) {
    for (const image::Cell& cell : edge->cellRects)
      outlined.emplace_back(cell.x, cell.y, cell.w, cell.h);
  }
  picture_->SetOutlinedCells(std::move(outlined));
  picture_->SetRing(overflow ? std::optional<QPoint>(QPoint(overflow->at.x, overflow->at.y))
                             : std::nullopt);
  const QString shown = image.Loaded() ? DisplayPath(image.path.filename()) : Q(kNoTemplateHint);
  picture_->setAccessibleDescription(
      pictureHints_.isEmpty() ? shown : shown + '\n' + pictureHints_.join('\n'));
  SetOwnTip(picture_, pictureHints_.isEmpty() ? Q(kPictureTip) : pictureHints_.join('\n'));
}

}  // namespace kavelin::app
