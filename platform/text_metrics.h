#pragma once
// Text extents for contexts that do not render text themselves (the recording
// context). The CLI plugs in Qt's font metrics; core tests use the fixed-width one.

#include <string_view>

#include "platform/draw_context.h"

namespace quarn {

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual Size Extent(const Font& font, std::string_view text) = 0;
};

// Every character is half the character height wide (at least 1 pixel); the
// height is the character height. Predictable numbers for tests.
class FixedWidthMetrics : public TextMetrics {
 public:
  Size Extent(const Font& font, std::string_view text) override;
};

}  // namespace quarn
