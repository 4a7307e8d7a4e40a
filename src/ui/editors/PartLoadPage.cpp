// TPartLoadPage: the part-load map, its key and its colour scale.
#include "ui/editors/PartLoadPage.h"

#include <QGroupBox>
#include <QPainter>
#include <QTabWidget>
#include <algorithm>
#include <optional>

#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "image/EfiOperator.h"
#include "telemetry/LiveCell.h"
#include "ui/editors/ColorLegend.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/PageParts.h"
#include "ui/editors/TableColors.h"
#include "ui/editors/TableView.h"
#include "ui/widgets/StringGrid.h"

using namespace PageParts;

namespace {
// Minimum and maximum of the document's values over the data cells the grid shows, from
// cell (1, 1) on; blank cells have no value and do not count. False when there is none.
bool DataRange(const TCalTable& table, const TStringGrid* grid, double& low, double& high) {
  bool found = false;
  for (int r = 1; r < std::min(table.rows, grid->RowCount()); ++r)
    for (int c = 1; c < std::min(table.cols, grid->ColCount()); ++c) {
      const std::optional<double> v = table.Value(c, r);
      if (!v) continue;
      if (!found || *v > high) high = *v;
      if (!found || *v < low) low = *v;
      found = true;
    }
  return found;
}

void FillCell(QPainter& painter, const QRect& rect, const QColor& color, const QString& text) {
  painter.fillRect(rect, color);
  painter.setPen(Qt::black);
  painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
}
}  // namespace

TPartLoadPage::TPartLoadPage(QObject* parent, Kind kind, TCalibration& doc, TEditorState& state,
                             QWidget* sheet, QTabWidget* control, const TLiveMark& live)
    : QObject(parent), fKind(kind), fDoc(doc), fSheet(sheet), fControl(control), fLive(live) {
  const bool fuel = Fuel();
  QGroupBox* box = Group(sheet, fuel ? "gbFuelMain" : "gbIgnMain", tr("Карта частичных нагрузок"),
                         4, 2, 670, 392);
  Text(box, tr("Обороты двигателя, об/мин."), 260, 17);
  fLegend = Named(new TColorLegend(box), fuel ? "FuelLegend" : "SparkLegend");
  fLegend->setGeometry(470, 12, 192, 20);
  LoadCaption(box, 8, 80);
  PageButton(sheet, fuel ? "sbECUFuelMain" : "sbECUIgnMain");
  fGrid = PageParts::Grid(box, fuel ? "sgFuelMain" : "sgIgnMain", 17, 14, 1, 1,
                          QRect(26, 34, 636, 350));

  TTableView::Rule rule;
  TTableView::FollowUps follow;
  if (fuel) {
    // The fuel map's range follows every check; leaving widens it.
    rule.table = TCodedTable::FuelMain;
    rule.rememberOnlyIfNotEmpty = true;
    auto range = [this](bool widen) {
      return [this, widen] {
        RecomputeRange(widen);
        fGrid->Repaint();
      };
    };
    follow = {range(false), range(true), range(false), [this] { Follow(); }};
  } else {
    // The ignition map's range changes only when the grid is left.
    rule.table = TCodedTable::SparkMain;
    rule.oneDecimal = true;
    auto range = [this] {
      RecomputeRange(true);
      fGrid->Repaint();
    };
    follow = {{}, range, {}, [this] { Follow(); }};
  }
  fView =
      new TTableView(this, doc, fuel ? TTableId::FuelMain : TTableId::IgnMain, fGrid, rule, state);
  fView->SetFollowUps(follow);
  fGrid->SetDrawCellHook(
      [this](QPainter& p, const QRect& rect, int c, int r) { return PaintCell(p, rect, c, r); });
}

void TPartLoadPage::Follow() {
  // After a change other than typing the fuel map's range follows as after a check: not
  // widened while its page is in front (as while moving in the grid; the value dialogs
  // take the focus for a moment), widened as on leaving otherwise.
  if (Fuel())
    RecomputeRange(fControl->currentWidget() != fSheet);
  else
    RecomputeRange(true);
}

void TPartLoadPage::LayOut(const TEFIOperator& efi) {
  const bool fuel = Fuel();
  const int rowsLo = fuel ? efi.fFuelMainMatrixDim1_Lo : efi.fSparkMainMatrixDim1_Lo;
  if (efi.fVersion == 1) {
    // Split maps: the low and the high part one above the other.
    fGrid->SetRowCount(rowsLo + (fuel ? efi.fFuelMainMatrixDim1_Hi : efi.fSparkMainMatrixDim1_Hi));
    Fit(fGrid, true, false);
    fGrid->SetColCount((fuel ? efi.fFuelMainMatrixDim2_Lo : efi.fSparkMainMatrixDim2_Lo) + 1);
    Fit(fGrid, false, true);
    return;
  }
  fGrid->SetRowCount(rowsLo + 1);
  // A profile with another RPM breakpoint count sizes the map from the configuration.
  const int cols = fuel ? efi.fFuelMainCols : efi.fSparkMainCols;
  if (fGrid->ColCount() != cols) {
    fGrid->SetColCount(cols);
    Fit(fGrid, false, true);
  }
}

void TPartLoadPage::Show() {
  fView->ShowAll();
}

int TPartLoadPage::ColorIndex(double value) const {
  return Fuel() ? FuelColorIndex(value, fLow, fHigh) : SparkColorIndex(value, fLow, fHigh);
}

void TPartLoadPage::RecomputeRange(bool widen) {
  if (fGrid->ColCount() < 2 || fGrid->RowCount() < 2 || !fDoc.Loaded()) return;
  double low = 0, high = 0;
  if (!DataRange(fDoc.Table(fView->Table()), fGrid, low, high)) return;
  fLow = low;
  fHigh = high;
  const double dataLow = fLow, dataHigh = fHigh;
  if (widen) {
    const double widening = Fuel() ? 0.1 : 0.01;
    fHigh += widening;
    fLow -= widening;
  }
  fLegend->SetEnds(FloatToStr(dataLow), ColorIndex(dataLow), FloatToStr(dataHigh),
                   ColorIndex(dataHigh));
}

bool TPartLoadPage::PaintCell(QPainter& painter, const QRect& rect, int col, int row) const {
  const QString text = fGrid->Cell(col, row);
  // The live operating point: the RPM header of its column, the load header of its row,
  // and the cell where they cross.
  const bool live = fLive.LiveLoopActive == 1;
  if (live && (col == fLive.LiveCellCol || row == fLive.LiveCellRow)) {
    const bool header = col == 0 || row == 0;
    const bool cross = col == fLive.LiveCellCol && row == fLive.LiveCellRow;
    if (header || cross) {
      FillCell(painter, rect, LiveMarkColor(), text);
      return true;
    }
  }
  if (col > 0 && row > 0 && !text.isEmpty()) {
    // A cell whose text is not a number yet (being typed) keeps the default look.
    if (const auto value = TryStrToFloat(text, DecimalSeparator())) {
      const int index = ColorIndex(*value);
      FillCell(painter, rect, index < 0 ? QColor(Qt::black) : TableColors()[index], text);
      return true;
    }
  }
  return false;
}
