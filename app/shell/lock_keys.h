#pragma once
// The keyboard's lock keys (Caps Lock, Num Lock, Scroll Lock) as the status bar's
// indicators show them.

#include <optional>

class QKeyEvent;

namespace quarn {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
  bool operator==(const LockKeys&) const = default;
};

// The locks as the platform reports them now: the keyboard's indicators under X11;
// nothing where the platform does not tell.
std::optional<LockKeys> QueryLockKeys();

// The locks after a key event, for platforms that cannot be asked: a press of a lock
// key turns its lock over.
LockKeys AfterKeyPress(LockKeys locks, const QKeyEvent& event);

}  // namespace quarn
