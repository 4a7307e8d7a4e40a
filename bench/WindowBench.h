#pragma once
// What the window benchmarks share: the main window with the demo image loaded (made once,
// shown offscreen, the fuel page in front), and a main that runs the benchmarks under a
// QApplication on the offscreen platform unless another is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <cstdlib>

#include "calibration/CalibrationSession.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "ui/app/MainWindow.h"

// A part of the main window by its object name, as the window tests find it.
template <typename T>
T& Part(TfrmMain* window, const char* name) {
  T* part = window->findChild<T*>(QLatin1String(name));
  if (!part) std::abort();
  return *part;
}

// The fuel page in front, as a user editing the fuel map has it.
inline void ShowFuelPage(TfrmMain* window) {
  Part<QTabWidget>(window, "PageControl1").setCurrentWidget(&Part<QWidget>(window, "TabSheet1"));
}

inline TfrmMain* DemoWindow() {
  static TfrmMain* window = [] {
    auto* w = new TfrmMain;
    TEFIOperator& efi = Part<TCalibrationSession>(w, "CalibrationSession").Efi();
    efi.LoadDefaultConfig();
    efi.fImage = MakeDemoImage();
    w->show();
    w->FillGrids(false);
    ShowFuelPage(w);
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
