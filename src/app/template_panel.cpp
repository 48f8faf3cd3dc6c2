#include "app/template_panel.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/form_layout.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "image/palette_panel.hpp"

namespace kavelin::app {
namespace {

namespace at = layout::picture;

QString ToggleStyle(image::Colour entry) {
  const auto css = [](image::Colour c) {
    return QColor(image::Red(c), image::Green(c), image::Blue(c)).name();
  };
  return QStringLiteral(
             "QPushButton { background: %1; color: %2; border: 1px outset #808080; padding: 0; }"
             "QPushButton:checked { border: 2px inset #404040; }")
      .arg(css(entry), css(image::ToggleTextColour(entry)));
}

}  // namespace

TemplatePanel::TemplatePanel(QWidget* parent) : QWidget(parent) {
  Place(this, "TemplatePanel", at::kPanel);
  Caption(this, "Label5", u"テンプレ画像", at::kCaption);
  picture_ = new PictureArea(this);
  Place(picture_, "Picture1", at::kPicture);
  browse_ = new QPushButton("...", this);
  Place(browse_, "Command2", at::kBrowse);

  const std::array<std::u16string_view, 4> headings = {u"R", u"G", u"B", u"SNES形式"};
  const std::array<const char*, 4> columns = {"Label2", "Label3", "Label4", "Label1"};
  for (std::size_t c = 0; c < headings.size(); ++c) {
    Caption(this, QStringLiteral("Label%1").arg(100 + c), headings[c],
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
    for (std::size_t c = 0; c < columns.size(); ++c)
      values_[i][c] =
          Display(this, Indexed(columns[c], i), layout::At(at::kValues[c], top, kCaptionHeight));
    connect(toggle, &QPushButton::toggled, this,
            [this, i](bool ticked) { emit PaletteToggled(static_cast<int>(i), ticked); });
  }
  preview_ = Tick(this, "Check2", u"毒状態確認", at::kPreview);
  preview_->setEnabled(false);

  connect(preview_, &QCheckBox::toggled, this, &TemplatePanel::PreviewToggled);
  connect(browse_, &QPushButton::clicked, this, &TemplatePanel::BrowseRequested);
  // Queued: a message box must not open inside the drop, while the source still waits.
  connect(picture_, &PictureArea::FileDropped, this, &TemplatePanel::FileDropped,
          Qt::QueuedConnection);
}

void TemplatePanel::Show(const image::TemplateImage& image) {
  for (std::size_t i = 0; i < toggles_.size(); ++i) {
    QPushButton* toggle = toggles_[i];
    const image::Toggle& state = image.toggles.entries[i];
    {
      const QSignalBlocker quiet(toggle);
      toggle->setChecked(state.ticked);
    }
    toggle->setEnabled(state.enabled);
    const image::Colour entry = image.palette.entries[i];
    toggle->setStyleSheet(entry == image::kEmptyEntry ? QString() : ToggleStyle(entry));
    const image::EntryCaptions captions = image::CaptionsOf(entry);
    values_[i][0]->setText(Q(captions.red));
    values_[i][1]->setText(Q(captions.green));
    values_[i][2]->setText(Q(captions.blue));
    values_[i][3]->setText(Q(captions.snes));
  }
  {
    const QSignalBlocker quiet(preview_);
    preview_->setChecked(image.toggles.preview.ticked);
  }
  preview_->setEnabled(image.toggles.preview.enabled);
  picture_->ShowRaster(image.displayed);
}

}  // namespace kavelin::app
