#include "app/shell/logbook_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/file_writer.h"
#include "platform/qt/qt_draw_context.h"

namespace quarn {
namespace {

QSettings Settings() {
  return QSettings("QUARN", "QUARN");
}

// How a column of the entries is shown and sorted.
struct ColumnView {
  const char* name;
  // A text column: its value. A number column: its value and decimals shown.
  std::string (*text)(const LogbookEntry&) = nullptr;
  std::optional<double> (*number)(const LogbookEntry&) = nullptr;
  int decimals = 0;
};

// The columns the window knows by name; any other is shown as the CSV has it.
const ColumnView kColumnViews[] = {
    {"file", [](const LogbookEntry& e) { return e.file; }},
    {"format", [](const LogbookEntry& e) { return e.format; }},
    {"leg", nullptr, [](const LogbookEntry& e) { return std::optional<double>(e.leg); }},
    {"date", [](const LogbookEntry& e) { return e.date; }},
    {"callsign", [](const LogbookEntry& e) { return e.callsign; }},
    {"departure", [](const LogbookEntry& e) { return e.departure; }},
    {"arrival", [](const LogbookEntry& e) { return e.arrival; }},
    {"out", [](const LogbookEntry& e) { return LogbookTimeText(e.out); }},
    {"off", [](const LogbookEntry& e) { return LogbookTimeText(e.off); }},
    {"on", [](const LogbookEntry& e) { return LogbookTimeText(e.on); }},
    {"in", [](const LogbookEntry& e) { return LogbookTimeText(e.in); }},
    {"air_time_min", nullptr, [](const LogbookEntry& e) { return e.airTimeMin; }},
    {"distance_nm", nullptr, [](const LogbookEntry& e) { return e.distanceNm; }, 1},
    {"max_altitude_ft", nullptr, [](const LogbookEntry& e) { return e.maxAltitudeFt; }},
    {"landing_rate_fpm", nullptr, [](const LogbookEntry& e) { return e.landingRateFpm; }},
    {"landing_rate_confidence", [](const LogbookEntry& e) { return e.landingRateConfidence; }},
    {"touchdown_past_threshold_ft", nullptr,
     [](const LogbookEntry& e) { return e.touchdownPastThresholdFt; }},
    {"touchdown_off_centreline_m", nullptr,
     [](const LogbookEntry& e) { return e.touchdownOffCentrelineM; }, 1},
    {"verdict", [](const LogbookEntry& e) { return e.verdict; }},
    {"status", [](const LogbookEntry& e) { return std::string(e.missing ? "missing" : "ok"); }},
};

const ColumnView* ViewOfColumn(std::string_view name) {
  for (const ColumnView& view : kColumnViews) {
    if (name == view.name) return &view;
  }
  return nullptr;
}

// The fields of one CSV row, quotes undone.
std::vector<std::string> SplitCsvRow(std::string_view row) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quoted) {
      if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Rounded to the decimals, without a "-0" for a small negative value.
QString NumberText(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0) rounded = 0;
  return QString::number(rounded, 'f', decimals);
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

std::vector<LandingRatePoint> LandingRatePointsOf(std::span<const LogbookEntry> entries) {
  std::vector<LandingRatePoint> points;
  for (const LogbookEntry& e : entries) {
    if (!e.landingRateFpm || !e.on) continue;
    points.push_back({*e.on, *e.landingRateFpm, e.landingRateConfidence == "low"});
  }
  return points;
}

// ---- The table model ----

LogbookTableModel::LogbookTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogbookTableModel::SetEntries(std::vector<LogbookEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

int LogbookTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int LogbookTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(LogbookColumns().size());
}

QVariant LogbookTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != kSortRole &&
      role != Qt::TextAlignmentRole) {
    return {};
  }
  const LogbookEntry& entry = entries_[static_cast<std::size_t>(index.row())];
  const std::string_view name = LogbookColumns()[static_cast<std::size_t>(index.column())];
  if (role == Qt::ToolTipRole && name != "file") return {};
  const ColumnView* view = ViewOfColumn(name);
  if (view != nullptr && view->number != nullptr) {
    const std::optional<double> value = view->number(entry);
    switch (role) {
      case Qt::TextAlignmentRole:
        return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
      case kSortRole:
        // Unknown values sort before every number.
        return value.value_or(std::numeric_limits<double>::lowest());
      default:
        return value ? NumberText(*value, view->decimals) : QString();
    }
  }
  if (role == Qt::TextAlignmentRole) return {};
  if (view == nullptr) {
    // A column this window does not know: the CSV's field.
    const std::vector<std::string> fields = SplitCsvRow(LogbookCsvRow(entry));
    const auto column = static_cast<std::size_t>(index.column());
    return column < fields.size() ? Text(fields[column]) : QString();
  }
  const std::string text = view->text(entry);
  // The file by its name; the whole path in the tool tip.
  if (name == "file" && role == Qt::DisplayRole) return QFileInfo(Text(text)).fileName();
  return Text(text);
}

QVariant LogbookTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(LogbookColumns()[static_cast<std::size_t>(section)]);
}

// ---- The chart ----

LandingRateChartWidget::LandingRateChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 200);
}

void LandingRateChartWidget::SetPoints(std::vector<LandingRatePoint> points) {
  points_ = std::move(points);
  update();
}

void LandingRateChartWidget::paintEvent(QPaintEvent*) {
  // Drawn on an image as the chart windows are, then shown.
  QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    QtDrawContext dc(painter);
    DrawLandingRateChart(dc, points_, Rect{0, 0, width(), height()});
  }
  QPainter(this).drawImage(0, 0, image);
}

// ---- The window ----

LogbookWindow::LogbookWindow(LogbookWindowOptions options, QWidget* parent)
    : QMainWindow(parent, Qt::Window), options_(std::move(options)) {
  setWindowTitle("Logbook");
  BuildWidgets();
  if (!options_.settingsKey.isEmpty()) {
    folders_->addItems(Settings().value(options_.settingsKey).toStringList());
  }
  statusBar()->showMessage(folders_->count() == 0 ? "Add a folder of flights" : "Ready");
  resize(1000, 700);
}

LogbookWindow::~LogbookWindow() {
  // A window closed while it reads waits for the files being read, not for the rest.
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
}

void LogbookWindow::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  // The folders and what is done with them.
  auto* folderRow = new QHBoxLayout;
  folders_ = new QListWidget(central);
  folders_->setMaximumHeight(80);
  folderRow->addWidget(folders_, 1);
  auto* buttons = new QVBoxLayout;
  auto* addButton = new QPushButton("Add Folder...", central);
  auto* removeButton = new QPushButton("Remove Folder", central);
  refreshButton_ = new QPushButton("Refresh", central);
  stopButton_ = new QPushButton("Stop", central);
  stopButton_->setEnabled(false);
  auto* exportButton = new QPushButton("Export CSV...", central);
  for (QPushButton* b : {addButton, removeButton, refreshButton_, stopButton_, exportButton}) {
    buttons->addWidget(b);
  }
  buttons->addStretch();
  folderRow->addLayout(buttons);
  layout->addLayout(folderRow);
  connect(addButton, &QPushButton::clicked, this, &LogbookWindow::ChooseFolder);
  connect(removeButton, &QPushButton::clicked, this, &LogbookWindow::RemoveSelectedFolder);
  connect(refreshButton_, &QPushButton::clicked, this, &LogbookWindow::Refresh);
  connect(stopButton_, &QPushButton::clicked, this, &LogbookWindow::StopReading);
  connect(exportButton, &QPushButton::clicked, this, &LogbookWindow::ChooseCsvFile);

  filter_ = new QLineEdit(central);
  filter_->setPlaceholderText("Filter: any text of any column");
  filter_->setClearButtonEnabled(true);
  layout->addWidget(filter_);

  model_ = new LogbookTableModel(this);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(LogbookTableModel::kSortRole);
  proxy_->setFilterKeyColumn(-1);
  proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    proxy_->setFilterFixedString(text);
    UpdateSummary();
  });

  auto* splitter = new QSplitter(Qt::Vertical, central);
  table_ = new QTableView(splitter);
  table_->setModel(proxy_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  // In the logbook's own order until a column is chosen.
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);
  connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const QModelIndex source = proxy_->mapToSource(index);
    if (!source.isValid()) return;
    emit flightActivated(Text(model_->entries()[static_cast<std::size_t>(source.row())].file));
  });

  auto* below = new QWidget(splitter);
  auto* belowLayout = new QHBoxLayout(below);
  belowLayout->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout;
  totals_ = new QLabel(below);
  totals_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  left->addWidget(totals_);
  problems_ = new QListWidget(below);
  problems_->hide();
  left->addWidget(problems_, 1);
  left->addStretch();
  belowLayout->addLayout(left, 1);
  chart_ = new LandingRateChartWidget(below);
  belowLayout->addWidget(chart_, 2);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  layout->addWidget(splitter, 1);

  setCentralWidget(central);
  UpdateSummary();
}

QStringList LogbookWindow::folders() const {
  QStringList list;
  for (int i = 0; i < folders_->count(); ++i) list << folders_->item(i)->text();
  return list;
}

void LogbookWindow::AddFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  if (!folders().contains(folder)) {
    folders_->addItem(folder);
    RememberFolders();
  }
  Refresh();
}

void LogbookWindow::ChooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(this, "Add a folder of flights");
  AddFolder(folder);
}

void LogbookWindow::RemoveSelectedFolder() {
  const int row = folders_->currentRow();
  if (row < 0) return;
  delete folders_->takeItem(row);
  RememberFolders();
  Refresh();
}

void LogbookWindow::RememberFolders() const {
  if (!options_.settingsKey.isEmpty()) Settings().setValue(options_.settingsKey, folders());
}

void LogbookWindow::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  refreshButton_->setEnabled(!busy);
  stopButton_->setEnabled(busy);
  emit busyChanged(busy);
}

void LogbookWindow::Refresh() {
  if (busy_) {
    // A folder added while the last were read: read again once they are shown.
    refreshAgain_ = true;
    return;
  }
  refreshAgain_ = false;
  LogbookRequest request;
  for (const QString& folder : folders()) request.paths.push_back(folder.toStdString());
  if (request.paths.empty()) {
    ShowResult(LogbookResult{});
    return;
  }
  request.dataDir = options_.dataDir;
  request.navaids = options_.navaids ? options_.navaids() : nullptr;
  // Called from the reading threads: the window hears of it on its own thread.
  request.progress = [this](int done, int total) {
    QMetaObject::invokeMethod(
        this, [this, done, total] { ShowProgress(done, total); }, Qt::QueuedConnection);
  };
  SetBusy(true);
  statusBar()->showMessage("Looking for flights...");
  if (worker_.joinable()) worker_.join();  // the last reading has posted its result
  worker_ = std::jthread([this, request = std::move(request)](std::stop_token stop) mutable {
    request.stop = std::move(stop);
    LogbookResult result;
    try {
      result = OpenLogbook(request);
    } catch (const std::exception& e) {
      result.notes.push_back(std::string("The flights could not be read: ") + e.what());
    }
    QMetaObject::invokeMethod(
        this, [this, result = std::move(result)]() mutable { ShowResult(std::move(result)); },
        Qt::QueuedConnection);
  });
}

void LogbookWindow::StopReading() {
  if (!busy_) return;
  refreshAgain_ = false;
  worker_.request_stop();
  statusBar()->showMessage("Stopping after the files being read...");
}

void LogbookWindow::ShowProgress(int done, int total) {
  // A late word from a reading already shown, or one that is stopping.
  if (!busy_ || worker_.get_stop_token().stop_requested()) return;
  statusBar()->showMessage(QString("Reading flights: %1 of %2").arg(done).arg(total));
}

void LogbookWindow::ShowResult(LogbookResult result) {
  result_ = std::move(result);
  model_->SetEntries(result_.entries);
  problems_->clear();
  for (const std::string& note : result_.notes) problems_->addItem(Text(note));
  for (const LogbookFailure& failure : result_.failures) {
    auto* item = new QListWidgetItem(Text(failure.file + ": " + failure.message), problems_);
    item->setForeground(Qt::darkRed);
  }
  problems_->setVisible(problems_->count() > 0);
  table_->resizeColumnsToContents();
  UpdateSummary();
  statusBar()->showMessage(
      QString("%1 legs from %2 files (%3 read, %4 unchanged)%5")
          .arg(result_.entries.size())
          .arg(result_.filesRead + result_.filesKept)
          .arg(result_.filesRead)
          .arg(result_.filesKept)
          .arg(result_.failures.empty()
                   ? QString()
                   : QString(", %1 could not be read").arg(result_.failures.size())) +
      (result_.filesLeft == 0 ? QString()
                              : QString("; stopped, %1 not read yet").arg(result_.filesLeft)));
  SetBusy(false);
  emit refreshed();
  if (refreshAgain_) Refresh();
}

std::vector<LogbookEntry> LogbookWindow::ShownEntries() const {
  std::vector<LogbookEntry> shown;
  for (int row = 0; row < proxy_->rowCount(); ++row) {
    const QModelIndex source = proxy_->mapToSource(proxy_->index(row, 0));
    shown.push_back(model_->entries()[static_cast<std::size_t>(source.row())]);
  }
  return shown;
}

void LogbookWindow::UpdateSummary() {
  const std::vector<LogbookEntry> shown = ShownEntries();
  QStringList lines;
  for (const std::string& line : LogbookTotalsText(LogbookTotalsOf(shown))) lines << Text(line);
  totals_->setText(lines.join('\n'));
  chart_->SetPoints(LandingRatePointsOf(shown));
}

std::string LogbookWindow::WriteCsv(const std::string& path) const {
  std::string text = LogbookCsvHeader() + "\n";
  for (const LogbookEntry& entry : ShownEntries()) text += LogbookCsvRow(entry) + "\n";
  errno = 0;
  if (ReplaceFileContents(path, text)) return {};
  const int error = errno;
  return "cannot write " + path + (error != 0 ? std::string(": ") + std::strerror(error) : "");
}

void LogbookWindow::ChooseCsvFile() {
  QString path = QFileDialog::getSaveFileName(this, "Export CSV", QString(),
                                              "CSV files (*.csv);;All files (*)");
  if (path.isEmpty()) return;
  if (!QFileInfo(path).fileName().contains('.')) path += ".csv";
  const std::string problem = WriteCsv(path.toStdString());
  if (problem.empty()) {
    statusBar()->showMessage(QString("%1 legs written to %2").arg(proxy_->rowCount()).arg(path));
  } else {
    QMessageBox::warning(this, "Logbook", Text("The logbook was not written: " + problem));
  }
}

}  // namespace quarn
