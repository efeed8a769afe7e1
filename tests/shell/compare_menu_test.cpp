// File > Compare With... and End Compare in the desktop program: the Open dialog
// gives the flight to compare, and End Compare is offered only while one is.

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/quarn_app.h"
#include "app/shell/main_frame.h"
#include "base/command_ids.h"
#include "shell/shell_app.h"

namespace quarn {
namespace {

class CompareMenu : public ::testing::Test {
 protected:
  struct AppFirst {
    AppFirst() { testing::ShellApp(); }
  } app_;
  CMainFrame frame_{"."};
};

TEST_F(CompareMenu, EndCompareIsOfferedOnlyWhileAFlightIsCompared) {
  QMenu* file = frame_.menuBar()->findChildren<QMenu*>().value(0);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->actions().contains(frame_.ActionFor(ID_COMPARE_WITH)));
  EXPECT_TRUE(file->actions().contains(frame_.ActionFor(ID_END_COMPARE)));
  EXPECT_FALSE(frame_.ActionFor(ID_END_COMPARE)->isEnabled());

  frame_.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
  frame_.RunCommand(ID_SELECT_RECORD_FILE);
  frame_.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/midnight.dat");
  frame_.ui().AnswerNextAlignmentWith("takeoff");
  frame_.RunCommand(ID_COMPARE_WITH);
  EXPECT_EQ(frame_.app().doc().compareAlignment(), CompareAlignment::Takeoff);
  const Flight* compared = frame_.app().doc().comparedFlight();
  ASSERT_NE(compared, nullptr);
  EXPECT_EQ(compared->recordPath, QUARN_EXAMPLES_DIR "/midnight.dat");
  EXPECT_TRUE(frame_.ActionFor(ID_END_COMPARE)->isEnabled());

  frame_.RunCommand(ID_END_COMPARE);
  EXPECT_EQ(frame_.app().doc().comparedFlight(), nullptr);
  EXPECT_FALSE(frame_.ActionFor(ID_END_COMPARE)->isEnabled());
}

}  // namespace
}  // namespace quarn
