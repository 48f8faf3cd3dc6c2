#include "app/recent_record.hpp"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <limits>
#include <utility>

namespace kavelin::app {
namespace {

// Keys are written with "\" between groups and anything but letters, digits and "_-." as
// "%XX" or "%UXXXX"; section names likewise.
QString UnescapedKey(const QByteArray& raw) {
  QString key;
  const QString text = QString::fromUtf8(raw);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\') {
      key += u'/';
    } else if (c == u'%') {
      const bool wide = i + 1 < text.size() && text[i + 1] == u'U';
      const qsizetype from = i + (wide ? 2 : 1), digits = wide ? 4 : 2;
      bool ok = false;
      const uint code = from + digits <= text.size() ? text.mid(from, digits).toUInt(&ok, 16) : 0;
      if (ok) {
        key += QChar(static_cast<char16_t>(code));
        i = from + digits - 1;
      } else {
        key += c;
      }
    } else {
      key += c;
    }
  }
  return key;
}

QByteArray EscapedKey(const QString& key) {
  QByteArray raw;
  for (const QChar c : key) {
    const char16_t u = c.unicode();
    if (u == u'/') {
      raw += '\\';
    } else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
               u == u'_' || u == u'-' || u == u'.') {
      raw += static_cast<char>(u);
    } else if (u <= 0xFF) {
      raw += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    } else {
      raw += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
  }
  return raw;
}

QString FullKey(const QByteArray& section, const QByteArray& key) {
  const QString group = UnescapedKey(section);
  const QString name = UnescapedKey(key);
  return group.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
             ? name
             : group + QChar(u'/') + name;
}

// A value as it is written: quoted parts, backslash escapes, ";" starting a comment and
// "," making a list. Only single strings are of use to the window; anything else (a list,
// a "@Variant(...)") reads as empty, which no kind or path is.
QString UnescapedValue(const QString& raw) {
  QString value;
  bool quoted = false;
  bool list = false;
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && c == u';') {
      break;
    } else if (!quoted && c == u',') {
      list = true;
    } else if (c == u'\\' && i + 1 < raw.size()) {
      const QChar e = raw[++i];
      // The one-letter escapes of C.
      constexpr std::pair<char16_t, char16_t> kEscapes[] = {
          {u'a', u'\a'}, {u'b', u'\b'}, {u'f', u'\f'}, {u'n', u'\n'},
          {u'r', u'\r'}, {u't', u'\t'}, {u'v', u'\v'}};
      const auto* escape =
          std::find_if(std::begin(kEscapes), std::end(kEscapes),
                       [&](const auto& pair) { return pair.first == e.unicode(); });
      if (escape != std::end(kEscapes)) {
        value += QChar(escape->second);
        continue;
      }
      switch (e.unicode()) {
        case u'\n':  // a line continued on the next
          break;
        case u'x': {
          qsizetype end = i + 1;
          while (end < raw.size() && end - i <= 4 && std::isxdigit(raw[end].unicode()) != 0)
            ++end;
          value += QChar(static_cast<char16_t>(raw.mid(i + 1, end - i - 1).toUInt(nullptr, 16)));
          i = end - 1;
          break;
        }
        default:
          if (e >= u'0' && e <= u'7') {
            qsizetype end = i;
            while (end < raw.size() && end - i < 3 && raw[end] >= u'0' && raw[end] <= u'7')
              ++end;
            value += QChar(static_cast<char16_t>(raw.mid(i, end - i).toUInt(nullptr, 8)));
            i = end - 1;
          } else {
            value += e;  // \" \' \\ \? and anything else stand for themselves
          }
      }
    } else {
      value += c;
    }
  }
  if (list) return {};
  if (value.startsWith(QLatin1String("@@"))) return value.mid(1);
  if (value.startsWith(u'@')) return {};
  return value;
}

QByteArray EscapedValue(const QString& value) {
  // A leading "@" marks a typed value; doubled, it is a plain one.
  const QString text = value.startsWith(u'@') ? QChar(u'@') + value : value;
  QString escaped;
  bool quotes = !text.isEmpty() && (text.front() == u' ' || text.back() == u' ');
  bool hexBefore = false;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool hexDigit = std::isxdigit(u < 0x80 ? u : 0) != 0;
    if (u == u';' || u == u',' || u == u'=') quotes = true;
    if (u == u'"' || u == u'\\') {
      escaped += u'\\';
      escaped += c;
      hexBefore = false;
    } else if (u < 0x20 || u == 0x7F || (hexBefore && hexDigit)) {
      // A digit right after a "\x" escape would be read as part of it.
      escaped += QStringLiteral("\\x") + QString::number(u, 16);
      hexBefore = true;
    } else {
      escaped += c;
      hexBefore = false;
    }
  }
  QByteArray raw = escaped.toUtf8();
  return quotes ? '"' + raw + '"' : raw;
}

bool EndsInEscape(const QByteArray& line) {
  qsizetype backslashes = 0;
  for (qsizetype i = line.size() - 1; i >= 0 && line[i] == '\\'; --i)
    ++backslashes;
  return backslashes % 2 == 1;
}

}  // namespace

bool IsRecentRecordKey(const QString& key) {
  static constexpr std::array<const char*, 6> kKept = {"folders/sheet",    "folders/patch",
                                                       "folders/template", "folders/names",
                                                       "preview/zoom",     "preview/background"};
  return key.startsWith(QLatin1String("recent/")) ||
         std::any_of(kKept.begin(), kKept.end(),
                     [&key](const char* kept) { return key == QLatin1String(kept); });
}

RecentRecordRead ParseRecentRecord(std::span<const std::uint8_t> bytes) {
  RecentRecord record;
  const QByteArray text(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<qsizetype>(bytes.size()));
  QByteArray section = "General";
  qsizetype at = 0;
  std::size_t lineNumber = 0;
  const auto fail = [](std::size_t line) {
    Failure failure;
    failure.reason = std::make_error_code(std::errc::illegal_byte_sequence);
    failure.what = "line " + std::to_string(line) + " is no INI line";
    failure.parts = line;
    return RecentRecordRead(std::move(failure));
  };
  while (at < text.size()) {
    const std::size_t first = ++lineNumber;
    QByteArray line;
    for (;;) {
      qsizetype end = text.indexOf('\n', at);
      if (end < 0) end = text.size();
      QByteArray piece = text.mid(at, end - at);
      if (piece.endsWith('\r')) piece.chop(1);
      at = end + 1;
      line += piece;
      if (!EndsInEscape(line) || at >= text.size()) break;
      line += '\n';
      ++lineNumber;
    }
    if (line.contains('\0')) return fail(first);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8(line);
    if (utf8.hasError()) return fail(first);
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) continue;
    if (trimmed.startsWith('[')) {
      if (!trimmed.endsWith(']') || trimmed.size() < 3) return fail(first);
      section = trimmed.mid(1, trimmed.size() - 2);
      continue;
    }
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0) return fail(first);
    const QByteArray key = trimmed.left(equals).trimmed();
    const QByteArray value = trimmed.mid(equals + 1).trimmed();
    if (key.isEmpty()) return fail(first);
    const QString full = FullKey(section, key);
    if (IsRecentRecordKey(full)) {
      record.values[full] = UnescapedValue(QString::fromUtf8(value));
    } else {
      record.others.push_back({section, key, value});
    }
  }
  return record;
}

QByteArray WriteRecentRecord(const RecentRecord& record) {
  // Sections in the order they first appear: the others' as they were, the window's own
  // after them.
  std::vector<QByteArray> sections;
  std::map<QByteArray, std::vector<QByteArray>> lines;
  const auto in = [&](const QByteArray& section) -> std::vector<QByteArray>& {
    if (std::find(sections.begin(), sections.end(), section) == sections.end())
      sections.push_back(section);
    return lines[section];
  };
  for (const RecentRecord::Line& other : record.others)
    in(other.section).push_back(other.key + '=' + other.value);
  // "recent/10/kind" after "recent/9/path": numbers in their order, "size" last.
  std::vector<std::pair<QString, QString>> owned(record.values.begin(), record.values.end());
  const auto order = [](const QString& key) {
    const QStringList parts = key.split(u'/');
    bool number = false;
    const int n = parts.value(1).toInt(&number);
    return std::pair{parts.value(0), number ? n : std::numeric_limits<int>::max()};
  };
  std::stable_sort(owned.begin(), owned.end(),
                   [&](const auto& a, const auto& b) { return order(a.first) < order(b.first); });
  for (const auto& [key, value] : owned) {
    const qsizetype slash = key.indexOf(u'/');
    in(EscapedKey(key.left(slash)))
        .push_back(EscapedKey(key.mid(slash + 1)) + '=' + EscapedValue(value));
  }
  QByteArray text;
  for (const QByteArray& section : sections) {
    if (!text.isEmpty()) text += '\n';
    text += '[' + section + "]\n";
    for (const QByteArray& line : lines[section])
      text += line + '\n';
  }
  return text;
}

}  // namespace kavelin::app
