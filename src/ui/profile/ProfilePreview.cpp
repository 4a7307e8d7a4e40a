#include "ui/profile/ProfilePreview.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/DecimalText.h"
#include "common/ShownText.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

namespace {

constexpr int kMafColumns = 16;

// A decoded table as rows of numbers with its shape.
struct TShown {
  std::vector<std::vector<double>> rows;
  bool map = false;  // axes in row 0 and column 0
};

TShown Shown(const TEFIOperator& op, TImageTable table) {
  switch (table) {
    case TImageTable::FuelMain:
      return {op.fFuelMainMatrix, true};
    case TImageTable::SparkMain:
      return {op.fSparkMainMatrix, true};
    case TImageTable::FuelXX:
      return {op.fFuelXXMatrix, true};
    case TImageTable::SparkMax:
      return {op.fSparkMaxMatrix, op.fVersion != 1};
    case TImageTable::SparkXX:
      return {op.fSparkXXMatrix, false};
    case TImageTable::FuelMax:
      return {op.fFuelMaxMatrix, false};
    case TImageTable::WarmUp: {
      TShown shown;
      for (const auto& row : op.fRPMTempCorrTable) shown.rows.emplace_back(row.begin(), row.end());
      return shown;
    }
    case TImageTable::MAF: {
      // Rows of sixteen values under their column numbers.
      TShown shown{{{}}, true};
      for (int c = 0; c <= kMafColumns; ++c) shown.rows[0].push_back(c == 0 ? 0 : c - 1);
      for (size_t i = 0; i < op.fMAFTable.size(); ++i) {
        if (i % kMafColumns == 0) shown.rows.push_back({static_cast<double>(i)});
        shown.rows.back().push_back(op.fMAFTable[i]);
      }
      return shown;
    }
    default:
      return {};
  }
}

void DrawChart(TLineChart& chart, const TShown& shown, TImageTable table) {
  chart.Clear();
  const auto& t = shown.rows;
  if (t.size() < 2 || t[0].size() < 2) return chart.Show();
  const size_t from = shown.map ? 1 : 0;
  std::vector<std::pair<double, double>> points;
  double yLow = t[1][from], yHigh = t[1][from];
  for (size_t r = 1; r < t.size(); ++r)
    for (size_t c = from; c < t[r].size(); ++c) {
      yLow = std::min(yLow, t[r][c]);
      yHigh = std::max(yHigh, t[r][c]);
    }
  // The air-mass curve runs over its index; every other table over its RPM (or temperature)
  // row. The chart's pen never lifts, so the load rows of a map are drawn there and back in
  // turn, each joined to the next at the end of the axis: a family of curves.
  const bool maf = table == TImageTable::MAF;
  const double xLow = maf ? 0 : t[0][from];
  const double xHigh = maf ? double(t.size() - 1) * kMafColumns : t[0].back();
  chart.SetXRange(std::min(xLow, xHigh), std::max(xLow, xHigh) + (xLow == xHigh));
  chart.SetYRange(yLow, yHigh + (yLow == yHigh));
  bool started = false;
  double index = 0;
  for (size_t r = 1; r < t.size(); ++r) {
    const size_t n = t[r].size();
    for (size_t k = from; k < n; ++k) {
      const size_t c = maf || r % 2 == 1 ? k : n - 1 - (k - from);
      const double x = maf ? index++ : t[0][c];
      if (!started)
        chart.MoveTo(x, t[r][c]);
      else
        chart.LineTo(x, t[r][c]);
      started = true;
    }
  }
  chart.Show();
}

}  // namespace

void ClearPreview(TStringGrid& grid, TLineChart& chart) {
  grid.clearContents();
  grid.SetRowCount(0);
  grid.SetColCount(0);
  chart.Clear();
  chart.Show();
}

void ShowPreview(TStringGrid& grid, TLineChart& chart, const TEFIOperator& op, TImageTable table) {
  const TShown shown = Shown(op, table);
  const auto& t = shown.rows;
  if (t.empty() || t[0].empty()) return ClearPreview(grid, chart);
  const int rows = static_cast<int>(t.size());
  const int cols = static_cast<int>(t[0].size());
  grid.SetRowCount(rows);
  grid.SetColCount(cols);
  grid.SetFixedCols(shown.map ? 1 : 0);
  for (int r = 0; r < rows; ++r) {
    // Maps show their last load row at the top, under the RPM row.
    const int gridRow = shown.map && r > 0 ? rows - r : r;
    for (int c = 0; c < cols; ++c) {
      const bool corner = shown.map && r == 0 && c == 0;
      const double v = c < static_cast<int>(t[r].size()) ? t[r][c] : 0;
      grid.SetCell(c, gridRow, corner ? QString() : FloatToStr(v));
    }
  }
  DrawChart(chart, shown, table);
}

QString ValueLine(const TEFIOperator& op, TImageTable table) {
  switch (table) {
    case TImageTable::Version:
      return QCoreApplication::translate("TfrmProfileEditor", "Номер версии: %1")
          .arg(EscapeControls(op.fVersionText));
    case TImageTable::RevLimit:
      return QCoreApplication::translate("TfrmProfileEditor", "Ограничитель оборотов: %1 об/мин")
          .arg(op.fMaxRPM);
    case TImageTable::COReg:
      return QCoreApplication::translate("TfrmProfileEditor", "Байт CO: %1 (код %2)")
          .arg(int{op.fCOReg} - 128)
          .arg(op.fCOReg);
    default:
      return {};
  }
}
