#include "window_fixture.hpp"

#include <map>

#include "image/decoder.hpp"

namespace kavelin::app::testing {

void ScriptedDialogs::Show(const QString& text, BoxIcon icon, const QString& title) {
  boxes.push_back({text, icon, title});
  if (onBox) onBox(boxes.back());
}

bool ScriptedDialogs::Ask(const QString& text, BoxIcon icon, const QString& title) {
  boxes.push_back({text, icon, title});
  if (onBox) onBox(boxes.back());
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << title.toStdString();
    return false;
  }
  const bool yes = answers.front();
  answers.pop_front();
  return yes;
}

QString ScriptedDialogs::OpenFile(const QString& title, const QString& filterName,
                                  const QString& filterPatterns) {
  openCall = {title, filterName, filterPatterns};
  if (files.empty()) return {};
  const QString file = files.front();
  files.pop_front();
  return file;
}

Answer ScriptedDialogs::AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) {
  boxes.push_back({text, icon, title});
  if (onBox) onBox(boxes.back());
  if (choices.empty()) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return Answer::kCancel;
  }
  const Answer answer = choices.front();
  choices.pop_front();
  return answer;
}

QString ScriptedDialogs::SaveFile(const QString& title, const std::vector<FileType>& types,
                                  const QString& suggested) {
  saveCall = {title};
  for (const FileType& type : types)
    saveCall << type.name + ":" + type.suffix;
  saveCall << suggested;
  if (saveFiles.empty()) return {};
  const QString file = saveFiles.front();
  saveFiles.pop_front();
  return file;
}

std::optional<QString> ScriptedDialogs::AskText(const QString& text, const QString& title,
                                                const QString& initial) {
  textCalls.push_back({text, title, initial});
  if (texts.empty()) {
    ADD_FAILURE() << "unexpected text box: " << text.toStdString();
    return std::nullopt;
  }
  const std::optional<QString> answer = texts.front();
  texts.pop_front();
  return answer;
}

void WriteTemplate(const std::filesystem::path& file, const image::Raster& raster) {
  image::testing::IndexedImage indexed{raster.Width(), raster.Height(), {}, {}};
  std::map<image::Colour, std::uint8_t> index;
  for (const image::Colour c : raster.Pixels()) {
    const auto [at, added] = index.emplace(c, static_cast<std::uint8_t>(indexed.palette.size()));
    if (added) indexed.palette.push_back(c);
    indexed.indices.push_back(at->second);
  }
  image::testing::WriteFile(file, image::testing::Bmp(indexed, image::testing::BmpKind::k24Bit));
}

WindowTest::WindowTest() : window_(dialogs_, image::DecodeImageFile, folder_ / "KV7Tools.ini") {}

QStringList WindowTest::Texts(const char* base, int count) {
  QStringList texts;
  for (int i = 0; i < count; ++i)
    texts << Text(QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i));
  return texts;
}

LoadedWindowTest::LoadedWindowTest()
    : raster_(
          image::testing::Margined(image::testing::kWhite, image::testing::KnownColourPaints())) {
  WriteTemplate(template_, raster_);
  window_.TakeInFile(template_);
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_.Template().path, template_);
}

}  // namespace kavelin::app::testing
