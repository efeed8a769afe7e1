#include "app/shell/dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "record/delimited_reader.h"

namespace quarn {
namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  return buttons;
}

}  // namespace

CGroupNameDlg::CGroupNameDlg(QWidget* parent) : QDialog(parent), name_(new QLineEdit(this)) {
  setWindowTitle("QUARN");
  name_->setObjectName("1034");
  name_->setMaxLength(255);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Name of the BGLs group (Don't give extension):", this));
  layout->addWidget(name_);
  layout->addWidget(OkCancel(this));
}

void CGroupNameDlg::SetName(const QString& name) {
  name_->setText(name);
  name_->selectAll();
  name_->setFocus();
}

CSearchDirDlg::CSearchDirDlg(QWidget* parent)
    : QDialog(parent),
      directory_(new QLineEdit(this)),
      browse_(new QPushButton("Browse...", this)),
      recurse_(new QCheckBox("Recurse subdiectories", this)),
      fs2000_(new QCheckBox("FS2000", this)) {
  setWindowTitle("QUARN");
  directory_->setObjectName("1022");
  directory_->setMaxLength(1000);
  recurse_->setObjectName("1023");
  fs2000_->setObjectName("1024");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Drive and directory to search:", this));
  // The typed path, or a folder chosen beside it.
  auto* row = new QHBoxLayout;
  row->addWidget(directory_);
  row->addWidget(browse_);
  layout->addLayout(row);
  browse_->setAutoDefault(false);
  chooser_ = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(this, "Drive and directory to search", start);
  };
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString chosen = chooser_(directory_->text());
    if (!chosen.isEmpty()) directory_->setText(chosen);
  });
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(recurse_);
  boxes->addWidget(fs2000_);
  layout->addLayout(boxes);
  layout->addWidget(OkCancel(this));
}

void CSearchDirDlg::Set(const QString& directory, bool recurse, bool fs2000) {
  directory_->setText(directory);
  recurse_->setChecked(recurse);
  fs2000_->setChecked(fs2000);
}

CRadialDlg::CRadialDlg(QWidget* parent)
    : QDialog(parent),
      vorName_(new QLineEdit(this)),
      vorIdent_(new QLineEdit(this)),
      radial_(new QLineEdit(this)) {
  setWindowTitle("Dialog");
  vorName_->setObjectName("1023");
  vorIdent_->setObjectName("1024");
  radial_->setObjectName("1022");
  for (QLineEdit* e : {vorName_, vorIdent_, radial_}) e->setMaxLength(1000);
  vorName_->setEnabled(false);
  vorIdent_->setEnabled(false);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Please Insert the Radial of the Vor:", this), 0, 0, 1, 2,
                  Qt::AlignHCenter);
  grid->addWidget(vorName_, 1, 0);
  grid->addWidget(vorIdent_, 1, 1);
  grid->addWidget(radial_, 2, 0, 1, 2);
  grid->addWidget(OkCancel(this), 3, 0, 1, 2);
  radial_->setFocus();
}

void CRadialDlg::Set(const QString& vorName, const QString& vorIdent, const QString& radial) {
  vorName_->setText(vorName);
  vorIdent_->setText(vorIdent);
  radial_->setText(radial);
}

namespace {

// The channel box's first entry: the column is not read.
constexpr const char* kNotRead = "(not read)";

}  // namespace

CColumnMapDlg::CColumnMapDlg(QWidget* parent)
    : QDialog(parent), problem_(new QLabel(this)), table_(new QTableWidget(0, 3, this)) {
  setWindowTitle("Columns");
  problem_->setWordWrap(true);
  problem_->setObjectName("problem");
  table_->setHorizontalHeaderLabels({"Column", "Holds", "Unit"});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(problem_);
  layout->addWidget(
      new QLabel("Say what each column holds; the map is kept for files with "
                 "these columns.",
                 this));
  layout->addWidget(table_);
  layout->addWidget(OkCancel(this));
  resize(520, 420);
}

void CColumnMapDlg::Set(const QString& file, const QString& problem,
                        const std::vector<std::string>& columns, const std::string& map) {
  problem_->setText(file + ": " + problem);
  columns_ = columns;
  const std::vector<ColumnChoice> chosen =
      ColumnChoicesOf(map).value_or(std::vector<ColumnChoice>{});
  table_->setRowCount(static_cast<int>(columns.size()));
  for (int row = 0; row < static_cast<int>(columns.size()); ++row) {
    const std::string& column = columns[static_cast<std::size_t>(row)];
    auto* name = new QTableWidgetItem(QString::fromStdString(column));
    name->setFlags(name->flags() & ~Qt::ItemIsEditable);
    table_->setItem(row, 0, name);
    auto* channel = new QComboBox(table_);
    channel->addItem(kNotRead);
    for (const ColumnMapChannel& c : ColumnMapVocabulary()) {
      channel->addItem(QString::fromStdString(c.name));
    }
    table_->setCellWidget(row, 1, channel);
    table_->setCellWidget(row, 2, new QComboBox(table_));
    std::string unit;
    for (const ColumnChoice& c : chosen) {
      if (c.column != column) continue;
      channel->setCurrentText(QString::fromStdString(c.channel));
      unit = c.unit;
    }
    FillUnits(row);
    if (!unit.empty()) {
      static_cast<QComboBox*>(table_->cellWidget(row, 2))
          ->setCurrentText(QString::fromStdString(unit));
    }
    connect(channel, &QComboBox::currentIndexChanged, this, [this, row] { FillUnits(row); });
  }
}

void CColumnMapDlg::FillUnits(int row) {
  auto* channel = static_cast<QComboBox*>(table_->cellWidget(row, 1));
  auto* unit = static_cast<QComboBox*>(table_->cellWidget(row, 2));
  unit->clear();
  for (const ColumnMapChannel& c : ColumnMapVocabulary()) {
    if (QString::fromStdString(c.name) != channel->currentText()) continue;
    for (const std::string& u : c.units) {
      unit->addItem(u.empty() ? QString("(by the look of it)") : QString::fromStdString(u),
                    QString::fromStdString(u));
    }
  }
  unit->setEnabled(unit->count() > 1);
}

std::string CColumnMapDlg::Map() const {
  std::vector<ColumnChoice> choices;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const auto* channel = static_cast<const QComboBox*>(table_->cellWidget(row, 1));
    const auto* unit = static_cast<const QComboBox*>(table_->cellWidget(row, 2));
    if (channel->currentIndex() <= 0) continue;
    choices.push_back({columns_[static_cast<std::size_t>(row)],
                       channel->currentText().toStdString(),
                       unit->currentData().toString().toStdString()});
  }
  return ColumnMapJson(choices);
}

CAboutDlg::CAboutDlg(const std::string& dataDirectory, QWidget* parent) : QDialog(parent) {
  setWindowTitle("About QUARN...");
  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap(":/quarn.png"));
  auto* text = new QLabel("QUARN 2000 Version 2.2 BETA", this);
  // Where the scenery lists, quarn.fix and magvar.nav are kept: an installed program
  // keeps them in the user's data directory.
  auto* dataDir =
      new QLabel(QString("Data directory: %1").arg(QString::fromStdString(dataDirectory)), this);
  dataDir->setObjectName("dataDir");
  dataDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(text);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(dataDir);
  layout->addWidget(ok);
}

}  // namespace quarn
