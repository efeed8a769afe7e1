#pragma once
// Fonts by the program's attributes, as Qt fonts.

#include <QFont>
#include <QString>
#include <string_view>

#include "platform/draw_context.h"
#include "platform/text_metrics.h"

namespace quarn {

QFont ToQFont(const Font& font);
QString ToQString(std::string_view utf8);

// Text extents measured with Qt's font metrics.
class QtTextMetrics : public TextMetrics {
 public:
  Size Extent(const Font& font, std::string_view text) override;
};

}  // namespace quarn
