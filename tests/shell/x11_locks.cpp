#include "shell/x11_locks.h"

#include <QGuiApplication>
// X11's headers define names that Qt's use: they come after Qt's.
#include <X11/XKBlib.h>

namespace quarn::testing {

bool SetCapsLock(bool on) {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return false;
  Display* display = x11->display();
  XkbLockModifiers(display, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
  XSync(display, False);
  return true;
}

}  // namespace quarn::testing
