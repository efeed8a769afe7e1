// The Logbook window under Qt's offscreen platform: a folder read off the GUI thread,
// sorting by value, the filter, the CSV export, the remembered folders, and File >
// Logbook in the main window.

#include "app/shell/logbook_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "base/command_ids.h"
#include "shell/shell_app.h"
#include "support/temp_dir.h"

namespace quarn {
namespace {

class LogbookWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ShellApp();
    std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/flight.dat", FlightPath());
  }

  std::string FlightPath() const { return flights_.File("flight.dat"); }

  LogbookWindowOptions Options(const QString& settingsKey = QString()) const {
    LogbookWindowOptions options;
    options.dataDir = data_.path();
    options.settingsKey = settingsKey;
    return options;
  }

  static bool WaitUntilRead(const LogbookWindow& window) {
    return QTest::qWaitFor([&window] { return !window.busy(); }, 60000);
  }

  static int ColumnOf(std::string_view name) {
    const auto columns = LogbookColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (name == columns[i]) return static_cast<int>(i);
    }
    return -1;
  }

  static std::vector<std::string> ColumnTexts(QSortFilterProxyModel& rows, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < rows.rowCount(); ++row) {
      texts.push_back(rows.index(row, column).data().toString().toStdString());
    }
    return texts;
  }

  static std::string TotalsOf(const std::vector<LogbookEntry>& entries) {
    QStringList lines;
    for (const std::string& line : LogbookTotalsText(LogbookTotalsOf(entries))) {
      lines << QString::fromStdString(line);
    }
    return lines.join('\n').toStdString();
  }

  static std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  testing::TempDir flights_;
  testing::TempDir data_;
};

TEST_F(LogbookWindowTest, ReadsAFolderOffTheGuiThreadAndOpensALegOnDoubleClick) {
  LogbookWindow window(Options());
  EXPECT_EQ(window.windowTitle(), "Logbook");
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QSignalSpy refreshed(&window, &LogbookWindow::refreshed);
  window.AddFolder(QString::fromStdString(flights_.path()));
  // The window is not held up by the reading.
  EXPECT_TRUE(window.busy());
  ASSERT_TRUE(WaitUntilRead(window));
  EXPECT_EQ(refreshed.count(), 1);

  const std::vector<LogbookEntry>& entries = window.result().entries;
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].file, FlightPath());
  EXPECT_EQ(window.rows().rowCount(), static_cast<int>(entries.size()));
  EXPECT_EQ(window.rows().columnCount(), static_cast<int>(LogbookColumns().size()));
  EXPECT_TRUE(window.result().failures.empty());
  EXPECT_EQ(window.totalsLabel().text().toStdString(), TotalsOf(entries));
  EXPECT_EQ(window.chart().points().size(), LandingRatePointsOf(entries).size());

  QSignalSpy activated(&window, &LogbookWindow::flightActivated);
  const QModelIndex first = window.rows().index(0, 0);
  // The view takes a double click only on the item the press before was on.
  QTest::mouseClick(window.table().viewport(), Qt::LeftButton, {},
                    window.table().visualRect(first).center());
  QTest::mouseDClick(window.table().viewport(), Qt::LeftButton, {},
                     window.table().visualRect(first).center());
  ASSERT_EQ(activated.count(), 1);
  EXPECT_EQ(activated[0][0].toString().toStdString(), FlightPath());
}

TEST_F(LogbookWindowTest, NumericColumnsSortByValueWithUnknownValuesFirst) {
  const int rate = ColumnOf("landing_rate_fpm");
  ASSERT_GE(rate, 0);
  LogbookWindow window(Options());
  auto& model = static_cast<LogbookTableModel&>(*window.rows().sourceModel());
  std::vector<LogbookEntry> entries(5);
  entries[0].landingRateFpm = 95.4;
  entries[1].landingRateFpm = 1000;
  entries[3].landingRateFpm = 250.6;
  entries[4].landingRateFpm = -0.3;  // shown as 0, not -0
  model.SetEntries(entries);
  window.table().sortByColumn(rate, Qt::AscendingOrder);
  EXPECT_EQ(ColumnTexts(window.rows(), rate),
            (std::vector<std::string>{"", "0", "95", "251", "1000"}));
  window.table().sortByColumn(rate, Qt::DescendingOrder);
  EXPECT_EQ(ColumnTexts(window.rows(), rate),
            (std::vector<std::string>{"1000", "251", "95", "0", ""}));
}

TEST_F(LogbookWindowTest, TheFilterLooksInEveryColumnAndTheSummaryFollowsIt) {
  LogbookWindow window(Options());
  window.AddFolder(QString::fromStdString(flights_.path()));
  ASSERT_TRUE(WaitUntilRead(window));
  const int all = window.rows().rowCount();
  ASSERT_GT(all, 0);
  struct Case {
    const char* text;
    int rows;
  };
  const Case cases[] = {
      {"FLIGHT.DAT", all},  // the file's name, in any case
      {"dat", all},         // the format
      {"no such flight", 0},
      {"", all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    window.filterEdit().setText(c.text);
    EXPECT_EQ(window.rows().rowCount(), c.rows);
    EXPECT_EQ(window.totalsLabel().text().toStdString(), TotalsOf(window.ShownEntries()));
    EXPECT_EQ(window.chart().points().size(), LandingRatePointsOf(window.ShownEntries()).size());
  }
}

TEST_F(LogbookWindowTest, ExportsTheRowsShownAsCsvOrSaysWhyNot) {
  LogbookWindow window(Options());
  window.AddFolder(QString::fromStdString(flights_.path()));
  ASSERT_TRUE(WaitUntilRead(window));
  const std::vector<LogbookEntry>& entries = window.result().entries;

  testing::TempDir out;
  EXPECT_EQ(window.WriteCsv(out.File("logbook.csv")), "");
  std::vector<std::string> expected = {LogbookCsvHeader()};
  for (const LogbookEntry& e : entries) expected.push_back(LogbookCsvRow(e));
  EXPECT_EQ(FileLines(out.File("logbook.csv")), expected);

  window.filterEdit().setText("no such flight");
  EXPECT_EQ(window.WriteCsv(out.File("logbook.csv")), "");
  EXPECT_EQ(FileLines(out.File("logbook.csv")), std::vector<std::string>{LogbookCsvHeader()});

  const std::string missing = out.File("gone/logbook.csv");
  EXPECT_EQ(window.WriteCsv(missing).rfind("cannot write " + missing, 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(out.File("gone")));
}

TEST_F(LogbookWindowTest, TheFoldersAreRememberedForTheNextWindow) {
  const QString key = "test/logbookFolders";
  QSettings("QUARN", "QUARN").remove(key);
  {
    LogbookWindow first(Options(key));
    first.AddFolder(QString::fromStdString(flights_.path()));
    first.AddFolder(QString::fromStdString(flights_.path()));  // once only
    ASSERT_TRUE(WaitUntilRead(first));
  }
  LogbookWindow second(Options(key));
  EXPECT_EQ(second.folders(), QStringList{QString::fromStdString(flights_.path())});
  QSettings("QUARN", "QUARN").remove(key);
}

TEST_F(LogbookWindowTest, FileLogbookOpensOneWindowWhoseLegsOpenInTheMainWindow) {
  CMainFrame frame{data_.path()};
  frame.show();
  frame.RunCommand(ID_LOGBOOK);
  LogbookWindow* window = frame.logbookWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  window->close();
  frame.RunCommand(ID_LOGBOOK);
  EXPECT_EQ(frame.logbookWindow(), window);
  EXPECT_TRUE(window->isVisible());
  ASSERT_TRUE(WaitUntilRead(*window));

  emit window->flightActivated(QString::fromStdString(FlightPath()));
  EXPECT_EQ(frame.app().doc().flight().recordPath, FlightPath());
}

}  // namespace
}  // namespace quarn
