// The record of recent work as text: the INI lines the window has always kept it in
// ("[recent]", "1\kind=sheet", "size=1", "[folders]", ...), read and written here so that
// the record is opened only by the one reader and replaced only by the atomic writer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "io/result.hpp"

namespace kavelin::app {

struct RecentRecord {
  // The values of the keys the window keeps, by their path with "/" between groups:
  // "recent/size", "recent/1/kind", "folders/sheet".
  std::map<QString, QString> values;
  // Any other key, as its section, key and value were written, so that writing the record
  // back keeps what a hand or another version put there.
  struct Line {
    QByteArray section;
    QByteArray key;
    QByteArray value;
  };
  std::vector<Line> others;
};

// The record, or a failure whose parts are the first line that is no INI line, counted
// from 1 (a std::size_t).
using RecentRecordRead = Result<RecentRecord>;

// Whether the window keeps `key` (a path as in RecentRecord::values): everything under
// "recent/", the start folders and the game preview's zoom and background.
bool IsRecentRecordKey(const QString& key);

// The record in `bytes`. A line that is neither blank, a comment, a "[section]" nor a
// "key=value", a NUL byte, or bytes that are no UTF-8 make the whole record unreadable.
RecentRecordRead ParseRecentRecord(std::span<const std::uint8_t> bytes);

// The text of `record`, which ParseRecentRecord reads back as it was.
QByteArray WriteRecentRecord(const RecentRecord& record);

}  // namespace kavelin::app
