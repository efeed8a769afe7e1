#include "platform/text_metrics.h"

#include <cstdlib>

namespace quarn {

Size FixedWidthMetrics::Extent(const Font& font, std::string_view text) {
  const int h = std::abs(font.height);
  const int charWidth = h / 2 > 0 ? h / 2 : 1;
  return Size{charWidth * static_cast<int>(text.size()), h};
}

}  // namespace quarn
