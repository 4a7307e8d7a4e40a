// The map editors' speed offscreen: filling every grid from the demo image, and one
// fuel-cell edit (check, colour range, repaint), so that typing never lags.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "ui/app/mainfrm.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
TfrmMain* Window() {
  static TfrmMain* window = [] {
    auto* w = new TfrmMain;
    w->EFI().LoadDefaultConfig();
    w->EFI().fImage = MakeDemoImage();
    w->show();
    w->FillGrids(false);
    return w;
  }();
  return window;
}

void BM_FillGrids(benchmark::State& state) {
  TfrmMain* window = Window();
  for (auto _ : state) {
    window->EFI().fImage = MakeDemoImage();
    window->FillGrids(false);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_FillGrids)->Unit(benchmark::kMillisecond);

void BM_FuelCellEdit(benchmark::State& state) {
  TfrmMain* window = Window();
  TStringGrid* grid = window->Maps().sgFuelMain;
  window->PageControl1->setCurrentWidget(window->TabSheet1);
  int n = 0;
  for (auto _ : state) {
    // The grid's own cell-change handling: check the left cell, recompute, repaint.
    grid->SetCell(5, 5, FloatToStr(1.0 + (n++ % 40) / 100.0));
    grid->SelectCell(6 + n % 2, 5);
    grid->viewport()->repaint();
  }
}
BENCHMARK(BM_FuelCellEdit)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
