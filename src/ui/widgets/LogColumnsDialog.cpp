#include "ui/widgets/LogColumnsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/Errors.h"

namespace {

// The combo items of a column: the blank item (no column) and then the header's names.
constexpr int kNoColumn = 0;

QString DelimiterName(char d) {
  if (d == '\t') return QCoreApplication::translate("TLogColumnsDialog", "табуляция");
  return QStringLiteral("«%1»").arg(QLatin1Char(d));
}

}  // namespace

TLogColumnsDialog::TLogColumnsDialog(QWidget* parent, const QString& fileName,
                                     const TLogDialect& dialect, const TLogColumns& columns)
    : QDialog(parent), fDialect(dialect) {
  setObjectName(QStringLiteral("frmLogColumns"));
  setWindowTitle(tr("Столбцы ЛОГа"));
  auto* layout = new QVBoxLayout(this);
  auto* about =
      new QLabel(tr("%1: разделитель %2, десятичный знак «%3», заголовок в строке %4")
                     .arg(QFileInfo(fileName).fileName(), DelimiterName(dialect.delimiter),
                          QString(QLatin1Char(dialect.decimal)))
                     .arg(dialect.headerLine),
                 this);
  about->setObjectName(QStringLiteral("lLogDialect"));
  layout->addWidget(about);

  sgLogRows = new QTableWidget(static_cast<int>(dialect.sample.size()),
                               static_cast<int>(dialect.names.size()), this);
  sgLogRows->setObjectName(QStringLiteral("sgLogRows"));
  sgLogRows->setHorizontalHeaderLabels(dialect.names);
  sgLogRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgLogRows->verticalHeader()->setDefaultSectionSize(20);
  for (int row = 0; row < dialect.sample.size(); ++row)
    for (int col = 0; col < dialect.sample[row].size() && col < dialect.names.size(); ++col)
      sgLogRows->setItem(row, col, new QTableWidgetItem(dialect.sample[row][col]));
  sgLogRows->resizeColumnsToContents();
  sgLogRows->setMinimumHeight(180);
  layout->addWidget(sgLogRows);

  auto* form = new QFormLayout;
  cbRpm = ColumnBox("cbLogRpm");
  cbLoad = ColumnBox("cbLogLoad");
  cbMixture = ColumnBox("cbLogMixture");
  cbMixtureKind = new QComboBox(this);
  cbMixtureKind->setObjectName(QStringLiteral("cbLogMixtureKind"));
  cbMixtureKind->addItems({tr("AFR"), tr("лямбда"), tr("вольты зонда")});
  cbClt = ColumnBox("cbLogClt");
  cbTps = ColumnBox("cbLogTps");
  cbTime = ColumnBox("cbLogTime");
  cbTimeKind = new QComboBox(this);
  cbTimeKind->setObjectName(QStringLiteral("cbLogTimeKind"));
  cbTimeKind->addItems({tr("секунды"), tr("миллисекунды"), tr("время суток чч:мм:сс")});
  seRate = new QDoubleSpinBox(this);
  seRate->setObjectName(QStringLiteral("seLogRate"));
  seRate->setRange(0, 10000);
  seRate->setDecimals(2);
  seRate->setSuffix(tr(" Гц"));
  const auto pair = [this](QWidget* a, QWidget* b) {
    auto* row = new QHBoxLayout;
    row->addWidget(a, 2);
    row->addWidget(b, 1);
    return row;
  };
  form->addRow(tr("Обороты:"), cbRpm);
  form->addRow(tr("Нагрузка (время впрыска, мс):"), cbLoad);
  form->addRow(tr("Смесь:"), pair(cbMixture, cbMixtureKind));
  form->addRow(tr("Т охл. ж.:"), cbClt);
  form->addRow(tr("Дроссель:"), cbTps);
  form->addRow(tr("Время:"), pair(cbTime, cbTimeKind));
  form->addRow(tr("Частота записей без времени:"), seRate);
  layout->addLayout(form);

  lProblem = new QLabel(this);
  lProblem->setObjectName(QStringLiteral("lLogColumnsProblem"));
  lProblem->setStyleSheet(QStringLiteral("color: #b00000"));
  lProblem->setWordWrap(true);
  layout->addWidget(lProblem);
  auto* buttons = new QDialogButtonBox(this);
  btnOk = buttons->addButton(tr("Открыть"), QDialogButtonBox::AcceptRole);
  btnOk->setObjectName(QStringLiteral("btnLogColumnsOk"));
  QPushButton* cancel = buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnLogColumnsCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  Show(columns);
  for (QComboBox* box : {cbRpm, cbLoad, cbMixture, cbMixtureKind, cbClt, cbTps, cbTime, cbTimeKind})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  connect(seRate, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
  Changed();
  resize(720, 520);
}

QComboBox* TLogColumnsDialog::ColumnBox(const char* name) {
  auto* box = new QComboBox(this);
  box->setObjectName(QLatin1String(name));
  box->addItem(tr("— нет —"));
  for (int k = 0; k < fDialect.names.size(); ++k)
    box->addItem(QStringLiteral("%1: %2").arg(k + 1).arg(fDialect.names[k]));
  return box;
}

void TLogColumnsDialog::Show(const TLogColumns& c) {
  const auto set = [](QComboBox* box, int col) {
    box->setCurrentIndex(col < 0 ? kNoColumn : col + 1);
  };
  set(cbRpm, c.rpm);
  set(cbLoad, c.load);
  set(cbMixture, c.mixture);
  set(cbClt, c.clt);
  set(cbTps, c.tps);
  set(cbTime, c.time);
  cbMixtureKind->setCurrentIndex(static_cast<int>(c.mixtureKind));
  cbTimeKind->setCurrentIndex(c.timeKind == TLogTime::None ? 0 : static_cast<int>(c.timeKind));
  seRate->setValue(c.rate);
}

TLogColumns TLogColumnsDialog::Columns() const {
  TLogColumns c;
  c.rpm = cbRpm->currentIndex() - 1;
  c.load = cbLoad->currentIndex() - 1;
  c.mixture = cbMixture->currentIndex() - 1;
  c.clt = cbClt->currentIndex() - 1;
  c.tps = cbTps->currentIndex() - 1;
  c.time = cbTime->currentIndex() - 1;
  c.mixtureKind = static_cast<TLogMixture>(cbMixtureKind->currentIndex());
  c.timeKind = c.time < 0 ? TLogTime::None : static_cast<TLogTime>(cbTimeKind->currentIndex());
  c.rate = c.time < 0 ? seRate->value() : 0;
  return c;
}

void TLogColumnsDialog::Changed() {
  const bool timed = cbTime->currentIndex() != kNoColumn;
  cbTimeKind->setEnabled(timed);
  seRate->setEnabled(!timed);
  const QString problem = LogColumnsProblem(Columns(), fDialect.names);
  lProblem->setText(problem);
  btnOk->setEnabled(problem.isEmpty());
}

std::optional<TLogColumns> LoadAnyLog(QWidget* parent, const QString& fileName, TEFILogger& logger,
                                      bool& read, int64_t* emptyCells) {
  if (emptyCells) *emptyCells = 0;
  read = false;
  std::optional<TLogDialect> dialect;
  try {
    dialect = SniffLogFile(fileName);
  } catch (const ERuntimeError&) {
    // What is no delimited log goes to the own reader, which says why it is none.
  }
  if (!dialect || dialect->ownFormat) {
    logger.LoadFromFile(fileName, false);
    read = true;
    return std::nullopt;
  }
  const TLogColumns shown = RememberedLogColumns(dialect->headerText, dialect->names)
                                .value_or(GuessLogColumns(dialect->names, dialect->sample));
  TLogColumnsDialog dialog(parent, fileName, *dialect, shown);
  // The user chooses under the ordinary pointer even when a wait cursor is up.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = dialog.exec();
  QApplication::restoreOverrideCursor();
  if (answer != QDialog::Accepted) return std::nullopt;
  const TLogColumns columns = dialog.Columns();
  try {
    const int64_t empty = logger.LoadDelimitedFromFile(fileName, columns);
    if (emptyCells) *emptyCells = empty;
  } catch (const ELogLineError& e) {
    // Nothing of such a log is held: the error is the whole answer, not a part loaded.
    throw ERuntimeError(e.what());
  }
  RememberLogColumns(dialect->headerText, columns, dialect->names);
  read = true;
  return columns;
}
