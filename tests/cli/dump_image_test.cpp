// quarn-cli writes what the window shows as images: the PNG's pixels show what the
// JSON display list says was drawn.

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Segment {
  QPoint from, to;
};

QColor ColorOf(const QJsonValue& v) {
  const QJsonArray a = v.toArray();
  return QColor(a[0].toInt(), a[1].toInt(), a[2].toInt());
}

QPoint PointOf(const QJsonValue& v) {
  const QJsonArray a = v.toArray();
  return QPoint(a[0].toInt(), a[1].toInt());
}

// Distance from p to the segment, in pixels.
double DistanceToSegment(QPointF p, const Segment& s) {
  const QPointF a = s.from, b = s.to;
  const QPointF ab = b - a;
  const double len2 = QPointF::dotProduct(ab, ab);
  double t = len2 == 0 ? 0 : QPointF::dotProduct(p - a, ab) / len2;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF d = p - (a + t * ab);
  return std::sqrt(QPointF::dotProduct(d, d));
}

class DumpImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quarn_dump_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int RunScript(const std::string& script) {
    std::ofstream(dir_ / "script.txt") << script;
    const std::string command = "cd '" + dir_.string() + "' && QT_QPA_PLATFORM=offscreen '" +
                                QUARN_CLI_PATH + "' run script.txt > transcript.txt 2> errors.txt";
    return std::system(command.c_str());
  }

  fs::path dir_;
};

TEST_F(DumpImageTest, PngShowsTheOpsOfTheDisplayList) {
  const std::string record = std::string(QUARN_EXAMPLES_DIR) + "/flight.dat";
  ASSERT_TRUE(fs::exists(record));
  ASSERT_EQ(RunScript("answer file " + record +
                      "\ncommand 32771\ncommand 32773\nclick 300 200\n"
                      "dump g.json\ndump g.png\ndump g.svg\ndump g.pdf\n"),
            0);

  QFile jsonFile(QString::fromStdString((dir_ / "g.json").string()));
  ASSERT_TRUE(jsonFile.open(QIODevice::ReadOnly));
  const QJsonObject list = QJsonDocument::fromJson(jsonFile.readAll()).object();
  const int width = list["width"].toInt();
  const int height = list["height"].toInt();
  const QJsonArray ops = list["ops"].toArray();
  ASSERT_GT(ops.size(), 100);

  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString((dir_ / "g.png").string())));
  ASSERT_EQ(image.width(), width);
  ASSERT_EQ(image.height(), height);

  // The background fill: right of the grid's end and above the time axis nothing
  // else is drawn.
  const QJsonObject fill = ops[0].toObject();
  ASSERT_EQ(fill["op"].toString(), "fill");
  const QColor background = ColorOf(fill["color"]);
  EXPECT_EQ(background, QColor(Qt::black));
  for (const QPoint p : {QPoint(width - 20, height / 2), QPoint(width - 5, 100), QPoint(20, 60)}) {
    EXPECT_EQ(image.pixelColor(p), background) << p.x() << "," << p.y();
  }

  // The trace: its colour shows along its lines and nowhere else.
  std::vector<Segment> trace;
  QColor traceColor;
  std::optional<Segment> cursor;
  QColor cursorColor;
  for (const QJsonValue& v : ops) {
    const QJsonObject op = v.toObject();
    if (op["op"].toString() != "line") continue;
    const QColor c = ColorOf(op["pen"].toObject()["color"]);
    const Segment s{PointOf(op["from"]), PointOf(op["to"])};
    if (c == QColor(0, 0, 255)) {
      traceColor = c;
      trace.push_back(s);
    } else if (c == QColor(255, 0, 0)) {
      cursorColor = c;
      cursor = s;
    }
  }
  ASSERT_GT(trace.size(), 1000u);
  int tracePixels = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (image.pixelColor(x, y) != traceColor) continue;
      ++tracePixels;
      bool nearTrace = false;
      for (const Segment& s : trace) {
        if (DistanceToSegment(QPointF(x, y), s) <= 1.0) {
          nearTrace = true;
          break;
        }
      }
      ASSERT_TRUE(nearTrace) << "trace colour at " << x << "," << y;
    }
  }
  EXPECT_GT(tracePixels, 500);

  // The dotted cursor line at the click: its dots are red and its gaps black, even
  // where it crosses the green grid.
  ASSERT_TRUE(cursor.has_value());
  EXPECT_EQ(cursor->from.x(), 300);
  int red = 0;
  for (int y = cursor->to.y() + 1; y < cursor->from.y(); ++y) {
    const QColor c = image.pixelColor(300, y);
    if (c == cursorColor) ++red;
    EXPECT_TRUE(c == cursorColor || c == background) << "y " << y;
  }
  EXPECT_GT(red, (height - 80) / 3);

  // The title, centred at the bottom, in green.
  int green = 0;
  for (int y = height - 17; y < height - 4; ++y) {
    for (int x = width / 2 - 40; x < width / 2 + 40; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.green() > 100 && c.red() < 60 && c.blue() < 100) ++green;
    }
  }
  EXPECT_GT(green, 20);

  std::ifstream svg(dir_ / "g.svg");
  const std::string svgText((std::istreambuf_iterator<char>(svg)), {});
  EXPECT_NE(svgText.find("<svg"), std::string::npos);
  std::ifstream pdf(dir_ / "g.pdf", std::ios::binary);
  std::string magic(4, '\0');
  pdf.read(magic.data(), 4);
  EXPECT_EQ(magic, "%PDF");
}

TEST_F(DumpImageTest, UnknownImageTypeFailsTheScript) {
  EXPECT_NE(RunScript("command 32837\ndump g.bmp\n"), 0);
  EXPECT_FALSE(fs::exists(dir_ / "g.bmp"));
}

}  // namespace
