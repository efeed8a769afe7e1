#include "platform/qt/qt_fonts.h"

#include <QFontMetrics>
#include <cstdlib>

#include "platform/json.h"

namespace quarn {

QFont ToQFont(const Font& font) {
  QFont f(QString::fromStdString(font.face));
  // A negative height is the character height in pixels; a positive one is the cell
  // height, which for our purposes is close enough.
  f.setPixelSize(std::max(1, std::abs(font.height)));
  f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight / 1, 100, 900)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeOut);
  f.setStyleHint(QFont::SansSerif);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

QString ToQString(std::string_view text) {
  const std::string utf8 = ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Size QtTextMetrics::Extent(const Font& font, std::string_view text) {
  const QFontMetrics metrics(ToQFont(font));
  return Size{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

}  // namespace quarn
