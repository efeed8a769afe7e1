// Draws the program's artwork: the 15 x 15 tool-bar buttons, the application icon (32 x
// 32, and the icon theme's sizes under icons/hicolor/) and the 625 x 462 splash image,
// into res/.
//
//   make_artwork RES_DIR

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const QColor kInk(20, 40, 90);
const QColor kGreen(0, 150, 75);
const QColor kRed(200, 30, 30);
const QColor kBlue(30, 70, 220);

struct Button {
  const char* file;
  std::function<void(QPainter&)> draw;
};

void Polyline(QPainter& p, std::initializer_list<QPointF> pts, const QColor& c, double w = 1.2) {
  p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const std::vector<QPointF> v(pts);
  p.drawPolyline(v.data(), static_cast<int>(v.size()));
}

void Letters(QPainter& p, const QString& text, const QColor& c, int px = 8) {
  QFont f("Liberation Sans");
  f.setPixelSize(px);
  f.setBold(true);
  p.setFont(f);
  p.setPen(c);
  p.drawText(QRectF(0, 0, 15, 15), Qt::AlignCenter, text);
}

void Axes(QPainter& p) {
  Polyline(p, {{1.5, 1}, {1.5, 13.5}, {14, 13.5}}, QColor(90, 90, 90), 1);
}

std::vector<Button> Buttons() {
  return {
      {"new.png",
       [](QPainter& p) {
         p.setPen(kInk);
         p.setBrush(Qt::white);
         p.drawRect(QRectF(3.5, 1.5, 8, 12));
       }},
      {"select_record.png",
       [](QPainter& p) {
         p.setPen(kInk);
         p.setBrush(QColor(240, 200, 90));
         p.drawRect(QRectF(1.5, 4.5, 12, 8));
         Polyline(p, {{3, 10}, {6, 7}, {9, 9}, {12, 6}}, kBlue);
       }},
      {"load_navaids.png",
       [](QPainter& p) {
         p.setPen(QPen(kGreen, 1.2));
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QPointF(7.5, 7.5), 5.5, 5.5);
         p.drawEllipse(QPointF(7.5, 7.5), 2, 2);
       }},
      {"erase_radials.png",
       [](QPainter& p) {
         Polyline(p, {{7.5, 7.5}, {14, 1}}, QColor(150, 160, 10));
         Polyline(p, {{2, 2}, {13, 13}}, kRed, 1.6);
         Polyline(p, {{13, 2}, {2, 13}}, kRed, 1.6);
       }},
      {"general_summary.png",
       [](QPainter& p) {
         for (int y = 3; y <= 12; y += 3) Polyline(p, {{2, double(y)}, {13, double(y)}}, kInk, 1);
       }},
      {"takeoff_landing.png",
       [](QPainter& p) {
         Polyline(p, {{1, 13}, {14, 13}}, QColor(90, 90, 90), 1);
         Polyline(p, {{2, 12}, {7, 4}, {13, 11}}, kBlue);
       }},
      {"altitude.png",
       [](QPainter& p) {
         Axes(p);
         Polyline(p, {{2, 12}, {6, 4}, {10, 4}, {14, 12}}, kBlue);
       }},
      {"ias.png", [](QPainter& p) { Letters(p, "IAS", kInk, 6); }},
      {"tas.png", [](QPainter& p) { Letters(p, "TAS", kInk, 6); }},
      {"bank.png",
       [](QPainter& p) {
         Polyline(p, {{1, 11}, {14, 4}}, kBlue, 1.6);
         Polyline(p, {{7.5, 7.5}, {7.5, 3}}, kInk);
       }},
      {"pitch.png",
       [](QPainter& p) {
         Polyline(p, {{1, 12}, {14, 5}}, kBlue, 1.6);
         Polyline(p, {{1, 12}, {14, 12}}, kInk, 1);
       }},
      {"vertical_speed.png",
       [](QPainter& p) {
         Polyline(p, {{7.5, 13}, {7.5, 2}}, kInk, 1.4);
         Polyline(p, {{4, 5}, {7.5, 2}, {11, 5}}, kInk, 1.4);
       }},
      {"course.png",
       [](QPainter& p) {
         Polyline(p, {{2, 13}, {5, 8}, {9, 9}, {13, 2}}, kBlue);
         p.setBrush(kGreen);
         p.setPen(Qt::NoPen);
         p.drawEllipse(QPointF(11, 11), 2, 2);
       }},
      {"side_view.png",
       [](QPainter& p) {
         Polyline(p, {{1, 3}, {14, 12}}, QColor(0, 0, 0), 1);
         Polyline(p, {{1, 4}, {8, 8}, {14, 12}}, kRed);
       }},
      {"bottom_view.png",
       [](QPainter& p) {
         Polyline(p, {{1, 2}, {13, 7.5}, {1, 13}}, QColor(150, 160, 10), 1);
         Polyline(p, {{1, 6}, {13, 7.5}}, kBlue);
       }},
      {"approach_debrief.png",
       [](QPainter& p) {
         p.fillRect(QRectF(1, 4, 13, 7), QColor(200, 200, 200));
         Polyline(p, {{1, 7.5}, {14, 7.5}}, QColor(90, 90, 90), 1);
         Polyline(p, {{1, 10}, {6, 8}, {14, 7.5}}, kBlue, 1.4);
         Polyline(p, {{10.5, 2}, {10.5, 13}}, kGreen, 1);
       }},
      {"combined.png",
       [](QPainter& p) {
         Axes(p);
         Polyline(p, {{2, 11}, {7, 3}, {13, 6}}, kRed);
         Polyline(p, {{2, 6}, {7, 10}, {13, 4}}, kBlue);
       }},
      {"about.png", [](QPainter& p) { Letters(p, "?", kInk, 12); }},
      {"zoom_in.png",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.3));
         p.drawEllipse(QPointF(6, 6), 4, 4);
         Polyline(p, {{9, 9}, {14, 14}}, kInk, 2);
         Polyline(p, {{4, 6}, {8, 6}}, kInk);
         Polyline(p, {{6, 4}, {6, 8}}, kInk);
       }},
      {"zoom_out.png",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.3));
         p.drawEllipse(QPointF(6, 6), 4, 4);
         Polyline(p, {{9, 9}, {14, 14}}, kInk, 2);
         Polyline(p, {{4, 6}, {8, 6}}, kInk);
       }},
      {"cursor_left.png",
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kRed);
         const QPointF t[] = {{11, 2}, {3, 7.5}, {11, 13}};
         p.drawPolygon(t, 3);
       }},
      {"cursor_right.png",
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kRed);
         const QPointF t[] = {{4, 2}, {12, 7.5}, {4, 13}};
         p.drawPolygon(t, 3);
       }},
  };
}

void DrawSplash(QImage& img) {
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, img.height());
  sky.setColorAt(0, QColor(12, 28, 70));
  sky.setColorAt(0.65, QColor(60, 110, 170));
  sky.setColorAt(1, QColor(205, 170, 110));
  p.fillRect(img.rect(), sky);
  // A runway in perspective and a 3-degree approach path onto it.
  const QPointF runway[] = {{290, 462}, {335, 462}, {318, 330}, {307, 330}};
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(50, 50, 55));
  p.drawPolygon(runway, 4);
  p.setPen(QPen(QColor(240, 240, 240), 2, Qt::DashLine));
  p.drawLine(QPointF(312.5, 460), QPointF(312.5, 334));
  p.setPen(QPen(QColor(255, 80, 60), 2, Qt::DotLine));
  p.drawLine(QPointF(40, 200), QPointF(312, 330));
  p.setPen(QPen(QColor(120, 200, 255), 3));
  QPainterPath track;
  track.moveTo(20, 120);
  track.cubicTo(160, 60, 120, 230, 312, 330);
  p.setBrush(Qt::NoBrush);
  p.drawPath(track);
  QFont title("Liberation Sans");
  title.setPixelSize(96);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(250, 250, 250));
  p.drawText(QRect(0, 40, img.width(), 120), Qt::AlignHCenter | Qt::AlignTop, "QUARN");
  QFont sub("Liberation Sans");
  sub.setPixelSize(22);
  p.setFont(sub);
  p.drawText(QRect(0, 150, img.width(), 40), Qt::AlignHCenter,
             "Flight records, navaids and approaches");
  QFont small("Liberation Sans");
  small.setPixelSize(15);
  p.setFont(small);
  p.drawText(QRect(0, 420, img.width() - 16, 30), Qt::AlignRight, "Version 2.2 BETA");
}

// Drawn on a 32 x 32 grid, scaled to the image.
void DrawIcon(QImage& img) {
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(img.width() / 32.0, img.height() / 32.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(12, 28, 70));
  p.drawRoundedRect(QRectF(0, 0, 32, 32), 6, 6);
  p.setPen(QPen(QColor(120, 200, 255), 2.5));
  p.drawLine(QPointF(5, 8), QPointF(26, 24));
  p.setPen(QPen(QColor(255, 80, 60), 2));
  p.drawLine(QPointF(5, 26), QPointF(27, 26));
}

bool Save(const QImage& img, const std::string& path) {
  if (img.save(QString::fromStdString(path))) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork RES_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  for (const auto& b : Buttons()) {
    QImage img(15, 15, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    b.draw(p);
    p.end();
    ok &= Save(img, dir + "/toolbar/" + b.file);
  }
  QImage splash(625, 462, QImage::Format_RGB32);
  DrawSplash(splash);
  ok &= Save(splash, dir + "/splash.png");
  for (const int size : {32, 16, 24, 48, 64, 128, 256}) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    DrawIcon(icon);
    const std::string themeDir =
        dir + "/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    ok &= QDir().mkpath(QString::fromStdString(themeDir));
    ok &= Save(icon, themeDir + "/quarn.png");
    if (size == 32) ok &= Save(icon, dir + "/quarn.png");
  }
  return ok ? 0 : 1;
}
