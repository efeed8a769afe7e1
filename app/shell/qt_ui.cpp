#include "app/shell/qt_ui.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QStringList>
#include <utility>

#include "app/shell/dialogs.h"
#include "platform/file_services.h"
#include "platform/qt/qt_fonts.h"

namespace quarn {

QString ToQtFilter(const std::string& filter) {
  // "*.*" matched every file on the old platform; Qt's needs a dot in the name.
  static const QRegularExpression kAnyName(R"((?<=[( ;])\*\.\*(?=[) ;]))");
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    // The description carries its patterns in parentheses.
    filters << QString(parts[i]).replace(kAnyName, "*");
  }
  return filters.join(";;");
}

int QtUi::Exec(QDialog& dialog) {
  const int result = dialog.exec();
  if (modalClosed_) modalClosed_();
  return result;
}

void QtUi::ShowMessage(const std::string& text, MessageKind kind) {
  QMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                  "QUARN", ToQString(text), QMessageBox::Ok, &frame_);
  Exec(box);
}

std::optional<std::string> QtUi::AskOpenFile(const OpenFileRequest& request) {
  std::optional<std::string> chosen;
  if (pendingOpen_) {
    chosen = std::exchange(pendingOpen_, std::nullopt);
  } else {
    QFileDialog dialog(&frame_, "Open", QString::fromStdString(CurrentDirectory()),
                       ToQtFilter(request.filter));
    // "Path must exist" asks for an existing folder only: a typed name of a file that
    // is not there is handed back, and opening it then reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    chosen = dialog.selectedFiles().front().toStdString();
  }
  if (fileChosen_) fileChosen_(*chosen);
  return chosen;
}

std::optional<std::string> QtUi::AskSaveFile(const SaveFileRequest& request) {
  if (pendingSave_) return std::exchange(pendingSave_, std::nullopt);
  QFileDialog dialog(&frame_, "Save", QString::fromStdString(CurrentDirectory()),
                     ToQtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  // The suffix follows the chosen filter, so "KML" saves a .kml file.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    const qsizetype star = f.indexOf("*.");
    if (star >= 0) dialog.setDefaultSuffix(f.mid(star + 2).section(')', 0, 0));
  });
  if (Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtUi::AskGroupName(const std::string& initial) {
  CGroupNameDlg dialog(&frame_);
  dialog.SetName(QString::fromStdString(initial));
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.m_name().toStdString();
}

std::optional<SearchDirAnswer> QtUi::AskSearchDir(const SearchDirAnswer& initial) {
  CSearchDirDlg dialog(&frame_);
  dialog.Set(QString::fromStdString(initial.directory), initial.recurse, initial.fs2000);
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return SearchDirAnswer{dialog.m_directory().toStdString(), dialog.m_recurse(), dialog.m_fs2000()};
}

std::optional<std::string> QtUi::AskRadial(const RadialDialogFields& fields) {
  CRadialDlg dialog(&frame_);
  dialog.Set(ToQString(fields.vorName), ToQString(fields.vorIdent), ToQString(fields.radial));
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.m_radial().toStdString();
}

std::optional<std::string> QtUi::AskColumnMap(const ColumnMapRequest& request) {
  CColumnMapDlg dialog(&frame_);
  dialog.Set(ToQString(request.file), ToQString(request.problem), request.columns, request.map);
  if (columnMapAnswer_) return columnMapAnswer_(dialog);
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.Map();
}

std::optional<std::string> QtUi::AskCompareAlignment(const std::string& current) {
  if (pendingAlignment_) return std::exchange(pendingAlignment_, std::nullopt);
  // The names the view knows and the words the user reads, the default first.
  static const std::pair<const char*, const char*> kChoices[] = {
      {"touchdown", "Touchdown"}, {"takeoff", "Take-off"}, {"start", "Start"}};
  QStringList words;
  QString currentWord;
  for (const auto& [name, word] : kChoices) {
    words << word;
    if (current == name) currentWord = word;
  }
  QInputDialog dialog(&frame_);
  dialog.setWindowTitle("Compare With");
  dialog.setLabelText("Lay the compared flight on this one at its:");
  dialog.setComboBoxItems(words);
  dialog.setComboBoxEditable(false);
  if (!currentWord.isEmpty()) dialog.setTextValue(currentWord);
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  for (const auto& [name, word] : kChoices) {
    if (dialog.textValue() == word) return std::string(name);
  }
  return std::nullopt;
}

namespace {

// The settings key of a header: its columns, hashed, as the key must be short.
QString ColumnMapKey(const std::vector<std::string>& columns) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (const std::string& c : columns) {
    hash.addData(QByteArray::fromStdString(c));
    hash.addData(QByteArray(1, '\x1f'));  // no column name holds this separator
  }
  return "columnMaps/" + QString::fromLatin1(hash.result().toHex());
}

}  // namespace

std::string QtUi::RememberedColumnMap(const std::vector<std::string>& columns) {
  QSettings settings("QUARN", "QUARN");
  return settings.value(ColumnMapKey(columns)).toString().toStdString();
}

void QtUi::RememberColumnMap(const std::vector<std::string>& columns, const std::string& map) {
  QSettings settings("QUARN", "QUARN");
  settings.setValue(ColumnMapKey(columns), QString::fromStdString(map));
}

void QtUi::SetStatusText(const std::string& text) {
  status_ = ToQString(text);
  frame_.statusBar()->showMessage(status_);
  // Long operations run on this thread: paint the bar now, not when the loop returns,
  // and let the window repaint between steps, without taking the user's input.
  frame_.statusBar()->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::SetWaitCursor(bool on) {
  if (on) {
    if (waitDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace quarn
