// Between the core's texts and paths and Qt's strings.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace kavelin::app {

inline QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
// The image module's texts are UTF-8.
inline QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::u16string U16(const QString& text) {
  return text.toStdU16String();
}

// A path chosen in a dialog or dropped, in the file system's own encoding.
inline std::filesystem::path PathOf(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}
// A path for a message or a dialog, PathOf undone.
inline QString DisplayPath(const std::filesystem::path& file) {
  return QFile::decodeName(QByteArray::fromStdString(file.native()));
}

}  // namespace kavelin::app
