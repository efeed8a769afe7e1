#include "app/shell/halbrico_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include "app/command_table.h"
#include "app/shell/main_frame.h"
#include "app/shell/splash.h"
#include "base/command_ids.h"
#include "base/program_dir.h"

namespace quarn {

int CHalbricoApp::Run(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUARN");
  QApplication::setOrganizationName("QUARN");
  QApplication::setApplicationVersion(QUARN_VERSION);
  QApplication::setWindowIcon(QIcon(":/quarn.png"));

  QCommandLineParser parser;
  parser.setApplicationDescription("QUARN: flight records, navaids and approaches");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption noSplash("no-splash", "Start without the splash window.");
  const QCommandLineOption dataDir("data-dir", "The program's data directory.", "DIR");
  const QCommandLineOption command("command", "Run a command (id or name) once started.", "ID");
  parser.addOption(noSplash);
  parser.addOption(dataDir);
  parser.addOption(command);
  parser.addPositionalArgument("record", "A flight record to select at start.", "[record]");
  parser.process(app);

  SetProgramDirectory(ResolveProgramDirectory(parser.value(dataDir).toStdString(), argv[0]));

  CMainFrame frame;
  // The frame has no sizing border: it keeps the size of the screen.
  frame.setFixedSize(frame.size());
  frame.show();
  SplashInputFilter filter;
  if (!parser.isSet(noSplash)) {
    app.installEventFilter(&filter);
    CSplashWnd::ShowSplashScreen(&frame);
  }
  // The record and the commands named on the command line run once the loop runs.
  const QStringList records = parser.positionalArguments();
  const QStringList commands = parser.values(command);
  QTimer::singleShot(0, &frame, [&frame, records, commands] {
    if (!records.isEmpty()) {
      frame.ui().AnswerNextOpenWith(QFileInfo(records.front()).absoluteFilePath().toStdString());
      frame.RunCommand(ID_SELECT_RECORD_FILE);
    }
    for (const QString& c : commands) {
      if (const auto id = LookupCommand(c.toStdString())) frame.RunCommand(*id);
    }
  });
  return QApplication::exec();
}

}  // namespace quarn
