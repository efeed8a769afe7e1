#pragma once
// The program's dialogs and messages as Qt widgets, the status bar and the cursor.

#include <QDialog>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>

#include "platform/ui.h"

namespace quarn {

class CColumnMapDlg;

class QtUi : public Ui {
 public:
  explicit QtUi(QMainWindow& frame) : frame_(frame) {}

  void ShowMessage(const std::string& text, MessageKind kind) override;
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
  std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> AskGroupName(const std::string& initial) override;
  std::optional<SearchDirAnswer> AskSearchDir(const SearchDirAnswer& initial) override;
  std::optional<std::string> AskRadial(const RadialDialogFields& fields) override;
  std::optional<std::string> AskColumnMap(const ColumnMapRequest& request) override;
  std::optional<std::string> AskCompareAlignment(const std::string& current) override;
  // Kept in the user's settings, by the header's columns.
  std::string RememberedColumnMap(const std::vector<std::string>& columns) override;
  void RememberColumnMap(const std::vector<std::string>& columns, const std::string& map) override;
  void SetStatusText(const std::string& text) override;
  void SetWaitCursor(bool on) override;
  void SetTitle(const std::string& title) override { title_ = title; }

  const std::string& title() const { return title_; }
  // The program's last status text, which comes back when a menu prompt goes.
  const QString& statusText() const { return status_; }

  // The next Open dialog is answered with this path without being shown (the
  // recent-files entries load a record this way).
  void AnswerNextOpenWith(const std::string& path) { pendingOpen_ = path; }
  // The next Save dialog likewise (tests).
  void AnswerNextSaveWith(const std::string& path) { pendingSave_ = path; }
  // Called with every path that an Open dialog returns.
  void OnFileChosen(std::function<void(const std::string&)> callback) {
    fileChosen_ = std::move(callback);
  }
  // The column map dialog is answered by this instead of being shown (tests).
  void AnswerColumnMapsWith(std::function<std::optional<std::string>(CColumnMapDlg&)> answer) {
    columnMapAnswer_ = std::move(answer);
  }
  // The next alignment question likewise (tests).
  void AnswerNextAlignmentWith(const std::string& name) { pendingAlignment_ = name; }
  // Called when a dialog or message box has closed.
  void OnModalClosed(std::function<void()> callback) { modalClosed_ = std::move(callback); }

 private:
  QMainWindow& frame_;
  QString status_;
  std::string title_;
  std::optional<std::string> pendingOpen_;
  std::optional<std::string> pendingSave_;
  std::optional<std::string> pendingAlignment_;
  std::function<void(const std::string&)> fileChosen_;
  std::function<void()> modalClosed_;
  std::function<std::optional<std::string>(CColumnMapDlg&)> columnMapAnswer_;

  // Runs a dialog and tells that it closed.
  int Exec(QDialog& dialog);
  int waitDepth_ = 0;
};

// "Text (*.x)|*.x|All Files (*.*)|*.*||" as a Qt name filter list, "*.*" as "*".
QString ToQtFilter(const std::string& filter);

}  // namespace quarn
