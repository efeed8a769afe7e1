#pragma once
// The view's window: its client size and a drawing context on it. A handler may
// draw on the window at any moment; the context is released when it goes out of scope.

#include <memory>

#include "platform/draw_context.h"

namespace quarn {

class Window {
 public:
  virtual ~Window() = default;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual std::unique_ptr<DrawContext> GetDC() = 0;
};

}  // namespace quarn
