#pragma once
// Turns Caps Lock on or off on the X server the tests run on.

namespace quarn::testing {

// False when the program does not run on an X server.
bool SetCapsLock(bool on);

}  // namespace quarn::testing
