// The desktop program as a user meets it under a window manager: records of
// different lengths, keys after a menu, the status bar while navaids load, files
// dropped on the window, the lock keys. Run under Xvfb with openbox by the tests of
// tests/CMakeLists.txt; they run under the offscreen platform too.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/shell/lock_keys.h"
#include "app/shell/main_frame.h"
#include "base/command_ids.h"
#include "shell/shell_app.h"
#include "shell/x11_locks.h"
#include "support/record_fixtures.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

class UnderAWindowManager : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame_));
    frame_.activateWindow();
    (void)QTest::qWaitForWindowActive(&frame_, 2000);
  }
  ViewState& State() { return frame_.app().view().state(); }
  // Opens a record as the Open dialog would have chosen it.
  void Select(const std::string& path) {
    frame_.ui().AnswerNextOpenWith(path);
    frame_.RunCommand(ID_SELECT_RECORD_FILE);
  }
  // The first text of the chart now shown that starts with the prefix.
  std::string ChartText(const std::string& prefix) {
    const DisplayList chart = frame_.viewWindow().RecordCurrentChart();
    for (const DrawOp& op : chart.ops()) {
      if (op.kind == DrawOp::Kind::Text && op.text.rfind(prefix, 0) == 0) return op.text;
    }
    return "";
  }
  // Clicks a command's item in its menu, the menu opened from the menu bar.
  void ClickMenuItem(const QString& title, int id) {
    QMenu* menu = nullptr;
    for (QAction* a : frame_.menuBar()->actions()) {
      if (a->text() == title) menu = a->menu();
    }
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(frame_.menuBar(), Qt::LeftButton, {},
                      frame_.menuBar()->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(frame_.ActionFor(id)).center());
  }
  void WriteList(const std::string& name, const std::vector<std::string>& bgls) {
    std::FILE* f = std::fopen(data_.File(name).c_str(), "w");
    for (const std::string& b : bgls) std::fprintf(f, "%s\n", b.c_str());
    std::fclose(f);
  }

  QApplication& app_ = testing::ShellApp();
  testing::TempDir data_;
  CMainFrame frame_{data_.path()};
};

// A record shorter than the one before shows only its own samples: the track cursor
// comes back into it, and an empty record leaves nothing on the time axis.
TEST_F(UnderAWindowManager, NothingOfTheFormerRecordShows) {
  const std::string longer =
      testing::WriteRecordFile(data_.path(), "long.dat", testing::SteadyClimb(kMaxSamples, 1));
  Select(longer);
  frame_.RunCommand(ID_GRAPH_COURSE);
  QTest::keyClick(&frame_.viewWindow(), Qt::Key_End);
  ASSERT_NE(ChartText("Time=").find("Altitude= 499990"), std::string::npos);
  Select(QUARN_EXAMPLES_DIR "/flight.dat");
  frame_.RunCommand(ID_GRAPH_COURSE);
  const int last = frame_.app().doc().flight().lastSampleIndex();
  EXPECT_EQ(State().trackCursor, last);
  EXPECT_EQ(ChartText("Time=").rfind("Time=9:3", 0), 0u) << ChartText("Time=");

  Select(testing::WriteRecordFile(data_.path(), "empty.dat", {}));
  frame_.RunCommand(ID_GRAPH_ALTITUDE);
  EXPECT_EQ(ChartText("0:0:0"), "0:0:0");
  EXPECT_EQ(ChartText("9:"), "");
}

// A menu opened with the mouse and closed with Escape gives the keys back to the chart.
TEST_F(UnderAWindowManager, KeysWorkAgainAfterAMenu) {
  Select(QUARN_EXAMPLES_DIR "/flight.dat");
  frame_.RunCommand(ID_GRAPH_ALTITUDE);
  QMenu* graph = nullptr;
  for (QAction* a : frame_.menuBar()->actions()) {
    if (a->text() == "Graph") graph = a->menu();
  }
  ASSERT_NE(graph, nullptr);
  QTest::mouseClick(frame_.menuBar(), Qt::LeftButton, {},
                    frame_.menuBar()->actionGeometry(graph->menuAction()).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return graph->isVisible(); }, 2000));
  QTest::keyClick(graph, Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !graph->isVisible(); }, 2000));
  QTest::qWait(50);
  QTest::keyClick(frame_.windowHandle(), Qt::Key_End);
  EXPECT_EQ(State().cursorOffset, frame_.viewWindow().width() - 100);
  QTest::keyClick(frame_.windowHandle(), Qt::Key_Home);
  EXPECT_EQ(State().cursorOffset, 0);
}

// Loading navaids repaints between files and ends with the totals, also without a
// fixes file.
TEST_F(UnderAWindowManager, LoadNavaidsShowsItsProgressAndEndsWithTheTotals) {
  const std::string old = QUARN_EXAMPLES_DIR "/scenery/amsterdam_old.bgl";
  WriteList("two.lis", {old, QUARN_EXAMPLES_DIR "/scenery/amsterdam_fs2000.bgl"});
  std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/quarn.fix", data_.File("quarn.fix"));
  // Something the window waits to do: it is done while the files load, not after.
  std::string seenMeanwhile;
  QTimer::singleShot(0, &frame_,
                     [&] { seenMeanwhile = frame_.statusBar()->currentMessage().toStdString(); });
  frame_.ui().AnswerNextOpenWith(data_.File("two.lis"));
  ClickMenuItem("Aerolog and Navaids", ID_LOAD_NAVAIDS);
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame_.app().doc().m_navaidsLoaded == 1; }, 5000));
  EXPECT_EQ(seenMeanwhile.rfind("Please wait:", 0), 0u) << seenMeanwhile;
  QTest::qWait(50);
  EXPECT_EQ(frame_.statusBar()->currentMessage(), "45 Navaids and 4 Fixes in memory");

  // One file, a list ending in a line break, no quarn.fix: the message, then totals.
  std::filesystem::remove(data_.File("quarn.fix"));
  WriteList("one.lis", {old});
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  closer.start(20);
  frame_.ui().AnswerNextOpenWith(data_.File("one.lis"));
  ClickMenuItem("Aerolog and Navaids", ID_LOAD_NAVAIDS);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return frame_.statusBar()->currentMessage().endsWith("Fixes in memory"); }, 5000));
  EXPECT_EQ(frame_.statusBar()->currentMessage(), "26 Navaids and 0 Fixes in memory");
}

// A record file dropped on the window is opened as the Open dialog would open it.
TEST_F(UnderAWindowManager, ADroppedRecordIsOpened) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QUARN_EXAMPLES_DIR "/flight.dat")});
  const QPoint at = frame_.viewWindow().geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame_, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame_, &drop);
  EXPECT_EQ(frame_.app().doc().flight().recordPath, QUARN_EXAMPLES_DIR "/flight.dat");
  EXPECT_TRUE(frame_.statusBar()->currentMessage().endsWith(" Points (lat,lon) in memory"));

  QMimeData text;
  text.setText("not a file");
  QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame_, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// The indicators light while their lock is on: as the X server says where there is
// one, else as the lock keys' presses say.
TEST_F(UnderAWindowManager, TheLockIndicatorsFollowTheLocks) {
  auto lit = [&](const char* name) {
    return frame_.statusBar()->findChild<QLabel*>(name)->isEnabled();
  };
  if (!testing::SetCapsLock(false)) {
    const bool before = lit("MAY");
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_CapsLock);
    EXPECT_NE(lit("MAY"), before);
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_CapsLock);
    EXPECT_EQ(lit("MAY"), before);
    return;
  }
  for (const bool on : {true, false}) {
    testing::SetCapsLock(on);
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_A);  // any key asks again
    EXPECT_EQ(lit("MAY"), on);
    EXPECT_EQ(QueryLockKeys()->caps, on);
  }
}

}  // namespace
}  // namespace quarn
