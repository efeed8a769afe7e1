// Takes a picture of the Logbook window over folders of flights, for the docs:
//
//   QT_QPA_PLATFORM=offscreen make_logbook_picture OUT.png PATH...
//
// PATH is a folder (searched recursively) or a flight file. The logbook is kept in
// memory only, and the user's settings are left alone.

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QThread>
#include <cstdio>
#include <string_view>

#include "app/shell/logbook_window.h"
#include "platform/file_writer.h"

namespace {

// Lets the window take the readings' results until none is under way.
bool WaitUntilRead(const quarn::LogbookWindow& window, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (window.busy()) {
    if (clock.elapsed() > timeoutMs) return false;
    QApplication::processEvents();
    QThread::msleep(10);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_logbook_picture OUT.png PATH...\n");
    return 2;
  }
  QApplication app(argc, argv);
  quarn::LogbookWindowOptions options;
  options.settingsKey.clear();
  quarn::LogbookWindow window(options);
  window.resize(1100, 720);
  window.show();
  for (int i = 2; i < argc; ++i) window.AddFolder(QString::fromLocal8Bit(argv[i]));
  if (!WaitUntilRead(window, 120000)) {
    std::fprintf(stderr, "make_logbook_picture: the flights were not read in time\n");
    return 1;
  }
  for (const auto& failure : window.result().failures) {
    std::fprintf(stderr, "%s: %s\n", failure.file.c_str(), failure.message.c_str());
  }
  QApplication::processEvents();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!window.grab().toImage().save(&buffer, "PNG") ||
      !quarn::ReplaceFileContents(
          argv[1], std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
    std::fprintf(stderr, "make_logbook_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %zu legs\n", argv[1], window.result().entries.size());
  return 0;
}
