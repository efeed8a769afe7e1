#include "platform/qt/image_export.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

#include "platform/file_writer.h"
#include "platform/qt/qt_draw_context.h"

namespace quarn {
namespace {

// Select only what differs: every selection ends a run of line-tos, and a trace
// must stay one polyline to keep its dot pattern.
void SelectPenIfNew(DrawContext& dc, const Pen& pen) {
  if (dc.pen() != pen) dc.SelectPen(pen);
}

void SelectBrushIfNew(DrawContext& dc, const std::optional<Color>& brush) {
  const Brush b = brush ? Brush::Solid(*brush) : Brush::Hollow();
  if (dc.brush() != b) dc.SelectBrush(b);
}

// The list keeps a text's background but not the background of a dotted line. The
// background colour is the last fill's (a fill sets it) or the last opaque text's,
// and lines take the background mode of the text drawn before them.
void SetBackground(DrawContext& dc, const std::optional<Color>& background) {
  const BkMode mode = background ? BkMode::Opaque : BkMode::Transparent;
  if (dc.bkMode() != mode) dc.SetBkMode(mode);
  if (background && dc.bkColor() != *background) dc.SetBkColor(*background);
}

std::string LowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// Paints the list on a white page of a vector device (an SVG or a PDF document).
bool PaintListOn(QPaintDevice& device, const DisplayList& list) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.fillRect(QRect(0, 0, list.width(), list.height()), Qt::white);
  ReplayDisplayList(list, painter);
  return painter.end();
}

}  // namespace

void ReplayDisplayList(const DisplayList& list, QPainter& painter) {
  QtDrawContext dc(painter);
  for (const DrawOp& op : list.ops()) {
    switch (op.kind) {
      case DrawOp::Kind::Fill:
        dc.FillSolidRect(op.rect, op.color);
        break;
      case DrawOp::Kind::Line:
        SelectPenIfNew(dc, op.pen);
        if (dc.currentPosition() != op.from) dc.MoveTo(op.from.x, op.from.y);
        dc.LineTo(op.to.x, op.to.y);
        break;
      case DrawOp::Kind::Rect:
        SelectPenIfNew(dc, op.pen);
        SelectBrushIfNew(dc, op.brush);
        dc.Rectangle(op.rect);
        break;
      case DrawOp::Kind::Ellipse:
        SelectPenIfNew(dc, op.pen);
        SelectBrushIfNew(dc, op.brush);
        dc.Ellipse(op.rect);
        break;
      case DrawOp::Kind::Polygon:
        SelectPenIfNew(dc, op.pen);
        SelectBrushIfNew(dc, op.brush);
        dc.Polygon(op.points, op.fillMode);
        break;
      case DrawOp::Kind::Text:
        SetBackground(dc, op.background);
        if (dc.textAlign() != op.align) dc.SetTextAlign(op.align);
        if (dc.textColor() != op.color) dc.SetTextColor(op.color);
        if (dc.font() != op.font) dc.SelectFont(op.font);
        dc.TextOut(op.at.x, op.at.y, op.text);
        break;
    }
  }
}

namespace {

// The image's bytes, rendered in memory so the file is written (and checked) whole.
bool RenderImage(const DisplayList& list, const std::string& ext, QByteArray& bytes) {
  const int width = list.width();
  const int height = list.height();
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (ext == "png") {
    // A window that nothing has drawn on yet is white.
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      ReplayDisplayList(list, painter);
    }
    return image.save(&buffer, "PNG");
  }
  if (ext == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle(QStringLiteral("QUARN"));
    return PaintListOn(svg, list);
  }
  // One page the size of the window, one point per pixel.
  QPdfWriter pdf(&buffer);
  pdf.setResolution(72);
  pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Point),
                                QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  pdf.setTitle(QStringLiteral("QUARN"));
  return PaintListOn(pdf, list);
}

bool IsImagePath(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return ext == "png" || ext == "svg" || ext == "pdf";
}

}  // namespace

bool ExportDisplayList(const DisplayList& list, const std::string& path, std::string& error) {
  if (list.width() <= 0 || list.height() <= 0) {
    error = "the window has no area to write: " + path;
    return false;
  }
  if (!IsImagePath(path)) {
    error = "unknown image type (use .png, .svg or .pdf): " + path;
    return false;
  }
  QByteArray bytes;
  if (!RenderImage(list, LowerExtension(path), bytes) ||
      !ReplaceFileContents(
          path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace quarn
