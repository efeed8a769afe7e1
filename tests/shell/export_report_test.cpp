// File > Export Report in the desktop program: the Save dialog, the report written
// whole with the view left as it was, and a message when the folder is missing.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/quarn_app.h"
#include "app/shell/main_frame.h"
#include "base/command_ids.h"
#include "base/flight.h"
#include "base/view_state.h"
#include "shell/shell_app.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

class ExportReport : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_.resize(900, 700);
    frame_.show();
    frame_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame_));
    frame_.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
    frame_.RunCommand(ID_SELECT_RECORD_FILE);
    ASSERT_EQ(frame_.app().doc().flight().recordPath, QUARN_EXAMPLES_DIR "/flight.dat");
  }

  // Runs Export Report with path for the Save dialog's answer, closing any message
  // box, whose text it keeps.
  void RunExport(const std::string& path) {
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &frame_, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        message_ = box->text().toStdString();
        box->accept();
      }
    });
    answer.start(20);
    frame_.ui().AnswerNextSaveWith(path);
    frame_.RunCommand(ID_EXPORT_REPORT);
  }

  struct AppFirst {
    AppFirst() { testing::ShellApp(); }
  } app_;
  CMainFrame frame_{"."};
  std::string message_;
};

TEST_F(ExportReport, WritesThePdfAndLeavesTheViewAsItWas) {
  frame_.RunCommand(ID_GRAPH_TAS);
  testing::TempDir dir;
  RunExport(dir.File("flight.pdf"));
  std::ifstream in(dir.File("flight.pdf"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_EQ(message_, "");
  EXPECT_EQ(frame_.app().view().state().chartMode, kChartTas);
}

TEST_F(ExportReport, AMissingFolderIsToldAndNothingIsWritten) {
  testing::TempDir dir;
  RunExport(dir.File("gone/flight.pdf"));
  EXPECT_EQ(message_, "The report was not written: cannot write " + dir.File("gone/flight.pdf") +
                          ": the folder " + dir.File("gone") + " does not exist");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace quarn
