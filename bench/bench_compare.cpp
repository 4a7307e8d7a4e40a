// The comparison's speed: two whole decoded calibrations compared in core, the grids
// marked after a reference is opened, and the 3D view following one edited cell.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>

#include "WindowBench.h"
#include "calibration/Compare.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "ui/app/MainWindow.h"
#include "ui/compare/CompareCommands.h"
#include "ui/compare/CompareMarks.h"
#include "ui/editors/MapEditors.h"
#include "ui/surface/SurfaceWindow.h"
#include "ui/widgets/StringGrid.h"

namespace {
// The demo calibration and a copy with a block of the fuel map and an rpm breakpoint changed.
void Decoded(TEFIOperator& op, bool changed) {
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  if (!changed) return;
  for (int r = 2; r < 8; ++r)
    for (int c = 2; c < 8; ++c) op.fFuelMainMatrix[r][c] *= 1.05;
  op.fFuelMainMatrix[0][5] += 100;
}

void BM_CompareTwoImages(benchmark::State& state) {
  TEFIOperator a(true), b(true);
  Decoded(a, false);
  Decoded(b, true);
  TCalibration current, reference;
  current.Load(a);
  reference.Load(b);
  int cells = 0;
  for (auto _ : state) {
    const TCompareResult r = Compare(current, reference);
    cells = r.DifferentCells();
    benchmark::DoNotOptimize(cells);
  }
  state.counters["cells"] = cells;
}
BENCHMARK(BM_CompareTwoImages)->Unit(benchmark::kMicrosecond);

QString ReferenceFile() {
  static QTemporaryDir dir;
  static const QString path = [] {
    TEFIOperator op(true);
    Decoded(op, true);
    const QString p = dir.filePath("reference.dme");
    op.SaveSettings(1, p);
    return p;
  }();
  return path;
}

// From the decoded reference to every grid marked and the fuel map repainted.
void BM_MarkGridsAfterOpening(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  ShowFuelPage(window);
  const QString path = ReferenceFile();
  for (auto _ : state) {
    Part<TCompareCommands>(window, "CompareCommands").OpenReference(path);
    Part<TStringGrid>(window, "sgFuelMain").viewport()->repaint();
    state.PauseTiming();
    Part<TCompareCommands>(window, "CompareCommands").actCompareEndClick();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MarkGridsAfterOpening)->Unit(benchmark::kMillisecond);

// One typed fuel cell until the surface holds its new height and has drawn it.
void BM_SurfaceFollowsOneCell(benchmark::State& state) {
  TfrmMain* window = DemoWindow();
  ShowFuelPage(window);
  Part<QAction>(window, "act3D").trigger();
  TfrmSurface* surface = &Part<TfrmSurface>(window, "frm3D");
  if (!surface->HasGraph()) {
    state.SkipWithError("no OpenGL context");
    return;
  }
  QCoreApplication::processEvents();
  TStringGrid* grid = &Part<TStringGrid>(window, "sgFuelMain");
  int n = 0;
  for (auto _ : state) {
    grid->SetCell(5, 5, FloatToStr(1.0 + (n++ % 40) / 100.0));
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_SurfaceFollowsOneCell)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv);
}
