// The map editors' speed offscreen: filling every grid from the demo image, one fuel-cell
// edit (check, colour range, repaint), so that typing never lags, and the repaint of the
// fuel map with a log analysis laid over it (under 20 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <random>

#include "WindowBench.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
void BM_FillGrids(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  for (auto _ : state) {
    Part<TCalibrationSession>(window, "CalibrationSession").Efi().fImage = MakeDemoImage();
    window->FillGrids(false);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_FillGrids)->Unit(benchmark::kMillisecond);

void BM_FuelCellEdit(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  TStringGrid* grid = &Part<TStringGrid>(window, "sgFuelMain");
  ShowFuelPage(window);
  int n = 0;
  for (auto _ : state) {
    // The grid's own cell-change handling: check the left cell, recompute, repaint.
    grid->SetCell(5, 5, FloatToStr(1.0 + (n++ % 40) / 100.0));
    grid->SelectCell(6 + n % 2, 5);
    grid->viewport()->repaint();
  }
}
BENCHMARK(BM_FuelCellEdit)->Unit(benchmark::kMicrosecond);
void BM_LogOverlayRepaint(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  ShowFuelPage(window);
  // A drive of 200 000 records spread over the whole map, so that every cell has a mark.
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> rpm(600, 6500), load(0.5, 9), o2(0.1, 0.9);
  std::vector<LiveRecord> records(200000);
  for (size_t i = 0; i < records.size(); ++i) {
    LiveRecord& r = records[i];
    r = {};
    r[kTime] = static_cast<double>(i) / 10;
    r[kRPM] = rpm(rng);
    r[kLOAD] = load(rng);
    r[kO2] = o2(rng);
  }
  Part<TfrmLogAnalysis>(window, "frmLogAnalysis")
      .SetRecords(std::move(records), QStringLiteral("bench"));
  TStringGrid* grid = &Part<TStringGrid>(window, "sgFuelMain");
  // Rendered into a picture, so that every cell is painted with its colour and its mark.
  QPixmap picture(grid->viewport()->size());
  for (auto _ : state) grid->viewport()->render(&picture);
}
BENCHMARK(BM_LogOverlayRepaint)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv);
}
