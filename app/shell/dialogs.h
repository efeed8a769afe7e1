#pragma once
// The program's dialogs: group name, search directory, VOR radial, column map and
// About.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace quarn {

// Asks for the name of a BGL group (resource 143).
class CGroupNameDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CGroupNameDlg(QWidget* parent = nullptr);
  QString m_name() const { return name_->text(); }
  // The name the field starts with, selected, so that typing replaces it.
  void SetName(const QString& name);
  QLineEdit* nameEdit() { return name_; }

 private:
  QLineEdit* name_;  // control 1034, at most 255 characters
};

// Asks for the directory to search for BGL files (resource 146).
class CSearchDirDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CSearchDirDlg(QWidget* parent = nullptr);
  QString m_directory() const { return directory_->text(); }
  bool m_recurse() const { return recurse_->isChecked(); }
  bool m_fs2000() const { return fs2000_->isChecked(); }
  void Set(const QString& directory, bool recurse, bool fs2000);
  QLineEdit* directoryEdit() { return directory_; }
  QCheckBox* recurseBox() { return recurse_; }
  QCheckBox* fs2000Box() { return fs2000_; }
  QPushButton* browseButton() { return browse_; }
  // The folder chooser behind "Browse...": the chosen folder, or empty on Cancel.
  // Tests replace it.
  void SetFolderChooser(std::function<QString(const QString& start)> chooser) {
    chooser_ = std::move(chooser);
  }

 private:
  QLineEdit* directory_;  // control 1022, at most 1000 characters
  QPushButton* browse_;
  std::function<QString(const QString& start)> chooser_;
  QCheckBox* recurse_;  // control 1023
  QCheckBox* fs2000_;   // control 1024
};

// Asks for the radial of a VOR (resource 151).
class CRadialDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CRadialDlg(QWidget* parent = nullptr);
  void Set(const QString& vorName, const QString& vorIdent, const QString& radial);
  QString m_radial() const { return radial_->text(); }
  QLineEdit* radialEdit() { return radial_; }
  QLineEdit* nameEdit() { return vorName_; }
  QLineEdit* identEdit() { return vorIdent_; }

 private:
  QLineEdit* vorName_;   // control 1023, disabled
  QLineEdit* vorIdent_;  // control 1024, disabled
  QLineEdit* radial_;    // control 1022
};

// Says what the columns of a delimited file hold, when the reader does not know them
// by name: a row per column with its channel (or none) and the channel's unit.
class CColumnMapDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CColumnMapDlg(QWidget* parent = nullptr);
  // file: the file's name; problem: why it could not be read; columns: the header's;
  // map: the map's JSON to start from, or empty.
  void Set(const QString& file, const QString& problem, const std::vector<std::string>& columns,
           const std::string& map);
  // The map the rows make, as JSON: the columns given a channel, in their order.
  std::string Map() const;
  QTableWidget* table() { return table_; }

 private:
  // The unit box of a row offers the units of the channel chosen in its channel box.
  void FillUnits(int row);

  QLabel* problem_;
  QTableWidget* table_;
  std::vector<std::string> columns_;
};

// "About QUARN..." (resource 100).
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  // dataDirectory: the program's directory in use, shown in the box.
  explicit CAboutDlg(const std::string& dataDirectory, QWidget* parent = nullptr);
};

}  // namespace quarn
