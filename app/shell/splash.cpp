#include "app/shell/splash.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace quarn {

CSplashWnd* CSplashWnd::instance_ = nullptr;

CSplashWnd* CSplashWnd::ShowSplashScreen(QWidget* mainFrame, int milliseconds) {
  if (instance_ != nullptr) return nullptr;
  const QPixmap image(":/splash.png");
  if (image.isNull()) return nullptr;  // a missing image skips the splash
  instance_ = new CSplashWnd(mainFrame, image, milliseconds);
  return instance_;
}

CSplashWnd::CSplashWnd(QWidget* mainFrame, const QPixmap& image, int milliseconds)
    : QWidget(mainFrame, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      image_(image),
      mainFrame_(mainFrame) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(image_.size());
  setCursor(Qt::ArrowCursor);
  QRect area = mainFrame != nullptr ? mainFrame->geometry() : QRect();
  if (area.isEmpty() && QGuiApplication::primaryScreen() != nullptr) {
    area = QGuiApplication::primaryScreen()->geometry();
  }
  move(area.center() - rect().center());
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &CSplashWnd::HideSplashScreen);
  timer_.start(milliseconds);
  show();
  raise();
}

CSplashWnd::~CSplashWnd() {
  if (instance_ == this) instance_ = nullptr;
}

void CSplashWnd::HideSplashScreen() {
  if (instance_ == this) instance_ = nullptr;
  timer_.stop();
  hide();
  if (mainFrame_) mainFrame_->repaint();
  deleteLater();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, image_);
}

bool SplashInputFilter::eventFilter(QObject* watched, QEvent* event) {
  CSplashWnd* splash = CSplashWnd::current();
  if (splash != nullptr) {
    switch (event->type()) {
      case QEvent::ShortcutOverride:
        // Claim the key so no accelerator fires; its key press then hides the splash.
        event->accept();
        return true;
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::NonClientAreaMouseButtonPress:
        splash->HideSplashScreen();
        return true;  // consumed: the main window never sees it
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quarn
