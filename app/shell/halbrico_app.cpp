#include "app/shell/halbrico_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
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

  // A data directory that does not exist is named, and the default one taken.
  std::string chosenDir = parser.value(dataDir).toStdString();
  const std::string missingDir = MissingDataDirectory(chosenDir);
  if (!missingDir.empty()) {
    QMessageBox::warning(nullptr, QStringLiteral("QUARN"),
                         QStringLiteral("The data directory %1 does not exist: using %2.")
                             .arg(QString::fromStdString(missingDir),
                                  QString::fromStdString(DefaultProgramDirectory(argv[0]))));
    chosenDir.clear();
  }
  const std::string programDir = missingDir.empty() ? ResolveProgramDirectory(chosenDir, argv[0])
                                                    : DefaultProgramDirectory(argv[0]);

  // The frame has no sizing border: it keeps the size of the screen's available area.
  CMainFrame frame(programDir);
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
      frame.app().view().OpenRecordFile(
          QFileInfo(records.front()).absoluteFilePath().toStdString());
    }
    for (const QString& c : commands) {
      if (const auto id = LookupCommand(c.toStdString())) frame.RunCommand(*id);
    }
  });
  return QApplication::exec();
}

}  // namespace quarn
