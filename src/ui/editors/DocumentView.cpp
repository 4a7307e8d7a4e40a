// TMapEditors and the calibration document: the grids and the settings panel show the
// document, typed values and settings changes become steps of its history, and every
// change of the document (an operation, an undo, a redo) shows in the widgets with the
// colour scale and the charts following it.
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
// The step titles of the settings panel's values.
QString SettingTitle(const QString& key) {
  if (key == QLatin1String("MaxRPM"))
    return QCoreApplication::translate("TMapEditors", "Порог оборотов");
  if (key == QLatin1String("COTrim"))
    return QCoreApplication::translate("TMapEditors", "Регулировка СО");
  if (key == QLatin1String("O2Type"))
    return QCoreApplication::translate("TMapEditors", "Тип лямбда зонда");
  if (key == QLatin1String("O2Switch"))
    return QCoreApplication::translate("TMapEditors", "Лямбда ВКЛ/ВЫКЛ");
  return QCoreApplication::translate("TMapEditors", "Вольтаж лямбда зонда");
}
}  // namespace

TStringGrid* TMapEditors::GridOf(TTableId table) const {
  switch (table) {
    case TTableId::FuelMain:
      return sgFuelMain;
    case TTableId::IgnMain:
      return sgIgnMain;
    case TTableId::IgnXX:
      return sgrdIgnXX;
    case TTableId::FuelXX:
      return sgrdFuelXX;
    case TTableId::IgnMax:
      return sgrdIgnMax;
    case TTableId::FuelMax:
      return sgrdFuelMax;
    case TTableId::MAF:
      return sgMAF;
    case TTableId::WarmUp:
      return sgrdRPMTempCorr;
  }
  return sgFuelMain;
}

std::optional<TTableId> TMapEditors::TableOf(const QObject* grid) const {
  for (int i = 0; i < kTableCount; ++i)
    if (GridOf(static_cast<TTableId>(i)) == grid) return static_cast<TTableId>(i);
  return std::nullopt;
}

void TMapEditors::ShowDocument() {
  for (const TCalTable& table : fDoc.Tables()) {
    TStringGrid* grid = GridOf(table.id);
    for (int r = 0; r < std::min(table.rows, grid->RowCount()); ++r)
      for (int c = 0; c < std::min(table.cols, grid->ColCount()); ++c)
        grid->SetCell(c, r, table.Text(c, r));
  }
}

void TMapEditors::ShowCells(TTableId id, const std::vector<QPoint>& cells) {
  const TCalTable& table = fDoc.Table(id);
  TStringGrid* grid = GridOf(id);
  for (const QPoint& cell : cells)
    if (table.Contains(cell.x(), cell.y()))
      grid->SetCell(cell.x(), cell.y(), table.Text(cell.x(), cell.y()));
  if (!fTyping) FollowTable(id);
}

void TMapEditors::FollowTable(TTableId table) {
  // The fuel map's range follows as after a check: not widened while its page is in
  // front (as while moving in the grid; the value dialogs take the focus for a moment),
  // widened as on leaving otherwise.
  const bool fuelInFront = fPages.control->currentWidget() == fPages.fuel;
  // A chart stops at a cell that is not a number (one left unchecked); its box says where.
  RunCommand([&] {
    switch (table) {
      case TTableId::FuelMain:
        RecomputeFuelRange(!fuelInFront);
        break;
      case TTableId::IgnMain:
        RecomputeSparkRange(true);
        break;
      case TTableId::IgnXX:
        DrawXXIgnFromGrid();
        break;
      case TTableId::FuelMax:
        DrawMaxFuelFromGrid();
        break;
      case TTableId::IgnMax:
        if (Variant() == 1) DrawMaxIgnFromGrid();
        break;
      case TTableId::MAF:
        DrawMAFFromGrid();
        break;
      case TTableId::FuelXX:
      case TTableId::WarmUp:
        break;
    }
  });
  GridOf(table)->Repaint();
}

bool TMapEditors::RecordTyped(TStringGrid* grid, int col, int row) {
  const std::optional<TTableId> id = TableOf(grid);
  if (!id || !fDoc.Loaded() || fShowing) return false;
  const TCalTable& table = fDoc.Table(*id);
  if (!table.Contains(col, row) || table.IsFixed(col, row)) return false;
  // The cell's check has run: the text is a number it accepted (held to the limits), or
  // the document's own text given back. The document takes the value; the grid shows it as
  // the document does ("1,20" typed shows as "1,2").
  const QString text = grid->Cell(col, row);
  if (text == table.Text(col, row)) return false;
  const auto rule = fRules.find(grid);
  const std::optional<double> typed =
      TypedCellValue(text, rule != fRules.end() && rule->second.integer);
  if (!typed) return false;
  if (SameValue(table.Value(col, row), *typed)) {
    grid->SetCell(col, row, table.Text(col, row));
    return false;
  }
  TEditStep step;
  step.title = tr("Ввод значения");
  step.cells.push_back({*id, col, row, table.Value(col, row), *typed});
  fTyping = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fTyping};
  return fDoc.Apply(std::move(step));
}

void TMapEditors::FinishTyping(TStringGrid* grid) {
  const auto rule = fRules.find(grid);
  if (rule == fRules.end()) return;
  grid->EndEditing();
  // Column 0 of the full-load ignition grid is not checked (see the grid's binding).
  if (grid == sgrdIgnMax && grid->Col() <= 0) return;
  if (grid->Col() < 0 || grid->Row() < 0) return;
  bool recorded = false;
  GridCommand([&] {
    CheckCurrent(grid, rule->second);
    recorded = RecordTyped(grid, grid->Col(), grid->Row());
  });
  if (recorded) FollowTable(*TableOf(grid));
}

// --- The settings panel ---

void TMapEditors::TakeSettingsBaseline() {
  fDoc.SetBaseline(QStringLiteral("MaxRPM"), seMaxRMP->value());
  fDoc.SetBaseline(QStringLiteral("COTrim"), sbCOreg->value());
  fDoc.SetBaseline(QStringLiteral("O2Type"), rgO2Type->ItemIndex());
  fDoc.SetBaseline(QStringLiteral("LamMin"), seLamMin->value());
  fDoc.SetBaseline(QStringLiteral("LamMax"), seLamMax->value());
  fDoc.SetBaseline(QStringLiteral("RegLamSwitch"), seRegLamSwitch->value());
  fDoc.SetBaseline(QStringLiteral("O2Switch"), rgO2Switch->ItemIndex());
  fMergeKey.clear();
}

void TMapEditors::RecordSetting(const QString& key, double value) {
  if (fShowing || fMerging || !fDoc.Loaded()) return;
  // Consecutive changes of one control (spinning, typing a number) make one step.
  if (key == fMergeKey && fMergeStamp == fHistoryStamp && fDoc.CanUndo()) {
    fMerging = true;
    fDoc.Undo();
    fMerging = false;
  }
  const double before = fDoc.Setting(key);
  if (value != before) {
    TEditStep step;
    step.title = SettingTitle(key);
    step.settings.push_back({key, before, value});
    fDoc.Apply(std::move(step));
  }
  fMergeKey = key;
  fMergeStamp = fHistoryStamp;
}

void TMapEditors::ShowSetting(const QString& key, double value) {
  fShowing = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fShowing};
  const int whole = static_cast<int>(value);
  if (key == QLatin1String("MaxRPM")) seMaxRMP->setValue(whole);
  if (key == QLatin1String("COTrim")) {
    sbCOreg->setValue(whole);
    ShowCOTrim(whole);
  }
  // A radio group set as a click would: the panels that follow it follow.
  if (key == QLatin1String("O2Type")) rgO2Type->Click(whole);
  if (key == QLatin1String("O2Switch")) rgO2Switch->Click(whole);
  // A box that holds the value already is left alone: setting it would write its text anew
  // under the user's typing ("0,8" of "0,85" becoming "0,80", so the "5" no longer fits).
  auto show = [value](QDoubleSpinBox* box) {
    if (box->value() != value) box->setValue(value);
  };
  if (key == QLatin1String("LamMin")) show(seLamMin);
  if (key == QLatin1String("LamMax")) show(seLamMax);
  if (key == QLatin1String("RegLamSwitch")) show(seRegLamSwitch);
}

void TMapEditors::ConnectDocument() {
  connect(&fDoc, &TCalibration::CellsChanged, this,
          [this](TTableId table, const std::vector<QPoint>& cells) { ShowCells(table, cells); });
  connect(&fDoc, &TCalibration::SettingChanged, this, [this](const QString& key, double value) {
    if (!fMerging) ShowSetting(key, value);
  });
  connect(&fDoc, &TCalibration::HistoryChanged, this, [this] {
    ++fHistoryStamp;
    fStrip.ShowModified(fDoc.IsModified());
  });
  auto record = [this](const char* key) {
    return [this, key](double value) { RecordSetting(QString::fromLatin1(key), value); };
  };
  connect(seMaxRMP, &QSpinBox::valueChanged, this, record("MaxRPM"));
  connect(sbCOreg, &QScrollBar::valueChanged, this, record("COTrim"));
  connect(rgO2Type, &TRadioGroup::clicked, this, record("O2Type"));
  connect(rgO2Switch, &TRadioGroup::clicked, this, record("O2Switch"));
  connect(seLamMin, &QDoubleSpinBox::valueChanged, this, record("LamMin"));
  connect(seLamMax, &QDoubleSpinBox::valueChanged, this, record("LamMax"));
  connect(seRegLamSwitch, &QDoubleSpinBox::valueChanged, this, record("RegLamSwitch"));
}
