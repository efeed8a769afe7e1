#include "app/shell/lock_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

// X11's headers define names (None, Bool, KeyPress...) that Qt's use: they come
// last, and the ones this file needs from Qt are taken back.
#include <X11/XKBlib.h>
#undef KeyPress

namespace quarn {
namespace {

bool IndicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return false;  // no indicator of that name
  int index = 0;
  int on = 0;
  if (!XkbGetNamedIndicator(display, atom, &index, &on, nullptr, nullptr)) return false;
  return on != 0;
}

}  // namespace

std::optional<LockKeys> QueryLockKeys() {
  const auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return std::nullopt;
  Display* display = x11->display();
  return LockKeys{IndicatorOn(display, "Caps Lock"), IndicatorOn(display, "Num Lock"),
                  IndicatorOn(display, "Scroll Lock")};
}

LockKeys AfterKeyPress(LockKeys locks, const QKeyEvent& event) {
  if (event.type() != QEvent::KeyPress || event.isAutoRepeat()) return locks;
  switch (event.key()) {
    case Qt::Key_CapsLock:
      locks.caps = !locks.caps;
      break;
    case Qt::Key_NumLock:
      locks.num = !locks.num;
      break;
    case Qt::Key_ScrollLock:
      locks.scroll = !locks.scroll;
      break;
    default:
      break;
  }
  return locks;
}

}  // namespace quarn
