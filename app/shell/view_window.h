#pragma once
// The view's window on the desktop: a widget with a retained back image. The view's
// handlers draw on the image at any moment; a paint copies it to the screen, and a
// resize or a first show asks the view for a full redraw.

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/display_list.h"
#include "platform/window.h"
#include "view/halbrico_view.h"

namespace quarn {

class ViewWindow : public QWidget, public Window {
  Q_OBJECT

 public:
  explicit ViewWindow(QWidget* parent = nullptr);
  ~ViewWindow() override;

  // The view that answers this window's input; set once the program's objects exist.
  void SetView(CHalbricoView* view) { view_ = view; }

  int ClientWidth() const override { return width(); }
  int ClientHeight() const override { return height(); }
  std::unique_ptr<DrawContext> GetDC() override;

  const QImage& backImage() const { return back_; }

  // Draws the current chart into a display list instead of onto the window, as
  // printing and export need it: the view's drawing goes through GetDC.
  DisplayList RecordCurrentChart();

 signals:
  // A command asked for from the window (Ctrl with the mouse wheel zooms).
  void commandRequested(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  friend class BackImageContext;
  QPainter* AcquirePainter();
  void ReleasePainter();

  CHalbricoView* view_ = nullptr;
  QImage back_;
  std::unique_ptr<QPainter> painter_;  // open while any drawing context lives
  int painterUsers_ = 0;
  DisplayList* redirect_ = nullptr;  // when set, drawing is recorded instead
  int wheelAngle_ = 0;               // Ctrl+wheel turning not yet a whole notch
};

}  // namespace quarn
