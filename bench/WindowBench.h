#pragma once
// What the window benchmarks share: the main window with the demo image loaded (made once,
// shown offscreen, the fuel page in front), and a main that runs the benchmarks under a
// QApplication on the offscreen platform unless another is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "ui/app/MainWindow.h"

inline TfrmMain* DemoWindow() {
  static TfrmMain* window = [] {
    auto* w = new TfrmMain;
    w->EFI().LoadDefaultConfig();
    w->EFI().fImage = MakeDemoImage();
    w->show();
    w->FillGrids(false);
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    return w;
  }();
  return window;
}

inline int RunWindowBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
