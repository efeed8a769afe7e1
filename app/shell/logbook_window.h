#pragma once
// The Logbook window: every leg of the flights under the chosen folders in a table
// that sorts and filters, their totals, and their landing rates as a chart. The
// folders are read off the GUI thread; a double click opens the leg's flight.

#include <QAbstractTableModel>
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/logbook.h"
#include "charts/logbook_chart.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace quarn {

class CHalbricoDoc;

// The entries as table rows, one column for each of LogbookColumns(). The display
// shows times in ISO 8601 UTC and numbers rounded to what they are good for; the sort
// role gives numbers for the numeric columns, so that they sort by value.
class LogbookTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kSortRole = Qt::UserRole;

  explicit LogbookTableModel(QObject* parent = nullptr);

  void SetEntries(std::vector<LogbookEntry> entries);
  const std::vector<LogbookEntry>& entries() const { return entries_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<LogbookEntry> entries_;
};

// The landing-rate chart, drawn through the program's drawing context.
class LandingRateChartWidget : public QWidget {
  Q_OBJECT

 public:
  explicit LandingRateChartWidget(QWidget* parent = nullptr);
  void SetPoints(std::vector<LandingRatePoint> points);
  const std::vector<LandingRatePoint>& points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<LandingRatePoint> points_;
};

struct LogbookWindowOptions {
  std::string dataDir;  // where the logbook keeps its database
  // The navaids when they are loaded, else null; asked at each reading.
  std::function<const CHalbricoDoc*()> navaids;
  // Where the folders are remembered in the user's settings; empty: not remembered.
  QString settingsKey = "logbook/folders";
};

class LogbookWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit LogbookWindow(LogbookWindowOptions options, QWidget* parent = nullptr);
  // Waits for a reading under way: it may use the navaids and posts to this window.
  ~LogbookWindow() override;

  QStringList folders() const;
  // Adds a folder to the list (once), remembers the list and reads it again.
  void AddFolder(const QString& folder);
  // Reads the folders again off the GUI thread; during a reading, once it is shown.
  void Refresh();
  // A reading is under way or to follow.
  bool busy() const { return busy_ || refreshAgain_; }

  // Writes the rows as shown (filtered, in their order) as CSV, whole; empty when
  // written, else what went wrong.
  std::string WriteCsv(const std::string& path) const;

  // The legs shown, after the filter.
  std::vector<LogbookEntry> ShownEntries() const;

  QTableView& table() { return *table_; }
  QSortFilterProxyModel& rows() { return *proxy_; }
  QLineEdit& filterEdit() { return *filter_; }
  QLabel& totalsLabel() { return *totals_; }
  QListWidget& problemList() { return *problems_; }
  LandingRateChartWidget& chart() { return *chart_; }
  const LogbookResult& result() const { return result_; }

 signals:
  // A leg was double-clicked: its flight's file.
  void flightActivated(const QString& path);
  // A reading starts (true) or has ended (false).
  void busyChanged(bool busy);
  // The entries of a reading are shown.
  void refreshed();

 private:
  void BuildWidgets();
  void ChooseFolder();
  void RemoveSelectedFolder();
  void ChooseCsvFile();
  void RememberFolders() const;
  void SetBusy(bool busy);
  // Asks the reading to start no further file; what was read is shown and kept.
  void StopReading();
  void ShowProgress(int done, int total);
  void ShowResult(LogbookResult result);
  // The totals and the chart follow the rows the filter lets through.
  void UpdateSummary();

  LogbookWindowOptions options_;
  LogbookTableModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QListWidget* folders_ = nullptr;
  QPushButton* refreshButton_ = nullptr;
  QPushButton* stopButton_ = nullptr;
  QLabel* totals_ = nullptr;
  QListWidget* problems_ = nullptr;
  LandingRateChartWidget* chart_ = nullptr;
  LogbookResult result_;
  bool busy_ = false;
  bool refreshAgain_ = false;
  std::jthread worker_;  // last: joined before anything it posts to goes
};

// The landings among the entries, for the chart: those with a rate and a touchdown.
std::vector<LandingRatePoint> LandingRatePointsOf(std::span<const LogbookEntry> entries);

}  // namespace quarn
