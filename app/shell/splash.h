#pragma once
// The start-up splash: shown for three seconds or until the first key or click,
// which it consumes.

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quarn {

class CSplashWnd : public QWidget {
  Q_OBJECT

 public:
  // Shows the splash over the main frame unless one is already up or the image is
  // missing; returns the window, or nullptr.
  static CSplashWnd* ShowSplashScreen(QWidget* mainFrame, int milliseconds = 3000);
  static CSplashWnd* current() { return instance_; }

  // Hides and destroys the splash and repaints the main frame at once.
  void HideSplashScreen();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CSplashWnd(QWidget* mainFrame, const QPixmap& image, int milliseconds);
  ~CSplashWnd() override;

  QPixmap image_;
  QPointer<QWidget> mainFrame_;
  QTimer timer_;
  static CSplashWnd* instance_;
};

// Hides the splash at the first key press or mouse click anywhere in the program,
// and swallows that input.
class SplashInputFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quarn
