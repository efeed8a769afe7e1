#pragma once
// The main frame: caption, menus, tool bar and status bar around the view's window,
// all built from the program's command table.

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMargins>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <memory>
#include <string>

#include "app/quarn_app.h"
#include "app/shell/lock_keys.h"
#include "app/shell/logbook_window.h"
#include "app/shell/qt_ui.h"
#include "app/shell/view_window.h"

class QPrinter;

namespace quarn {

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // dataDir: the program's directory (scenery lists, quarn.fix, magvar.nav).
  explicit CMainFrame(std::string dataDir, QWidget* parent = nullptr);
  ~CMainFrame() override;

  QuarnApp& app() { return *app_; }
  ViewWindow& viewWindow() { return *view_; }
  QtUi& ui() { return *ui_; }
  QToolBar& toolBar() { return *toolBar_; }

  // Every menu item, tool-bar button and accelerator comes here.
  void RunCommand(int id);
  // The action of a command (shared by its menu item and its tool-bar button).
  QAction* ActionFor(int id) const { return actions_.value(id, nullptr); }
  QMenu* recentMenu() const { return recentMenu_; }
  // The Logbook window, once File > Logbook has opened it.
  LogbookWindow* logbookWindow() const { return logbook_; }
  // Renders the current chart on the printer's page, as the window shows it.
  void RenderChart(QPrinter& printer);
  // The keyboard goes back to the chart once the menu or dialog now closing is gone.
  void GiveKeysBackToTheChart();

  static constexpr int kMaxRecentFiles = 4;

  // Gives the frame the screen's available area, title bar and borders included, at a
  // size the user cannot change.
  void FitToScreen();

 protected:
  // Closing the main frame ends the program, whatever other window is still up.
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  // A flight record dropped on the window is opened as "Select a Aerolog File" would.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Key events anywhere in the program keep the lock indicators true.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void UpdateLayerChecks();
  // Enables "End Compare" exactly while a flight is compared.
  void UpdateCompareAction();
  // The indicators lit for the locks that are on.
  void ShowLockKeys(const LockKeys& locks);
  void RememberRecentFile(const QString& path);
  void ForgetRecentFile(const QString& path);
  void RefreshRecentMenu();
  void Print(bool showDialog);
  void PrintPreview();
  // File > Export Report: every chart of the record into one PDF, with progress.
  void ExportReport();
  // File > Logbook: the window made once, then shown and raised.
  void ShowLogbook();
  // A leg double-clicked in the logbook: its flight, as a recent file is opened.
  void OpenFlightFromLogbook(const QString& path);

  ViewWindow* view_;
  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<QuarnApp> app_;
  QToolBar* toolBar_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QMap<int, QAction*> actions_;
  QList<QAction*> recentActions_;
  QMargins fittedMargins_;
  LockKeys locks_;
  QPointer<LogbookWindow> logbook_;
};

// A chart's display list on a printer's page, scaled to fit, with nothing drawn
// outside the chart's area.
void RenderOnPage(const DisplayList& list, QPrinter& printer);

// The client area of a frame whose decorations have these margins, when the whole
// frame is to fill the available area of a screen.
QRect FrameClientRect(const QRect& available, const QMargins& decorations);

}  // namespace quarn
