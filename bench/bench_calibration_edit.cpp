// The calibration edits' speed offscreen: one operation on the whole part-load fuel map as
// the "&Правка" menu runs it (the step applied, the grid's texts, colour range and repaint),
// and its undo and redo, so that no edit of a whole map lags (goal: under 5 ms each).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "WindowBench.h"
#include "calibration/CalibrationOps.h"
#include "image/DemoImage.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
TSelection WholeMap(const TCalTable& table) {
  return {table.fixedCols, table.fixedRows, table.cols - 1, table.rows - 1};
}

void Repaint(TfrmMain* window) {
  Part<TStringGrid>(window, "sgFuelMain").viewport()->repaint();
}

void BM_ScaleWholeFuelMap(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  TCalibration& doc = Part<TMapEditors>(window, "MapEditors").Doc();
  int n = 0;
  for (auto _ : state) {
    const TCalTable& table = doc.Table(TTableId::FuelMain);
    // Alternately up and down, so that every run changes every cell.
    doc.Apply(ScalePercent(table, WholeMap(table), n++ % 2 ? 95 : 105).step);
    Repaint(window);
  }
}
BENCHMARK(BM_ScaleWholeFuelMap)->Unit(benchmark::kMillisecond);

void BM_InterpolateWholeFuelMap(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  TCalibration& doc = Part<TMapEditors>(window, "MapEditors").Doc();
  for (auto _ : state) {
    state.PauseTiming();
    // An uneven map first, so that the interpolation changes it.
    const TCalTable& before = doc.Table(TTableId::FuelMain);
    doc.Apply(AddValue(before, {2, 2, 5, 5}, 0.1).step);
    state.ResumeTiming();
    const TCalTable& table = doc.Table(TTableId::FuelMain);
    doc.Apply(Interpolate2D(table, WholeMap(table)).step);
    Repaint(window);
  }
}
BENCHMARK(BM_InterpolateWholeFuelMap)->Unit(benchmark::kMillisecond);

void BM_UndoRedoWholeFuelMap(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  TCalibration& doc = Part<TMapEditors>(window, "MapEditors").Doc();
  const TCalTable& table = doc.Table(TTableId::FuelMain);
  doc.Apply(ScalePercent(table, WholeMap(table), 103).step);
  const bool undo = state.range(0) == 0;
  for (auto _ : state) {
    // Each timed step is an undo (or a redo); its opposite runs outside the timing.
    state.PauseTiming();
    if (!undo) doc.Undo();
    state.ResumeTiming();
    if (undo)
      doc.Undo();
    else
      doc.Redo();
    Repaint(window);
    state.PauseTiming();
    if (undo) doc.Redo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoRedoWholeFuelMap)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"redo"})
    ->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv);
}
