#pragma once
// The desktop program's start-up: options, the main frame, the splash.

namespace quarn {

class CHalbricoApp {
 public:
  // Runs the program; returns its exit status.
  int Run(int argc, char** argv);
};

}  // namespace quarn
