#include "platform/qt/report_pdf.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "platform/file_writer.h"
#include "platform/qt/image_export.h"

namespace quarn {
namespace {

constexpr double kMarginMm = 10;
constexpr double kHeaderLinePt = 14;  // at 72 dots an inch, one point a dot

QString HeaderText(const std::string& documentName, const PdfPage& page, int number, int count) {
  QString text = QString::fromStdString(documentName);
  if (!page.title.empty()) text += QStringLiteral(" \u2014 ") + QString::fromStdString(page.title);
  return text + QStringLiteral("\tPage %1 of %2").arg(number).arg(count);
}

// The header line (name and title on the left, the page number on the right) and
// the note under it; returns the height they take.
double PaintHeader(QPainter& painter, const QRectF& area, const QString& header,
                   const std::string& note) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(9);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QStringList parts = header.split('\t');
  const QRectF line(area.left(), area.top(), area.width(), kHeaderLinePt);
  painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, parts.value(0));
  painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, parts.value(1));
  double used = kHeaderLinePt;
  if (!note.empty()) {
    const QRectF noteLine(area.left(), area.top() + used, area.width(), kHeaderLinePt);
    painter.drawText(noteLine, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(note));
    used += kHeaderLinePt;
  }
  painter.drawLine(QPointF(area.left(), area.top() + used + 2),
                   QPointF(area.right(), area.top() + used + 2));
  return used + 6;
}

// The chart scaled to fit the area, centred across it.
void PaintChart(QPainter& painter, const QRectF& area, const DisplayList& list) {
  const double scale = std::min(area.width() / std::max(1, list.width()),
                                area.height() / std::max(1, list.height()));
  painter.save();
  painter.translate(area.left() + (area.width() - list.width() * scale) / 2, area.top());
  painter.scale(scale, scale);
  painter.setClipRect(QRect(0, 0, list.width(), list.height()));
  painter.fillRect(QRect(0, 0, list.width(), list.height()), Qt::white);
  ReplayDisplayList(list, painter);
  painter.restore();
}

}  // namespace

std::string PdfTargetProblem(const std::string& path) {
  const QFileInfo target(QString::fromStdString(path));
  const QFileInfo folder(target.absolutePath());
  if (!folder.exists()) {
    return "cannot write " + path + ": the folder " + folder.filePath().toStdString() +
           " does not exist";
  }
  if (!folder.isDir()) {
    return "cannot write " + path + ": " + folder.filePath().toStdString() + " is not a folder";
  }
  if (target.isDir()) return "cannot write " + path + ": it is a folder";
  return "";
}

bool WritePagesPdf(const std::string& documentName, const std::string& note,
                   const std::vector<PdfPage>& pages, const std::string& path, std::string& error,
                   const PdfProgress& progress) {
  if (error = PdfTargetProblem(path); !error.empty()) return false;
  if (pages.empty()) {
    error = "nothing to write to " + path;
    return false;
  }
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                  QPageLayout::Millimeter));
    pdf.setTitle(QString::fromStdString(documentName));
    pdf.setCreator(QStringLiteral("QUARN"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
      error = "cannot make a PDF for " + path;
      return false;
    }
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
      if (i > 0) pdf.newPage();
      const PdfPage& page = pages[static_cast<std::size_t>(i)];
      // The page's area within the margins, in the painter's coordinates.
      const QRectF area(QPointF(0, 0), pdf.pageLayout().paintRectPixels(72).size());
      const double header = PaintHeader(painter, area, HeaderText(documentName, page, i + 1, count),
                                        i == 0 ? note : std::string());
      if (page.list != nullptr) {
        PaintChart(painter, area.adjusted(0, header, 0, 0), *page.list);
      }
      if (progress && !progress(i + 1, count)) {
        painter.end();
        error.clear();
        return false;
      }
    }
    if (!painter.end()) {
      error = "cannot make a PDF for " + path;
      return false;
    }
  }
  if (!ReplaceFileContents(
          path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    const QFileInfo folder(QFileInfo(QString::fromStdString(path)).absolutePath());
    error = "cannot write " + path +
            (folder.isWritable() ? std::string() : ": the folder is not writable");
    return false;
  }
  return true;
}

}  // namespace quarn
