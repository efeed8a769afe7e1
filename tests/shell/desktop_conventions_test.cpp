// The keys, the mouse wheel and the file dialog a desktop user reaches for, under
// Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>

#include "app/quarn_app.h"
#include "app/shell/dialogs.h"
#include "app/shell/main_frame.h"
#include "app/shell/qt_ui.h"
#include "base/command_ids.h"
#include "base/flight.h"
#include "base/program_dir.h"
#include "base/view_state.h"
#include "platform/file_services.h"
#include "shell/shell_app.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

class DesktopConventions : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_.resize(900, 700);
    frame_.show();
    frame_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame_));
  }
  void LoadExampleRecord() {
    frame_.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
    frame_.RunCommand(ID_SELECT_RECORD_FILE);
    ASSERT_EQ(frame_.app().doc().flight().recordPath, QUARN_EXAMPLES_DIR "/flight.dat");
  }
  void Wheel(int angle, Qt::KeyboardModifiers modifiers) {
    const QPointF at(200, 200);
    QWheelEvent event(at, frame_.viewWindow().mapToGlobal(at), QPoint(), QPoint(0, angle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&frame_.viewWindow(), &event);
  }

  struct AppFirst {
    AppFirst() { testing::ShellApp(); }
  } app_;  // the application is made before the frame
  CMainFrame frame_{"."};
};

TEST_F(DesktopConventions, CtrlOSelectsARecord) {
  EXPECT_EQ(frame_.ActionFor(ID_SELECT_RECORD_FILE)->shortcut(), QKeySequence("Ctrl+O"));
  frame_.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
  QTest::keyClick(&frame_.viewWindow(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(frame_.app().doc().flight().recordPath, QUARN_EXAMPLES_DIR "/flight.dat");
}

TEST_F(DesktopConventions, CtrlQEndsTheProgram) {
  EXPECT_EQ(frame_.ActionFor(ID_APP_EXIT)->shortcut(), QKeySequence("Ctrl+Q"));
  // The key ends the running event loop with status 0; a stuck loop ends with 1.
  QTimer::singleShot(0, &frame_, [this] {
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_Q, Qt::ControlModifier);
  });
  QTimer stuck;
  stuck.setSingleShot(true);
  QObject::connect(&stuck, &QTimer::timeout, [] { QApplication::exit(1); });
  stuck.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(frame_.isVisible());
  // The last window's closing also posts a quit; left queued, it would end the next
  // test's dialogs the moment they open.
  QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
}

TEST_F(DesktopConventions, MainKeyboardPlusAndMinusMoveTheCursorLikeTheKeypads) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int offset;  // from 20
  };
  const Case cases[] = {
      {Qt::Key_Plus, Qt::KeypadModifier, 30},  {Qt::Key_Plus, Qt::NoModifier, 30},
      {Qt::Key_Plus, Qt::ShiftModifier, 30},  // "+" over "=" on many layouts
      {Qt::Key_Minus, Qt::KeypadModifier, 10}, {Qt::Key_Minus, Qt::NoModifier, 10},
      {Qt::Key_Equal, Qt::NoModifier, 20},  // not a cursor key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_Home);
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&frame_.viewWindow(), Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(frame_.app().view().state().cursorOffset, 20);
    QTest::keyClick(&frame_.viewWindow(), c.key, c.modifiers);
    EXPECT_EQ(frame_.app().view().state().cursorOffset, c.offset);
  }
}

TEST_F(DesktopConventions, CtrlWithTheWheelZoomsTheChartANotchAStep) {
  LoadExampleRecord();
  frame_.RunCommand(ID_GRAPH_ALTITUDE);
  struct Step {
    int angle;
    Qt::KeyboardModifiers modifiers;
    int zoomLevel;
  };
  const Step steps[] = {
      {120, Qt::ControlModifier, 2},  {120, Qt::NoModifier, 2},  // a plain wheel: no zoom
      {240, Qt::ControlModifier, 4},  {-120, Qt::ControlModifier, 3},
      {60, Qt::ControlModifier, 3},   {60, Qt::ControlModifier, 4},  // half notches add up
      {-360, Qt::ControlModifier, 1},
  };
  ASSERT_EQ(frame_.app().view().state().zoomLevel, 1);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.angle);
    Wheel(s.angle, s.modifiers);
    EXPECT_EQ(frame_.app().view().state().zoomLevel, s.zoomLevel);
  }
}

TEST_F(DesktopConventions, AboutBoxShowsTheDataDirectory) {
  CAboutDlg about("/home/pilot/.local/share/quarn", &frame_);
  const auto* label = about.findChild<QLabel*>("dataDir");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Data directory: /home/pilot/.local/share/quarn");
}

TEST(OpenDialogFilter, AnyNamePatternBecomesAStar) {
  struct Case {
    const char* filter;
    const char* qt;
  };
  const Case cases[] = {
      {"Aerolog Files (*.dat)|*.dat|All Files (*.*)|*.*||", "Aerolog Files (*.dat);;All Files (*)"},
      {"Scenery (*.bgl;*.*)|*.bgl;*.*||", "Scenery (*.bgl;*)"},
      {"Dotted (*.*.bak)|*.*.bak||", "Dotted (*.*.bak)"},  // a dot after: a real pattern
  };
  for (const Case& c : cases) EXPECT_EQ(ToQtFilter(c.filter).toStdString(), c.qt);
}

// The names a file dialog lists under its current name filter, once it has read them.
QStringList ListedNames(QFileDialog& dialog, int expectedCount) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  if (model == nullptr) return {};
  const QModelIndex root = model->index(dialog.directory().absolutePath());
  (void)QTest::qWaitFor([&] { return model->rowCount(root) == expectedCount; }, 5000);
  QStringList names;
  for (int row = 0; row < model->rowCount(root); ++row)
    names << model->index(row, 0, root).data().toString();
  names.sort();
  return names;
}

TEST_F(DesktopConventions, AllFilesListsNamesWithoutADot) {
  testing::TempDir dir;
  for (const char* name : {"flight.dat", "NOTES", "plan.txt"}) std::ofstream(dir.File(name)) << "x";
  const std::string savedDir = CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectory(dir.path()));
  QStringList records, all;
  QTimer::singleShot(0, &frame_, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    records = ListedNames(*dialog, 1);
    dialog->selectNameFilter("All Files (*)");
    all = ListedNames(*dialog, 3);
    dialog->reject();
  });
  frame_.RunCommand(ID_SELECT_RECORD_FILE);  // the dialog, answered by the timer
  SetCurrentDirectory(savedDir);
  EXPECT_EQ(records, QStringList({"flight.dat"}));
  EXPECT_EQ(all, QStringList({"NOTES", "flight.dat", "plan.txt"}));
  EXPECT_TRUE(frame_.app().doc().flight().recordPath.empty());
}

TEST(ColumnMapDialog, RowsMakeTheMapAndUnitsFollowTheChannel) {
  testing::ShellApp();
  CColumnMapDlg dialog;
  const std::string map =
      R"({"when":{"channel":"timestamp","unit":"ms"},"north":{"channel":"latitude"},)"
      R"("height":{"channel":"altitude","unit":"m"}})";
  dialog.Set("f.txt", "no time column", {"when", "north", "east", "height"}, map);
  // The map given comes back from the rows; the unnamed column stays unread.
  EXPECT_EQ(
      dialog.Map(),
      R"({"when":{"channel":"timestamp","unit":"ms"},"north":{"channel":"latitude","unit":"deg"},)"
      R"("height":{"channel":"altitude","unit":"m"}})");
  auto* channel = static_cast<QComboBox*>(dialog.table()->cellWidget(2, 1));
  auto* unit = static_cast<QComboBox*>(dialog.table()->cellWidget(2, 2));
  EXPECT_FALSE(unit->isEnabled());  // nothing read, no unit
  channel->setCurrentText("groundspeed");
  QStringList units;
  for (int i = 0; i < unit->count(); ++i) units << unit->itemText(i);
  EXPECT_EQ(units, (QStringList{"kt", "m/s", "km/h"}));
  unit->setCurrentText("km/h");
  EXPECT_NE(dialog.Map().find(R"("east":{"channel":"groundspeed","unit":"km/h"})"),
            std::string::npos);
}

}  // namespace
}  // namespace quarn
