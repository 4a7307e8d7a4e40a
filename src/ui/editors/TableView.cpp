// TTableView: a grid showing its table of the calibration document, the check of a typed
// cell and the step it records.
#include "ui/editors/TableView.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "ui/editors/EditorRules.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/StringGrid.h"

TTableView::TTableView(QObject* parent, TCalibration& doc, TTableId table, TStringGrid* grid,
                       const Rule& rule, TEditorState& state)
    : QObject(parent), fDoc(doc), fTable(table), fGrid(grid), fRule(rule), fState(state) {
  Connect();
}

void TTableView::ShowAll() {
  const TCalTable& table = fDoc.Table(fTable);
  for (int r = 0; r < std::min(table.rows, fGrid->RowCount()); ++r)
    for (int c = 0; c < std::min(table.cols, fGrid->ColCount()); ++c)
      fGrid->SetCell(c, r, table.Text(c, r));
}

void TTableView::ShowCells(const std::vector<QPoint>& cells) {
  const TCalTable& table = fDoc.Table(fTable);
  for (const QPoint& cell : cells)
    if (table.Contains(cell.x(), cell.y()))
      fGrid->SetCell(cell.x(), cell.y(), table.Text(cell.x(), cell.y()));
  if (!fState.typing) FollowChange();
}

void TTableView::FollowChange() {
  // A chart stops at a cell that is not a number (one left unchecked); its box says where.
  if (fFollow.afterChange) RunCommand([&] { fFollow.afterChange(); });
  fGrid->Repaint();
}

void TTableView::Remember(int col, int row) {
  const QString text = fGrid->Cell(col, row);
  if (fRule.rememberOnlyIfNotEmpty && text.isEmpty()) return;
  // A text that is not a number (typed but not yet checked) leaves the remembered value as
  // it was and reports the conversion error.
  if (fRule.integer) {
    fIntBeforeEdit = StrToInt(text);
    return;
  }
  const auto value = TryTypedFloat(text, DecimalSeparator());
  if (!value) throw EConvertError::InvalidFloat(text);
  fState.valueBeforeEdit = *value;
}

std::optional<QString> TTableView::DocumentText(int col, int row) const {
  if (!fDoc.Loaded()) return std::nullopt;
  const TCalTable& table = fDoc.Table(fTable);
  if (!table.Contains(col, row)) return std::nullopt;
  return table.Text(col, row);
}

void TTableView::CheckCell(int col, int row) {
  if (col < 0 || row < 0 || fGrid->IsFixed(col, row)) return;
  const QString text = fGrid->Cell(col, row);
  // A refused entry gives the cell back the value the calibration holds for it now (the
  // result of the last operation or undo, not an older remembered one), so it records no
  // step and changes no value.
  const std::optional<QString> held = DocumentText(col, row);
  const std::optional<double> parsed = TypedCellValue(text, fRule.integer);
  if (!parsed) {
    if (fRule.integer) {
      fGrid->SetCell(col, row, held.value_or(QString::number(fIntBeforeEdit)));
    } else {
      const double remembered = fState.valueBeforeEdit;
      const double restored = fRule.oneDecimal ? RoundToDigit(remembered, -1) : remembered;
      fGrid->SetCell(col, row, held.value_or(FloatToStr(restored)));
    }
    return;
  }
  const double value = *parsed;
  // Either decimal mark; until the document takes the value, the cell keeps the digits as
  // typed, in the user's mark.
  if (!fRule.integer) {
    const QString marked = TypedFloatText(text, DecimalSeparator());
    if (marked != text) fGrid->SetCell(col, row, marked);
  }
  const TValueRange range = EditLimits(fRule.table, fState.variant());
  if (value > range.high) fGrid->SetCell(col, row, FloatToStr(range.high));
  if (value < range.low) fGrid->SetCell(col, row, FloatToStr(range.low));
}

void TTableView::CheckCurrent() {
  CheckCell(fGrid->Col(), fGrid->Row());
}

bool TTableView::RecordTyped(int col, int row) {
  if (!fDoc.Loaded() || fState.showing) return false;
  const TCalTable& table = fDoc.Table(fTable);
  if (!table.Contains(col, row) || table.IsFixed(col, row)) return false;
  // The cell's check has run: the text is a number it accepted (held to the limits), or
  // the document's own text given back. The document takes the value; the grid shows it as
  // the document does ("1,20" typed shows as "1,2").
  const QString text = fGrid->Cell(col, row);
  if (text == table.Text(col, row)) return false;
  const std::optional<double> typed = TypedCellValue(text, fRule.integer);
  if (!typed) return false;
  if (SameValue(table.Value(col, row), *typed)) {
    fGrid->SetCell(col, row, table.Text(col, row));
    return false;
  }
  TEditStep step;
  step.title = QCoreApplication::translate("TMapEditors", "Ввод значения");
  step.cells.push_back({fTable, col, row, table.Value(col, row), *typed});
  TScopedFlag typing(fState.typing);
  return fDoc.Apply(std::move(step));
}

void TTableView::CheckAndRecordCurrent() {
  if (fRule.skipColumn0 && fGrid->Col() <= 0) return;
  CheckCurrent();
  RecordTyped(fGrid->Col(), fGrid->Row());
}

void TTableView::FinishTyping() {
  fGrid->EndEditing();
  if (fRule.skipColumn0 && fGrid->Col() <= 0) return;
  if (fGrid->Col() < 0 || fGrid->Row() < 0) return;
  bool recorded = false;
  GridCommand(fState, [&] {
    CheckCurrent();
    recorded = RecordTyped(fGrid->Col(), fGrid->Row());
  });
  if (recorded) FollowChange();
}

void TTableView::GridCommand(TEditorState& state, const std::function<void()>& handler) {
  if (state.inGridHandler) return;
  TScopedFlag running(state.inGridHandler);
  RunCommand(handler);
}

// A cell becoming current remembers its value; entering, leaving and moving check the cell
// left or current, record it when it changed and then run the grid's follow-up.
void TTableView::Connect() {
  auto follow = [](const std::function<void()>& step) {
    if (step) step();
  };
  connect(fGrid, &TStringGrid::CellBecameCurrent, this,
          [this](int c, int r) { GridCommand(fState, [&] { Remember(c, r); }); });
  connect(fGrid, &TStringGrid::Entered, this, [this, follow] {
    emit Entered();
    GridCommand(fState, [&] {
      CheckAndRecordCurrent();
      follow(fFollow.afterEnter);
    });
  });
  connect(fGrid, &TStringGrid::Left, this, [this, follow] {
    GridCommand(fState, [&] {
      CheckAndRecordCurrent();
      follow(fFollow.afterLeave);
    });
  });
  connect(fGrid, &TStringGrid::CellChanging, this,
          [this, follow](int c, int r, int toCol, int toRow) {
            GridCommand(fState, [&] {
              if (!fRule.skipColumn0 || (toCol > 0 && toRow > 0)) {
                CheckCell(c, r);
                RecordTyped(c, r);
              }
              follow(fFollow.afterMove);
            });
          });
  connect(&fDoc, &TCalibration::CellsChanged, this,
          [this](TTableId table, const std::vector<QPoint>& cells) {
            if (table == fTable) ShowCells(cells);
          });
}
