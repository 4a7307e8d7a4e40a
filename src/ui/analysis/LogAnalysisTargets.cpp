// The log analysis window's table of target air-fuel ratios: its box, the targets shaped to
// the fuel map, typed, saved and loaded.

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/FuelMapInput.h"
#include "analysis/TargetTable.h"
#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "common/RegularFile.h"
#include "common/SafeFileWrite.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/analysis/NamedControls.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StringGrid.h"

namespace {
QString TargetText(double value) {
  return FormatFixed(value, 0, 1, DecimalSeparator());
}
}  // namespace

// The single target as the table holds it: within the limits, to a tenth.
double TfrmLogAnalysis::SingleTarget() const {
  return TargetTenth(std::clamp(seTargetAfr->value(), kTargetAfrLow, kTargetAfrHigh));
}

QWidget* TfrmLogAnalysis::BuildTargetBox(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  auto* single = new QHBoxLayout;
  rbTargetSingle = new QRadioButton(tr("Целевой AFR"), box);
  rbTargetSingle->setObjectName(QStringLiteral("rbTargetSingle"));
  rbTargetSingle->setChecked(true);
  seTargetAfr = NamedSpin(box, "seTargetAfr", 10, 20, 14.7, 2);
  single->addWidget(rbTargetSingle);
  single->addWidget(seTargetAfr);
  single->addStretch(1);
  column->addLayout(single);
  auto* table = new QHBoxLayout;
  rbTargetTable = new QRadioButton(tr("Таблица целевого AFR по ячейкам"), box);
  rbTargetTable->setObjectName(QStringLiteral("rbTargetTable"));
  btnSaveTargets = NamedButton(box, "btnSaveTargets", tr("Сохранить цели..."));
  btnLoadTargets = NamedButton(box, "btnLoadTargets", tr("Загрузить цели..."));
  table->addWidget(rbTargetTable);
  table->addWidget(btnSaveTargets);
  table->addWidget(btnLoadTargets);
  table->addStretch(1);
  column->addLayout(table);
  sgTargetAfr = new TStringGrid(1, 1, 1, 1, box);
  sgTargetAfr->setObjectName(QStringLiteral("sgTargetAfr"));
  sgTargetAfr->setToolTip(tr("Целевой AFR ячейки: от %1 до %2, с одним знаком после запятой")
                              .arg(TargetText(kTargetAfrLow), TargetText(kTargetAfrHigh)));
  column->addWidget(sgTargetAfr);
  const QStringList filters = {tr("Таблицы целевого AFR (*.txt)"), tr("Все файлы (*.*)")};
  odTargetFile = MakeFileDialog(this, "odTargetFile", false, tr("Загрузить таблицу целевого AFR"),
                                filters, "txt");
  MatchAllFilesForStarDotStar(odTargetFile);
  sdTargetFile = MakeFileDialog(this, "sdTargetFile", true, tr("Сохранить таблицу целевого AFR"),
                                filters, "txt");
  return box;
}

void TfrmLogAnalysis::ConnectTargets() {
  connect(rbTargetTable, &QRadioButton::toggled, this, Guarded([this] { TargetModeChanged(); }));
  connect(btnSaveTargets, &QPushButton::clicked, this, Guarded([this] { SaveTargetsClick(); }));
  connect(btnLoadTargets, &QPushButton::clicked, this, Guarded([this] { LoadTargetsClick(); }));
  // A target is taken when its entry ends, never from the half-typed text of a keystroke
  // (which would keep "1" of "14,5" once the entry goes wrong); Escape ends it unchanged.
  connect(sgTargetAfr, &TStringGrid::EntryEnded, this, [this](int col, int row) {
    RunCommand([&] { TargetTyped(col, row); });
    ShowTargets();
  });
  // A cell left with text that is no target in the limits shows its target again.
  auto putBack = [this] { ShowTargets(); };
  connect(sgTargetAfr, &TStringGrid::CellChanging, this, putBack);
  connect(sgTargetAfr, &TStringGrid::Left, this, putBack);
}

void TfrmLogAnalysis::ShapeTargets() {
  if (fMaps.Doc().Loaded()) {
    TMapAxes axes = AxesOfTable(fMaps.Doc().Table(TTableId::FuelMain));
    const size_t cells = static_cast<size_t>(axes.Cols()) * static_cast<size_t>(axes.Rows());
    if (fTargets.size() != cells || axes.Cols() != fTargetAxes.Cols()) {
      fTargets.assign(cells, SingleTarget());
      fTargetsEdited = false;
    }
    fTargetAxes = std::move(axes);
  }
  ShowTargets();
}

void TfrmLogAnalysis::ShowTargets() {
  const bool loaded = fMaps.Doc().Loaded() && !fTargets.empty();
  const QSignalBlocker block(sgTargetAfr);
  sgTargetAfr->SetColCount(loaded ? fTargetAxes.Cols() + 1 : 1);
  sgTargetAfr->SetRowCount(loaded ? fTargetAxes.Rows() + 1 : 1);
  sgTargetAfr->SetDefaultColWidth(38);
  sgTargetAfr->SetDefaultRowHeight(20);
  sgTargetAfr->setFixedSize(sgTargetAfr->ColCount() * 38 + 4, sgTargetAfr->RowCount() * 20 + 4);
  if (loaded) {
    // The headers as the fuel map shows them.
    const TCalTable& table = fMaps.Doc().Table(TTableId::FuelMain);
    for (int c = 1; c < sgTargetAfr->ColCount(); ++c) sgTargetAfr->SetCell(c, 0, table.Text(c, 0));
    for (int r = 1; r < sgTargetAfr->RowCount(); ++r) sgTargetAfr->SetCell(0, r, table.Text(0, r));
    for (int r = 0; r < fTargetAxes.Rows(); ++r)
      for (int c = 0; c < fTargetAxes.Cols(); ++c)
        sgTargetAfr->SetCell(c + 1, r + 1,
                             TargetText(fTargets[static_cast<size_t>(r * fTargetAxes.Cols() + c)]));
  } else {
    sgTargetAfr->SetCell(0, 0, QString());
  }
  const bool table = rbTargetTable->isChecked();
  seTargetAfr->setEnabled(!table);
  sgTargetAfr->setEnabled(table && loaded);
  btnSaveTargets->setEnabled(table && loaded);
  btnLoadTargets->setEnabled(table && loaded);
  sgTargetAfr->Repaint();
}

void TfrmLogAnalysis::TargetTyped(int col, int row) {
  if (col < 1 || row < 1 || col > fTargetAxes.Cols() || row > fTargetAxes.Rows()) return;
  // Only a number within the limits is taken (to a tenth, either decimal mark); anything
  // else leaves the cell's target as it was.
  const std::optional<double> value =
      TryTypedFloat(sgTargetAfr->Cell(col, row), DecimalSeparator());
  if (!value || !(*value >= kTargetAfrLow && *value <= kTargetAfrHigh)) return;
  fTargets[static_cast<size_t>((row - 1) * fTargetAxes.Cols() + col - 1)] = TargetTenth(*value);
  fTargetsEdited = true;
  fApplied = false;
  ProposeCorrection();
  ShowCorrection();
}

void TfrmLogAnalysis::TargetModeChanged() {
  // A table the user has not made his own starts from the single target.
  if (rbTargetTable->isChecked() && !fTargetsEdited)
    std::fill(fTargets.begin(), fTargets.end(), SingleTarget());
  fApplied = false;
  Analyse();
}

QString TfrmLogAnalysis::TargetsText() const {
  return TargetTableText(fTargetAxes, fTargets, DecimalSeparator());
}

void TfrmLogAnalysis::SaveTargetsClick() {
  const QString path = RunFileDialog(sdTargetFile);
  if (!path.isEmpty()) SaveTargets(path);
}

void TfrmLogAnalysis::LoadTargetsClick() {
  const QString path = RunFileDialog(odTargetFile);
  if (!path.isEmpty()) LoadTargets(path);
}

bool TfrmLogAnalysis::SaveTargets(const QString& path) {
  try {
    WriteFileSafely(path, TargetsText().toUtf8());
  } catch (const ERuntimeError& e) {
    ShowErrorBox(tr("Не удалось записать файл %1: %2").arg(path, QString::fromUtf8(e.what())));
    return false;
  }
  return true;
}

bool TfrmLogAnalysis::LoadTargets(const QString& path) {
  RequireRegularFile(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowErrorBox(tr("Не удалось открыть файл %1: %2").arg(path, file.errorString()));
    return false;
  }
  const int cols = fTargetAxes.Cols(), rows = fTargetAxes.Rows();
  std::optional<std::vector<double>> targets;
  if (!fTargets.empty())
    targets = ParseTargetTable(QString::fromUtf8(file.readAll()), fTargetAxes, DecimalSeparator());
  if (!targets) {
    ShowErrorBox(tr("Файл %1 не подходит: нужна таблица %2 x %3 с оборотами и нагрузками "
                    "карты топлива и целевым AFR от %4 до %5 в каждой ячейке.")
                     .arg(path)
                     .arg(cols)
                     .arg(rows)
                     .arg(TargetText(kTargetAfrLow), TargetText(kTargetAfrHigh)));
    return false;
  }
  fTargets = std::move(*targets);
  fTargetsEdited = true;
  fApplied = false;
  Analyse();
  return true;
}
