#include "platform/qt/qt_draw_context.h"

#include <QFontMetrics>
#include <QRect>
#include <QVector>

#include "platform/qt/qt_fonts.h"

namespace quarn {
namespace {

QColor ToQColor(Color c) {
  return QColor(c.r, c.g, c.b);
}

// GDI takes a width of 0 as one pixel.
int PenWidth(const Pen& pen) {
  return pen.width < 1 ? 1 : pen.width;
}

QPen ToQPen(const Pen& pen) {
  QPen q(ToQColor(pen.color));
  q.setWidth(PenWidth(pen));
  switch (pen.style) {
    case PenStyle::Solid:
      // A wide cosmetic pen is round at its ends and corners.
      q.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::FlatCap);
      q.setJoinStyle(pen.width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
      break;
    case PenStyle::Dot:
      // Three pixels on, three off, in units of the pen width.
      q.setDashPattern({3, 3});
      q.setCapStyle(Qt::FlatCap);
      break;
    case PenStyle::Geometric:
      q.setCapStyle(Qt::SquareCap);
      q.setJoinStyle(Qt::BevelJoin);
      break;
  }
  return q;
}

}  // namespace

QtDrawContext::QtDrawContext(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QtDrawContext::~QtDrawContext() {
  Flush();
}

template <typename DrawFn>
void QtDrawContext::StrokeWithPen(DrawFn draw) {
  const Pen& p = pen();
  if (p.style == PenStyle::Dot && bkMode() == BkMode::Opaque) {
    // The gaps of a dotted pen show the background colour: lay the line down in it
    // first, then the dots over it.
    QPen gaps(ToQColor(bkColor()));
    gaps.setWidth(PenWidth(p));
    gaps.setCapStyle(Qt::FlatCap);
    painter_.setPen(gaps);
    draw();
  }
  painter_.setPen(ToQPen(p));
  draw();
}

void QtDrawContext::Flush() {
  if (run_.size() < 2) {
    run_.clear();
    return;
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([this] { painter_.drawPolyline(run_); });
  run_.clear();
}

void QtDrawContext::DoFill(const Rect& r, Color c) {
  Flush();
  painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(c));
}

void QtDrawContext::DoLine(Point from, Point to) {
  const QPoint qFrom(from.x, from.y);
  const QPoint qTo(to.x, to.y);
  if (run_.isEmpty() || run_.back() != qFrom) {
    Flush();
    run_.append(qFrom);
  }
  // A line to the current position draws nothing; leaving it out of the run
  // changes no pixel and keeps long runs of unchanged samples cheap.
  if (run_.back() != qTo) run_.append(qTo);
}

void QtDrawContext::SelectBrushForFill() {
  if (brush().null) {
    painter_.setBrush(Qt::NoBrush);
  } else {
    painter_.setBrush(ToQColor(brush().color));
  }
}

void QtDrawContext::DoRectangle(const Rect& r) {
  Flush();
  // GDI's rectangle covers left..right-1 and top..bottom-1, the outline included.
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!brush().null) {
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                      ToQColor(brush().color));
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawRect(box); });
}

void QtDrawContext::DoEllipse(const Rect& r) {
  Flush();
  const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
  if (!brush().null) {
    painter_.setPen(Qt::NoPen);
    SelectBrushForFill();
    painter_.drawEllipse(box);
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawEllipse(box); });
}

void QtDrawContext::DoPolygon(std::span<const Point> points, FillMode mode) {
  Flush();
  QPolygon poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) poly.append(QPoint(p.x, p.y));
  const Qt::FillRule rule = mode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
  if (!brush().null) {
    painter_.setPen(Qt::NoPen);
    SelectBrushForFill();
    painter_.drawPolygon(poly, rule);
  }
  painter_.setBrush(Qt::NoBrush);
  StrokeWithPen([&] { painter_.drawPolygon(poly, rule); });
}

void QtDrawContext::DoText(Point at, std::string_view text) {
  Flush();
  const QFont qFont = ToQFont(font());
  const QFontMetrics metrics(qFont);
  const QString qText = ToQString(text);
  const int width = metrics.horizontalAdvance(qText);
  int left = at.x;
  if (textAlign() == TextAlign::Center) left = at.x - width / 2;
  if (textAlign() == TextAlign::Right) left = at.x - width;
  if (bkMode() == BkMode::Opaque) {
    painter_.fillRect(QRect(left, at.y, width, metrics.height()), ToQColor(bkColor()));
  }
  painter_.setFont(qFont);
  painter_.setPen(ToQColor(textColor()));
  painter_.drawText(QPoint(left, at.y + metrics.ascent()), qText);
}

Size QtDrawContext::DoTextExtent(std::string_view text) {
  const QFontMetrics metrics(ToQFont(font()));
  return Size{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

}  // namespace quarn
