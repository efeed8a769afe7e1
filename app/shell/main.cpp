// quarn: the desktop program.

#include "app/shell/halbrico_app.h"

int main(int argc, char** argv) {
  quarn::CHalbricoApp app;
  return app.Run(argc, argv);
}
