#include "app/shell/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/command_table.h"
#include "app/flight_report.h"
#include "app/shell/dialogs.h"
#include "app/shell/logbook_window.h"
#include "app/shell/splash.h"
#include "base/command_ids.h"
#include "charts/map_state.h"
#include "platform/qt/image_export.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/report_pdf.h"

// The shell's images are compiled into a static library: register them explicitly.
static void InitShellResources() {
  Q_INIT_RESOURCE(quarn);
}

namespace quarn {
namespace {

const char* ToolbarIcon(int id) {
  switch (id) {
    case ID_BLANK_VIEW:
      return "new";
    case ID_SELECT_RECORD_FILE:
      return "select_record";
    case ID_LOAD_NAVAIDS:
      return "load_navaids";
    case ID_ERASE_RADIALS:
      return "erase_radials";
    case ID_GENERAL_SUMMARY:
      return "general_summary";
    case ID_TAKEOFF_LANDING_SUMMARY:
      return "takeoff_landing";
    case ID_GRAPH_ALTITUDE:
      return "altitude";
    case ID_GRAPH_IAS:
      return "ias";
    case ID_GRAPH_TAS:
      return "tas";
    case ID_GRAPH_BANK:
      return "bank";
    case ID_GRAPH_PITCH:
      return "pitch";
    case ID_GRAPH_VERTICAL_SPEED:
      return "vertical_speed";
    case ID_GRAPH_COURSE:
      return "course";
    case ID_SIDE_VIEW:
      return "side_view";
    case ID_BOTTOM_VIEW:
      return "bottom_view";
    case ID_APPROACH_DEBRIEF:
      return "approach_debrief";
    case ID_GRAPH_COMBINED:
      return "combined";
    case ID_APP_ABOUT:
      return "about";
    case ID_ZOOM_IN:
      return "zoom_in";
    case ID_ZOOM_OUT:
      return "zoom_out";
    case ID_CURSOR_LEFT:
      return "cursor_left";
    case ID_CURSOR_RIGHT:
      return "cursor_right";
    default:
      return nullptr;
  }
}

// The layer flag behind each checkable item of the "Show Navaids" submenu.
bool MapState::*LayerFlag(int id) {
  switch (id) {
    case ID_SHOW_VOR:
      return &MapState::showVor;
    case ID_SHOW_NDB:
      return &MapState::showNdb;
    case ID_SHOW_FIX:
      return &MapState::showFix;
    case ID_SHOW_RUNWAY:
      return &MapState::showRunway;
    case ID_SHOW_AIRPORT:
      return &MapState::showAirport;
    case ID_SHOW_ID_FREQ:
      return &MapState::showIdFreq;
    case ID_SHOW_DISTANCE:
      return &MapState::showDistance;
    case ID_SHOW_MARKERS:
      return &MapState::showMarkers;
    case ID_SHOW_RADIALS:
      return &MapState::showRadials;
    default:
      return nullptr;
  }
}

QSettings Settings() {
  return QSettings("QUARN", "QUARN");
}

// The icon theme's picture for the commands that have a standard one.
QIcon ThemeIcon(int id) {
  switch (id) {
    case ID_FILE_PRINT:
      return QIcon::fromTheme("document-print");
    case ID_FILE_PRINT_PREVIEW:
      return QIcon::fromTheme("document-print-preview");
    default:
      return QIcon();
  }
}

}  // namespace

CMainFrame::CMainFrame(std::string dataDir, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      view_(new ViewWindow(this)),
      ui_(std::make_unique<QtUi>(*this)),
      app_(std::make_unique<QuarnApp>(*view_, *ui_, std::move(dataDir))) {
  InitShellResources();
  setWindowTitle("QUARN");
  setWindowIcon(QIcon(":/quarn.png"));
  setCentralWidget(view_);
  view_->SetView(&app_->view());
  app_->view().SetRecordOpenedHandler(
      [this](const std::string& path) { RememberRecentFile(QString::fromStdString(path)); });
  connect(view_, &ViewWindow::commandRequested, this, &CMainFrame::RunCommand);
  ui_->OnModalClosed([this] { GiveKeysBackToTheChart(); });
  BuildActions();
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  FitToScreen();
  setAcceptDrops(true);
  qApp->installEventFilter(this);
  ShowLockKeys(QueryLockKeys().value_or(LockKeys{}));
  view_->setFocus();
}

void CMainFrame::ShowLockKeys(const LockKeys& locks) {
  locks_ = locks;
  const std::pair<const char*, bool> indicators[] = {
      {"MAY", locks.caps}, {"NUM", locks.num}, {"DESP", locks.scroll}};
  for (const auto& [name, on] : indicators) {
    if (auto* label = statusBar()->findChild<QLabel*>(name)) label->setEnabled(on);
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // The platform's word when it has one; else the lock keys' own presses.
      if (const auto locks = QueryLockKeys()) {
        ShowLockKeys(*locks);
      } else {
        ShowLockKeys(AfterKeyPress(locks_, *static_cast<QKeyEvent*>(event)));
      }
      break;
    case QEvent::ApplicationActivate:
      // A lock may have changed while another program had the keyboard.
      if (const auto locks = QueryLockKeys()) ShowLockKeys(*locks);
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// The first local file of a drag is a record to open.
static std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (data == nullptr) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile().toStdString();
  }
  return std::nullopt;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const auto path = DroppedFile(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  app_->view().OpenRecordFile(*path);
  UpdateLayerChecks();
  GiveKeysBackToTheChart();
}

void CMainFrame::GiveKeysBackToTheChart() {
  // After the closing menu or dialog has handed its focus on, not before.
  QTimer::singleShot(0, view_, [view = view_] {
    if (view->isVisible()) view->setFocus(Qt::OtherFocusReason);
  });
}

CMainFrame::~CMainFrame() {
  // The logbook may be reading with the document's navaids: it goes while they are here.
  delete logbook_;
  view_->SetView(nullptr);  // the view goes before its window
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (!event->isAccepted()) return;
  if (CSplashWnd* splash = CSplashWnd::current()) splash->HideSplashScreen();
  QApplication::exit(0);
}

void CMainFrame::BuildActions() {
  for (const CommandInfo& c : CommandTable()) {
    auto* action = new QAction(this);
    const QString text = *c.menuText ? QString::fromUtf8(c.menuText)
                                     : QString::fromStdString(PlainMenuText(c.prompt));
    action->setText(text);
    if (*c.prompt) action->setStatusTip(QString::fromUtf8(c.prompt));
    if (*c.menuText) {
      action->setToolTip(QString::fromStdString(PlainMenuText(c.menuText)));
    } else if (*c.prompt) {
      action->setToolTip(QString::fromUtf8(c.prompt));
    }
    if (const char* icon = ToolbarIcon(c.id)) {
      action->setIcon(QIcon(QString(":/toolbar/%1.png").arg(icon)));
    } else if (const QIcon theme = ThemeIcon(c.id); !theme.isNull()) {
      action->setIcon(theme);
    }
    if (LayerFlag(c.id) != nullptr || c.id == ID_SELECT_ALL || c.id == ID_VIEW_TOOLBAR ||
        c.id == ID_VIEW_STATUS_BAR) {
      action->setCheckable(true);
    }
    const int id = c.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_.insert(id, action);
    addAction(action);  // accelerators work wherever the focus is
  }
  actions_[ID_FILE_NEW]->setShortcut(QKeySequence("Ctrl+N"));
  actions_[ID_FILE_PRINT]->setShortcut(QKeySequence("Ctrl+P"));
  // What a desktop user reaches for besides the program's own keys.
  actions_[ID_SELECT_RECORD_FILE]->setShortcut(QKeySequence("Ctrl+O"));
  actions_[ID_APP_EXIT]->setShortcut(QKeySequence("Ctrl+Q"));
}

void CMainFrame::BuildMenus() {
  QMap<QString, QMenu*> popups;
  for (const char* title : MenuPopups()) popups.insert(title, menuBar()->addMenu(title));
  QMap<QString, QMenu*> submenus;
  for (const CommandInfo& c : CommandTable()) {
    if (*c.popup == '\0') continue;
    QMenu* menu = popups.value(c.popup);
    if (*c.submenu) {
      if (!submenus.contains(c.submenu)) {
        QMenu* sub = menu->addMenu(c.submenu);
        connect(sub, &QMenu::aboutToShow, this, &CMainFrame::UpdateLayerChecks);
        submenus.insert(c.submenu, sub);
      }
      menu = submenus.value(c.submenu);
    }
    if (c.id == ID_APP_EXIT) {
      // The recent flight records stand between "&New" and "&Exit".
      recentMenu_ = menu;
      menu->addSeparator();
    }
    menu->addAction(actions_[c.id]);
  }
  RefreshRecentMenu();
  // A menu closed by Escape leaves the keyboard with the menu bar: the chart's keys
  // (arrows, Home, End) are to work again at once.
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    connect(menu, &QMenu::aboutToHide, this, &CMainFrame::GiveKeysBackToTheChart);
  }
  // "End Compare" only while a flight is compared.
  connect(popups.value("&File"), &QMenu::aboutToShow, this, &CMainFrame::UpdateCompareAction);
  UpdateCompareAction();
  QMenu* viewMenu = popups.value("&View");
  connect(viewMenu, &QMenu::aboutToShow, this, [this] {
    actions_[ID_VIEW_TOOLBAR]->setChecked(toolBar_->isVisible());
    actions_[ID_VIEW_STATUS_BAR]->setChecked(statusBar()->isVisible());
  });
}

void CMainFrame::BuildToolBar() {
  toolBar_ = addToolBar("Standard");
  toolBar_->setObjectName("toolbar128");
  toolBar_->setIconSize(QSize(15, 15));
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : ToolbarLayout()) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else {
      toolBar_->addAction(actions_[id]);
    }
  }
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  for (const char* indicator : {"MAY", "NUM", "DESP"}) {
    auto* label = new QLabel(indicator, bar);
    label->setObjectName(indicator);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(label);
  }
  ui_->SetStatusText("Ready");
}

QRect FrameClientRect(const QRect& available, const QMargins& decorations) {
  return available.marginsRemoved(decorations);
}

void CMainFrame::FitToScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The decorations are known once a window manager has framed the window; until
  // then they count as none, and the frame is fitted again when they arrive.
  const QWindow* window = windowHandle();
  fittedMargins_ = window != nullptr ? window->frameMargins() : QMargins();
  const QRect client = FrameClientRect(screen->availableGeometry(), fittedMargins_);
  setFixedSize(client.size());
  move(client.topLeft() - QPoint(fittedMargins_.left(), fittedMargins_.top()));
}

bool CMainFrame::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::StatusTip: {
      // A prompt shows while the pointer is on its item; once it leaves, the
      // program's own text comes back instead of a blank bar.
      const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
      statusBar()->showMessage(tip.isEmpty() ? ui_->statusText() : tip);
      return true;
    }
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
      if (const QWindow* window = windowHandle();
          window != nullptr && window->frameMargins() != fittedMargins_) {
        FitToScreen();
      }
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void CMainFrame::UpdateLayerChecks() {
  const MapState& map = app_->view().mapState();
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    if (bool MapState::*flag = LayerFlag(it.key())) it.value()->setChecked(map.*flag);
  }
  actions_[ID_SELECT_ALL]->setChecked(!map.selectAllTurnsOn);
}

void CMainFrame::UpdateCompareAction() {
  actions_[ID_END_COMPARE]->setEnabled(app_->doc().comparedFlight() != nullptr);
}

void CMainFrame::RunCommand(int id) {
  switch (id) {
    case ID_APP_EXIT:
      close();
      return;
    case ID_APP_ABOUT: {
      CAboutDlg about(app_->dataDir(), this);
      about.exec();
      GiveKeysBackToTheChart();
      return;
    }
    case ID_VIEW_TOOLBAR:
      toolBar_->setVisible(!toolBar_->isVisible());
      return;
    case ID_VIEW_STATUS_BAR:
      statusBar()->setVisible(!statusBar()->isVisible());
      return;
    case ID_FILE_PRINT:
      Print(true);
      return;
    case ID_FILE_PRINT_DIRECT:
      Print(false);
      return;
    case ID_FILE_PRINT_PREVIEW:
      PrintPreview();
      return;
    case ID_EXPORT_REPORT:
      ExportReport();
      return;
    case ID_LOGBOOK:
      ShowLogbook();
      return;
    default:
      break;
  }
  app_->ExecuteCommand(id);
  UpdateLayerChecks();
  UpdateCompareAction();
}

void CMainFrame::RememberRecentFile(const QString& path) {
  QSettings settings = Settings();
  QStringList files = settings.value("recentFiles").toStringList();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  settings.setValue("recentFiles", files);
  RefreshRecentMenu();
}

void CMainFrame::ForgetRecentFile(const QString& path) {
  QSettings settings = Settings();
  QStringList files = settings.value("recentFiles").toStringList();
  files.removeAll(path);
  settings.setValue("recentFiles", files);
  RefreshRecentMenu();
}

void CMainFrame::RefreshRecentMenu() {
  if (recentMenu_ == nullptr) return;
  for (QAction* a : recentActions_) {
    recentMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  const QStringList files = Settings().value("recentFiles").toStringList();
  QAction* exitAction = actions_[ID_APP_EXIT];
  for (qsizetype i = 0; i < files.size() && i < kMaxRecentFiles; ++i) {
    auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(files[i]), this);
    const std::string path = files[i].toStdString();
    connect(a, &QAction::triggered, this, [this, path] {
      // A record that no longer opens leaves the list.
      if (!app_->view().OpenRecordFile(path)) ForgetRecentFile(QString::fromStdString(path));
      UpdateLayerChecks();
    });
    recentMenu_->insertAction(exitAction, a);
    recentActions_.append(a);
  }
  if (!recentActions_.isEmpty()) {
    recentActions_.append(recentMenu_->insertSeparator(exitAction));
  }
}

void RenderOnPage(const DisplayList& list, QPrinter& printer) {
  QPainter painter(&printer);
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  const double scale = std::min(page.width() / std::max(1, list.width()),
                                page.height() / std::max(1, list.height()));
  painter.scale(scale, scale);
  // What a chart draws beyond its window (symbols near the map's edge) the window
  // clips; so does the page.
  painter.setClipRect(QRect(0, 0, list.width(), list.height()));
  ReplayDisplayList(list, painter);
}

// The page shows the current chart, drawn as the window shows it and scaled to fit.
void CMainFrame::RenderChart(QPrinter& printer) {
  RenderOnPage(view_->RecordCurrentChart(), printer);
}

void CMainFrame::Print(bool showDialog) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (showDialog) {
    QPrintDialog dialog(&printer, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    GiveKeysBackToTheChart();
    if (!accepted) return;
  }
  RenderChart(printer);
}

void CMainFrame::PrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* p) { RenderChart(*p); });
  preview.exec();
  GiveKeysBackToTheChart();
}

void CMainFrame::ExportReport() {
  Ui& ui = *ui_;
  const Flight& flight = app_->doc().flight();
  if (!flight.selected()) {
    ui.ShowMessage("Select a Aerolog File First");
    return;
  }
  auto chosen = ui.AskSaveFile({"PDF (*.pdf)|*.pdf||", "pdf"});
  if (!chosen) return;
  std::string path = *chosen;
  if (!QFileInfo(QString::fromStdString(path)).fileName().contains('.')) path += ".pdf";
  if (const std::string problem = PdfTargetProblem(path); !problem.empty()) {
    ui.ShowMessage("The report was not written: " + problem, MessageKind::Warning);
    return;
  }

  // Drawing the charts is the first half of the work, writing the pages the second.
  QProgressDialog progress("Writing the flight report...", "Cancel", 0, 100, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  auto step = [&progress](int half) {
    return [&progress, half](int done, int total) {
      progress.setValue((half * 100 + done * 100 / std::max(1, total)) / 2);
      return !progress.wasCanceled();
    };
  };
  QtTextMetrics metrics;
  const FlightReport report =
      RecordFlightReport(flight, app_->doc(), app_->view().mapState(), metrics, step(0));
  std::vector<PdfPage> pages;
  for (const auto& page : report.pages) pages.push_back({page.title, &page.list});
  std::string error;
  const bool written = !progress.wasCanceled() &&
                       WritePagesPdf(report.recordName, report.note, pages, path, error, step(1));
  progress.reset();
  GiveKeysBackToTheChart();
  if (written) {
    ui.SetStatusText("Report written to " + path);
  } else if (!error.empty()) {
    ui.ShowMessage("The report was not written: " + error, MessageKind::Warning);
  }
}

void CMainFrame::ShowLogbook() {
  if (logbook_ == nullptr) {
    LogbookWindowOptions options;
    options.dataDir = app_->dataDir();
    options.navaids = [this]() -> const CHalbricoDoc* {
      const CHalbricoDoc& doc = app_->doc();
      return doc.m_navaidsLoaded != 0 ? &doc : nullptr;
    };
    logbook_ = new LogbookWindow(std::move(options), this);
    connect(logbook_, &LogbookWindow::flightActivated, this, &CMainFrame::OpenFlightFromLogbook);
    // The reading uses the navaid tables: nothing rewrites them meanwhile.
    connect(logbook_, &LogbookWindow::busyChanged, this, [this](bool busy) {
      for (const int id : {ID_LOAD_NAVAIDS, ID_DEFINE_GROUP}) actions_[id]->setEnabled(!busy);
    });
    logbook_->show();
    logbook_->Refresh();
  } else {
    logbook_->show();
  }
  logbook_->raise();
  logbook_->activateWindow();
}

void CMainFrame::OpenFlightFromLogbook(const QString& path) {
  app_->view().OpenRecordFile(path.toStdString());
  UpdateLayerChecks();
  raise();
  activateWindow();
  GiveKeysBackToTheChart();
}

}  // namespace quarn
