// The desktop program's main window under Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPageLayout>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/command_table.h"
#include "app/quarn_app.h"
#include "app/shell/dialogs.h"
#include "app/shell/main_frame.h"
#include "app/shell/splash.h"
#include "base/command_ids.h"
#include "base/flight.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "platform/recording_context.h"
#include "platform/text_metrics.h"
#include "shell/shell_app.h"

namespace quarn {
namespace {

QApplication& App() {
  return testing::ShellApp();
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
};

// The command id behind an action, found through the table.
int IdOf(const CMainFrame& frame, const QAction* action) {
  for (const CommandInfo& c : CommandTable()) {
    if (frame.ActionFor(c.id) == action) return c.id;
  }
  return -1;
}

TEST_F(ShellTest, CaptionMenusAndPromptsComeFromTheCommandTable) {
  CMainFrame frame{"."};
  EXPECT_EQ(frame.windowTitle(), "QUARN");
  EXPECT_FALSE(frame.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frame.windowFlags() & Qt::WindowMinimizeButtonHint);

  const QList<QAction*> popups = frame.menuBar()->actions();
  ASSERT_EQ(popups.size(), 6);
  for (qsizetype i = 0; i < popups.size(); ++i) {
    EXPECT_EQ(popups[i]->text().toStdString(), MenuPopups()[static_cast<std::size_t>(i)]);
  }
  int items = 0;
  std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    for (QAction* a : menu->actions()) {
      if (a->menu() != nullptr) {
        EXPECT_EQ(a->text(), "Show Navaids");
        walk(a->menu());
        continue;
      }
      const int id = IdOf(frame, a);
      if (id < 0) continue;  // separators, recent files
      const CommandInfo* c = FindCommand(id);
      EXPECT_EQ(a->text().toStdString(), c->menuText) << id;
      EXPECT_EQ(a->statusTip().toStdString(), c->prompt) << id;
      ++items;
    }
  };
  for (QAction* p : popups) walk(p->menu());
  int expected = 0;
  for (const CommandInfo& c : CommandTable()) expected += *c.popup != '\0';
  EXPECT_EQ(items, expected);
}

TEST_F(ShellTest, ToolBarOrderWithGapsAndPrompts) {
  CMainFrame frame{"."};
  std::vector<int> ids;
  for (QAction* a : frame.toolBar().actions()) {
    ids.push_back(a->isSeparator() ? 0 : IdOf(frame, a));
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().isNull()) << ids.back();
      EXPECT_EQ(a->statusTip().toStdString(), FindCommand(ids.back())->prompt);
    }
  }
  const auto layout = ToolbarLayout();
  EXPECT_EQ(ids, std::vector<int>(layout.begin(), layout.end()));
  EXPECT_EQ(frame.toolBar().iconSize(), QSize(15, 15));
}

TEST_F(ShellTest, CommandsReachTheViewAndTheStatusBarShowsProgress) {
  CMainFrame frame{"."};
  frame.resize(900, 700);
  frame.show();
  frame.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
  frame.ActionFor(ID_SELECT_RECORD_FILE)->trigger();
  EXPECT_EQ(frame.app().doc().flight().recordPath, QUARN_EXAMPLES_DIR "/flight.dat");
  EXPECT_TRUE(frame.statusBar()->currentMessage().endsWith(" Points (lat,lon) in memory"));

  frame.ActionFor(ID_ZOOM_IN)->trigger();
  EXPECT_EQ(frame.app().view().state().zoomLevel, 2);
  frame.app().view().state().chartMode = kChartAltitude;
  frame.ActionFor(ID_BLANK_VIEW)->trigger();
  EXPECT_EQ(frame.app().view().state().chartMode, kChartBlank);
  const QImage& back = frame.viewWindow().backImage();
  EXPECT_EQ(back.pixelColor(back.width() / 2, back.height() / 2), QColor(Qt::white));

  // Keys go to the view: End puts the graph cursor at the end of the time axis.
  QTest::keyClick(&frame.viewWindow(), Qt::Key_End);
  EXPECT_EQ(frame.app().view().state().cursorOffset, frame.viewWindow().width() - 100);
  QTest::keyClick(&frame.viewWindow(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(frame.app().view().state().cursorOffset, frame.viewWindow().width() - 101);
  QTest::mouseClick(&frame.viewWindow(), Qt::LeftButton, {}, QPoint(30, 40));
  EXPECT_EQ(frame.app().view().state().cursorOffset, 0);

  // The accelerator Ctrl+N is File New, not the menu's "&New".
  EXPECT_EQ(frame.ActionFor(ID_FILE_NEW)->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_TRUE(frame.ActionFor(ID_BLANK_VIEW)->shortcut().isEmpty());
  EXPECT_EQ(frame.ActionFor(ID_FILE_PRINT)->shortcut(), QKeySequence("Ctrl+P"));
}

TEST_F(ShellTest, PrintingRendersTheCurrentChart) {
  CMainFrame frame{"."};
  frame.resize(900, 700);
  frame.show();
  QApplication::processEvents();
  frame.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
  frame.RunCommand(ID_SELECT_RECORD_FILE);
  frame.RunCommand(ID_GRAPH_ALTITUDE);

  // The page gets what the window shows: the graph's operations, title included.
  const DisplayList chart = frame.viewWindow().RecordCurrentChart();
  ASSERT_FALSE(chart.ops().empty());
  EXPECT_EQ(chart.ops().front().kind, DrawOp::Kind::Fill);
  EXPECT_TRUE(std::any_of(chart.ops().begin(), chart.ops().end(),
                          [](const DrawOp& op) { return op.text == "ALTITUDE"; }));
  // Recording for the printer leaves the window's own picture alone.
  EXPECT_EQ(frame.viewWindow().backImage().pixelColor(5, 5), QColor(Qt::black));

  const std::string pdf = ::testing::TempDir() + "quarn-print.pdf";
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    frame.RenderChart(printer);
  }
  std::FILE* f = std::fopen(pdf.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fclose(f);
  // An empty page is about a kilobyte; the graph's trace and texts make it larger.
  EXPECT_GT(size, 5000);
}

TEST_F(ShellTest, LayerCheckMarksFollowTheFlags) {
  CMainFrame frame{"."};
  frame.RunCommand(ID_SHOW_AIRPORT);
  EXPECT_TRUE(frame.ActionFor(ID_SHOW_VOR)->isChecked() == frame.app().view().mapState().showVor);
  EXPECT_EQ(frame.ActionFor(ID_SHOW_AIRPORT)->isChecked(),
            frame.app().view().mapState().showAirport);
  EXPECT_EQ(frame.ActionFor(ID_SELECT_ALL)->isChecked(),
            !frame.app().view().mapState().selectAllTurnsOn);
}

TEST_F(ShellTest, SplashShowsOnceAndTheFirstKeyHidesItAndIsConsumed) {
  CMainFrame frame{"."};
  frame.resize(900, 700);
  frame.show();
  QApplication::processEvents();
  SplashInputFilter filter;
  App().installEventFilter(&filter);
  CSplashWnd* splash = CSplashWnd::ShowSplashScreen(&frame);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->size(), QSize(625, 462));
  EXPECT_EQ(CSplashWnd::ShowSplashScreen(&frame), nullptr);  // never two
  frame.app().view().state().cursorOffset = 5;
  ASSERT_EQ(CSplashWnd::current(), splash);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
  QApplication::sendEvent(&frame.viewWindow(), &key);
  EXPECT_EQ(CSplashWnd::current(), nullptr);
  EXPECT_EQ(frame.app().view().state().cursorOffset, 5);  // the key never reached the view
  App().removeEventFilter(&filter);
}

TEST_F(ShellTest, DialogsCarryTheirTextsAndLimits) {
  CSearchDirDlg search;
  EXPECT_EQ(search.recurseBox()->text(), "Recurse subdiectories");
  EXPECT_EQ(search.fs2000Box()->text(), "FS2000");
  EXPECT_FALSE(search.m_recurse());
  EXPECT_FALSE(search.m_fs2000());
  EXPECT_EQ(search.directoryEdit()->maxLength(), 1000);
  CGroupNameDlg group;
  EXPECT_EQ(group.nameEdit()->maxLength(), 255);
  CRadialDlg radial;
  EXPECT_EQ(radial.windowTitle(), "Dialog");
  EXPECT_FALSE(radial.nameEdit()->isEnabled());
  EXPECT_FALSE(radial.identEdit()->isEnabled());
  EXPECT_TRUE(radial.radialEdit()->isEnabled());
}

// The group name's default is selected, so what the user types replaces it; the
// search folder can be typed or chosen with "Browse...".
TEST_F(ShellTest, TheGroupNameIsReplacedByTypingAndTheFolderCanBeBrowsedFor) {
  CGroupNameDlg group;
  group.SetName("Untitled.lis");
  group.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&group));
  EXPECT_EQ(group.nameEdit()->selectedText(), "Untitled.lis");
  QTest::keyClicks(group.nameEdit(), "amsterdam");
  EXPECT_EQ(group.m_name(), "amsterdam");

  CSearchDirDlg search;
  search.Set("/typed", false, false);
  EXPECT_EQ(search.browseButton()->text(), "Browse...");
  QString startedAt;
  QString chosen = "/chosen/folder";
  search.SetFolderChooser([&](const QString& start) {
    startedAt = start;
    return chosen;
  });
  search.browseButton()->click();
  EXPECT_EQ(startedAt, "/typed");
  EXPECT_EQ(search.m_directory(), "/chosen/folder");
  chosen.clear();  // the chooser cancelled: the field stays
  search.browseButton()->click();
  EXPECT_EQ(search.m_directory(), "/chosen/folder");
}

// A printed page shows the chart and nothing outside its area, whatever the chart
// draws beyond its window.
TEST_F(ShellTest, APrintedPageHasNothingOutsideTheChart) {
  ASSERT_EQ(std::system("command -v pdftoppm >/dev/null"), 0) << "pdftoppm is not installed";
  DisplayList chart;
  chart.Reset(400, 300);
  FixedWidthMetrics metrics;
  {
    RecordingContext dc(chart, metrics);
    dc.FillSolidRect(Rect{0, 0, 400, 300}, kBlack);
    // Symbols half outside the window, below and to the right of it.
    dc.SelectPen(Pen{PenStyle::Solid, 1, Color{0, 255, 0}});
    dc.SelectBrush(Brush::Solid(Color{0, 255, 0}));
    dc.Ellipse(Rect{180, 280, 220, 340});
    dc.Ellipse(Rect{380, 100, 440, 160});
  }
  const std::string base = ::testing::TempDir() + "quarn-clip";
  QRectF paint;
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Portrait);  // a page taller than the chart
    printer.setOutputFileName(QString::fromStdString(base + ".pdf"));
    paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    RenderOnPage(chart, printer);
  }
  ASSERT_EQ(std::system(("pdftoppm -r 50 -png -singlefile " + base + ".pdf " + base).c_str()), 0);
  const QImage page(QString::fromStdString(base + ".png"));
  ASSERT_FALSE(page.isNull());
  // The chart fills the paint area's width; its height is 300 / 400 of that.
  const double dpi = 50;
  const int left = static_cast<int>(paint.left() * dpi), top = static_cast<int>(paint.top() * dpi);
  const int right = static_cast<int>(paint.right() * dpi);
  const int bottom = top + static_cast<int>(paint.width() * dpi * 300 / 400);
  int outside = 0, inside = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const bool inChart = x >= left + 1 && x < right - 1 && y >= top + 1 && y < bottom - 1;
      const bool nearEdge = x >= left - 1 && x <= right + 1 && y >= top - 1 && y <= bottom + 1;
      const bool white = page.pixelColor(x, y) == QColor(Qt::white);
      if (inChart && !white) ++inside;
      if (!nearEdge && !white) ++outside;
    }
  }
  EXPECT_GT(inside, 1000);  // the chart is there
  EXPECT_EQ(outside, 0);
}

}  // namespace
// The whole frame, title bar and borders included, fills the screen's available
// area, so the status bar at its bottom is on the screen.
TEST_F(ShellTest, TheFrameWithItsDecorationsFitsTheAvailableArea) {
  const struct {
    QRect available;
    QMargins decorations;
    QRect client;
  } cases[] = {
      {QRect(0, 0, 1280, 800), QMargins(), QRect(0, 0, 1280, 800)},
      {QRect(0, 0, 1280, 800), QMargins(1, 30, 1, 1), QRect(1, 30, 1278, 769)},
      {QRect(0, 24, 1920, 1056), QMargins(4, 28, 4, 4), QRect(4, 52, 1912, 1024)},
  };
  for (const auto& c : cases) EXPECT_EQ(FrameClientRect(c.available, c.decorations), c.client);

  CMainFrame frame{"."};
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  if (std::getenv("QUARN_EXPECT_DECORATIONS") != nullptr) {
    // Under a window manager the title bar arrives after the window is mapped.
    (void)QTest::qWaitFor([&] { return frame.frameGeometry().height() > frame.height(); }, 5000);
    ASSERT_GT(frame.frameGeometry().height(), frame.height()) << "no title bar";
    QTest::qWait(200);
  }
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(available.contains(frame.frameGeometry())) << frame.frameGeometry().height();
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
  EXPECT_TRUE(
      available.contains(frame.statusBar()->mapToGlobal(frame.statusBar()->rect().bottomRight())));
}

// A menu or tool-bar prompt shows while the pointer is on its item; when it leaves,
// the program's last status text comes back.
TEST_F(ShellTest, TheStatusTextComesBackAfterAPrompt) {
  CMainFrame frame{"."};
  frame.show();
  frame.ui().AnswerNextOpenWith(QUARN_EXAMPLES_DIR "/flight.dat");
  frame.ActionFor(ID_SELECT_RECORD_FILE)->trigger();
  const QString loaded = frame.statusBar()->currentMessage();
  ASSERT_TRUE(loaded.endsWith(" Points (lat,lon) in memory"));
  QStatusTipEvent hover("Zoom in");
  QApplication::sendEvent(&frame, &hover);
  EXPECT_EQ(frame.statusBar()->currentMessage(), "Zoom in");
  QStatusTipEvent leave("");
  QApplication::sendEvent(&frame, &leave);
  EXPECT_EQ(frame.statusBar()->currentMessage(), loaded);
}

// A recent record that no longer opens leaves the list; the others stay.
TEST_F(ShellTest, ARecentRecordThatNoLongerOpensLeavesTheList) {
  const std::filesystem::path dir = ::testing::TempDir();
  const std::string kept = (dir / "kept.dat").string(), gone = (dir / "gone.dat").string();
  for (const std::string& path : {kept, gone}) {
    std::filesystem::copy_file(QUARN_EXAMPLES_DIR "/flight.dat", path,
                               std::filesystem::copy_options::overwrite_existing);
  }
  CMainFrame frame{"."};
  frame.show();
  for (const std::string& path : {kept, gone}) {
    frame.ui().AnswerNextOpenWith(path);
    frame.ActionFor(ID_SELECT_RECORD_FILE)->trigger();
  }
  auto recentPaths = [&] {
    QStringList paths;
    for (QAction* a : frame.recentMenu()->actions()) {
      if (a->text().size() > 2 && a->text()[0] == '&' && a->text()[1].isDigit()) {
        paths << a->text().section(' ', 1);
      }
    }
    return paths;
  };
  ASSERT_GE(recentPaths().size(), 2);
  EXPECT_EQ(recentPaths().front(), QString::fromStdString(gone));
  std::filesystem::remove(gone);
  // The failure's message box is answered as a user would.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  closer.start(10);
  for (QAction* a : frame.recentMenu()->actions()) {
    if (a->text().endsWith(QString::fromStdString(gone))) {
      a->trigger();
      break;
    }
  }
  EXPECT_FALSE(recentPaths().contains(QString::fromStdString(gone)));
  EXPECT_EQ(recentPaths().front(), QString::fromStdString(kept));
}

}  // namespace quarn
