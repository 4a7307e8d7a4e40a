// TCompareCommands: opening and closing the reference, going to a listed cell.
#include "ui/compare/CompareCommands.h"

#include <QAction>
#include <QFileInfo>
#include <QTabWidget>
#include <algorithm>
#include <memory>

#include "calibration/Compare.h"
#include "image/EfiOperator.h"
#include "ui/compare/CompareMarks.h"
#include "ui/compare/CompareWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StringGrid.h"
#include "ui/widgets/WindowPlacement.h"

TCompareCommands::TCompareCommands(QObject* parent, const Parts& parts)
    : QObject(parent), fParts(parts) {
  setObjectName(QStringLiteral("CompareCommands"));
  TMapEditors& m = *fParts.maps;
  // TTableId order.
  TCompareMarks::Grids grids{};
  for (int i = 0; i < kTableCount; ++i) grids[i] = m.GridOf(static_cast<TTableId>(i));
  fMarks = new TCompareMarks(this, grids, *fParts.strip, m.Doc());
  connect(fParts.maps, &TMapEditors::TablesFilled, fMarks,
          [this] { fParts.compare->setEnabled(true); });
  fParts.compare->setEnabled(false);
  fParts.end->setEnabled(false);

  frmCompare = new TfrmCompare(*fMarks, fParts.owner);
  new TWindowPlacement(frmCompare, QStringLiteral("frmCompare"), fParts.owner);
  connect(frmCompare, &TfrmCompare::CellWanted, this, &TCompareCommands::GoToCell);
}

void TCompareCommands::actCompareClick() {
  const QString path = RunFileDialog(fParts.dialog);
  if (!path.isEmpty()) OpenReference(path);
}

void TCompareCommands::OpenReference(const QString& path) {
  // The reference is decoded with the configuration the current tables were decoded with,
  // in an operator of its own: the current image and tables stay untouched.
  TEFIOperator reference(true);
  static_cast<TModelConfig&>(reference) = static_cast<const TModelConfig&>(*fParts.efi);
  LoadCalibrationFile(reference, path);
  auto doc = std::make_unique<TCalibration>();
  doc->Load(reference);
  fMarks->Start(std::move(doc), QFileInfo(path).fileName());
  fParts.end->setEnabled(true);
  frmCompare->show();
  frmCompare->raise();
}

void TCompareCommands::actCompareEndClick() {
  fMarks->End();
  fParts.end->setEnabled(false);
  frmCompare->hide();
}

void TCompareCommands::GoToCell(TTableId table, int col, int row) {
  TStringGrid* grid = fMarks->Grid(table);
  if (!grid) return;
  for (QWidget* w = grid; w; w = w->parentWidget()) {
    const int page = fParts.pages->indexOf(w);
    if (page < 0) continue;
    fParts.pages->setCurrentIndex(page);
    break;
  }
  fParts.owner->activateWindow();
  fParts.owner->raise();
  grid->setFocus();
  // An axis cell is never current: its first data cell is.
  col = std::clamp(col, grid->FixedCols(), std::max(grid->ColCount() - 1, grid->FixedCols()));
  row = std::clamp(row, grid->FixedRows(), std::max(grid->RowCount() - 1, grid->FixedRows()));
  grid->SelectCell(col, row);
  grid->scrollTo(grid->model()->index(row, col));
}
