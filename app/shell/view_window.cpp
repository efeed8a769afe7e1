#include "app/shell/view_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWheelEvent>

#include "base/command_ids.h"
#include "platform/qt/qt_draw_context.h"
#include "platform/qt/qt_fonts.h"
#include "platform/recording_context.h"

namespace quarn {

// A drawing context on the window's back image. Contexts obtained while another one
// lives share its painter (a QImage takes one painter at a time); the screen is
// updated when the last one is released.
class BackImageContext : public DrawContext {
 public:
  explicit BackImageContext(ViewWindow& window) : window_(window), qt_(*window.AcquirePainter()) {}
  ~BackImageContext() override {
    qt_.reset();
    window_.ReleasePainter();
  }

 protected:
  // Forward every operation with this context's state to the Qt context.
  void DoFill(const Rect& r, Color c) override { qt_->FillSolidRect(r, c); }
  void DoLine(Point from, Point to) override {
    Sync();
    if (qt_->currentPosition() != from) qt_->MoveTo(from.x, from.y);
    qt_->LineTo(to.x, to.y);
  }
  void DoRectangle(const Rect& r) override {
    Sync();
    qt_->Rectangle(r);
  }
  void DoEllipse(const Rect& r) override {
    Sync();
    qt_->Ellipse(r);
  }
  void DoPolygon(std::span<const Point> points, FillMode mode) override {
    Sync();
    qt_->Polygon(points, mode);
  }
  void DoText(Point at, std::string_view text) override {
    Sync();
    qt_->TextOut(at.x, at.y, text);
  }
  Size DoTextExtent(std::string_view text) override {
    Sync();
    return qt_->GetTextExtent(text);
  }

 private:
  // Hands this context's selections to the Qt context, only where they differ so
  // that runs of line-tos stay one polyline.
  void Sync() {
    if (qt_->pen() != pen()) qt_->SelectPen(pen());
    if (qt_->brush() != brush()) qt_->SelectBrush(brush());
    if (qt_->font() != font()) qt_->SelectFont(font());
    if (qt_->textColor() != textColor()) qt_->SetTextColor(textColor());
    if (qt_->bkColor() != bkColor()) qt_->SetBkColor(bkColor());
    if (qt_->bkMode() != bkMode()) qt_->SetBkMode(bkMode());
    if (qt_->textAlign() != textAlign()) qt_->SetTextAlign(textAlign());
  }

  struct QtContextHolder {
    explicit QtContextHolder(QPainter& p) : ctx(std::make_unique<QtDrawContext>(p)) {}
    QtDrawContext* operator->() { return ctx.get(); }
    void reset() { ctx.reset(); }
    std::unique_ptr<QtDrawContext> ctx;
  };

  ViewWindow& window_;
  QtContextHolder qt_;
};

ViewWindow::ViewWindow(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  back_ = QImage(1, 1, QImage::Format_RGB32);
  back_.fill(Qt::white);
}

ViewWindow::~ViewWindow() = default;

QPainter* ViewWindow::AcquirePainter() {
  if (painterUsers_++ == 0) painter_ = std::make_unique<QPainter>(&back_);
  return painter_.get();
}

void ViewWindow::ReleasePainter() {
  if (--painterUsers_ == 0) {
    painter_.reset();
    update();
  }
}

std::unique_ptr<DrawContext> ViewWindow::GetDC() {
  if (redirect_ != nullptr) {
    static QtTextMetrics metrics;
    return std::make_unique<RecordingContext>(*redirect_, metrics);
  }
  return std::make_unique<BackImageContext>(*this);
}

DisplayList ViewWindow::RecordCurrentChart() {
  DisplayList list;
  list.Reset(width(), height());
  if (view_ == nullptr) return list;
  redirect_ = &list;
  view_->OnDraw();
  redirect_ = nullptr;
  return list;
}

void ViewWindow::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.drawImage(event->rect(), back_, event->rect());
}

void ViewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (painterUsers_ != 0) return;  // never while a handler draws
  QImage resized(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  resized.fill(Qt::white);
  back_ = resized;
  if (view_ != nullptr) view_->OnDraw();
  update();
}

void ViewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (view_ != nullptr) view_->OnDraw();
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
  if (view_ == nullptr) return;
  Key key = Key::Other;
  switch (event->key()) {
    case Qt::Key_Home:
      key = Key::Home;
      break;
    case Qt::Key_End:
      key = Key::End;
      break;
    case Qt::Key_Left:
      key = Key::Left;
      break;
    case Qt::Key_Right:
      key = Key::Right;
      break;
    case Qt::Key_Up:
      key = Key::Up;
      break;
    case Qt::Key_Down:
      key = Key::Down;
      break;
    case Qt::Key_Plus:
      // The main keyboard's plus and minus move the cursors by ten as the keypad's
      // do: laptops have no keypad.
      key = Key::Add;
      break;
    case Qt::Key_Minus:
      key = Key::Subtract;
      break;
    default:
      break;
  }
  view_->OnKeyDown(key);
}

void ViewWindow::mousePressEvent(QMouseEvent* event) {
  if (view_ == nullptr) return;
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    view_->OnLButtonDown(p.x(), p.y());
  } else if (event->button() == Qt::RightButton) {
    view_->OnRButtonDown(p.x(), p.y());
  }
}

void ViewWindow::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    wheelAngle_ = 0;
    event->ignore();
    return;
  }
  // One zoom step a notch (120); a fine-grained wheel or touchpad adds up to one.
  constexpr int kNotch = QWheelEvent::DefaultDeltasPerStep;
  wheelAngle_ += event->angleDelta().y();
  for (; wheelAngle_ >= kNotch; wheelAngle_ -= kNotch) emit commandRequested(ID_ZOOM_IN);
  for (; wheelAngle_ <= -kNotch; wheelAngle_ += kNotch) emit commandRequested(ID_ZOOM_OUT);
  event->accept();
}

}  // namespace quarn
