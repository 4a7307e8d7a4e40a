// Telemetry log speed: loading a big log, and one cursor step of the playback window with
// a million records loaded.
//
//   bench_telemetry                      Google Benchmark run (makes the log if missing)
//   bench_telemetry --make-log FILE [N]  writes a log of N records (default 1 000 000)
//   bench_telemetry --load-once FILE [--parts N]
//                                        loads FILE once (in N pieces; 1 line by line) and
//                                        prints the time; for measuring the whole process
//                                        with /usr/bin/time -v
//   bench_telemetry --analyse-once FILE  loads FILE and lays it over the part-load maps (cell
//                                        statistics and the fuel correction); prints the time
//
// The log is TARVELO_BENCH_LOG, or tarvelo-bench-1M.txt in the temporary folder.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "analysis/FuelCorrection.h"
#include "analysis/LogAnalysis.h"
#include "image/CodeRange.h"
#include "telemetry/LogReader.h"
#include "telemetry/LogWriter.h"
#include "ui/telemetry/TelemetryWindow.h"
#include "ui/widgets/PagedChart.h"

namespace {

constexpr int kRecords = 1000000;

QString LogPath() {
  const QString path = qEnvironmentVariable("TARVELO_BENCH_LOG");
  return path.isEmpty() ? QDir::temp().filePath("tarvelo-bench-1M.txt") : path;
}

// A drive-like log: revs, load and speed swing slowly, the rest wander about.
void MakeLog(const QString& path, int records) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::exit(1);
  }
  QByteArray block = LogHeaderLine();
  for (int i = 0; i < records; ++i) {
    const double phase = i % 3000 / 3000.0;
    LiveRecord r;
    r[kRPM] = 850 + 5000 * phase;
    r[kLOAD] = 1 + 8.5 * phase;
    r[kO2] = (i * 7 % 90 + 10) / 100.0;
    r[kPW] = 1.5 + 9 * phase;
    r[kIGNITION] = 10 + i % 29;
    r[kMAF] = 0.3 + 4.4 * phase;
    r[kTPS] = i % 101;
    r[kCLT] = 40 + i % 500 / 10.0;
    r[kMAT] = 20 + i % 250 / 10.0;
    r[kVboard] = 13.6 + i % 9 / 10.0;
    r[kSPEED] = 130 * phase;
    block += LogRecordLine(i * 0.1003, r, '.');
    if (block.size() > (1 << 20)) {
      file.write(block);
      block.clear();
    }
  }
  file.write(block);
}

void EnsureLog() {
  if (!QFile::exists(LogPath())) MakeLog(LogPath(), kRecords);
}

void BM_LoadFromFile(benchmark::State& state) {
  EnsureLog();
  for (auto _ : state) {
    TEFILogger logger;
    logger.LoadFromFile(LogPath(), false);
    benchmark::DoNotOptimize(logger.Records.Count());
    state.counters["records"] = logger.Records.Count();
  }
  state.SetBytesProcessed(state.iterations() * QFileInfo(LogPath()).size());
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// The window with the big log loaded through its own button and dialog.
TFrmTelemetry& LoadedWindow() {
  static TFrmTelemetry* form = [] {
    EnsureLog();
    auto* f = new TFrmTelemetry;
    f->show();
    QTimer::singleShot(50, [f] {
      auto* list = f->ODLogFile->findChild<QAbstractItemView*>("listView");
      if (list) list->clearSelection();
      f->ODLogFile->findChild<QLineEdit*>("fileNameEdit")->setText(LogPath());
      static_cast<QDialog*>(f->ODLogFile)->accept();
    });
    f->LoadLogBtnClick();
    QApplication::processEvents();
    return f;
  }();
  return *form;
}

// One step of the position inside a page: page check, three cursors, twelve value boxes.
void BM_CursorStep(benchmark::State& state) {
  TFrmTelemetry& form = LoadedWindow();
  int p = 600000;
  form.scbarLog->setValue(p);
  while (form.DualChart1->Page() != p / 500 + 1) form.scbarLog->setValue(++p);
  for (auto _ : state) {
    p = p % 500 == 498 ? p - 497 : p + 1;  // stay within the page
    form.scbarLog->setValue(p);
  }
  state.counters["records"] = form.TelemetryLogger->Records.Count();
}
BENCHMARK(BM_CursorStep)->Unit(benchmark::kMicrosecond);

// A step that crosses into the next page: the three charts load a new page of points.
void BM_PageStep(benchmark::State& state) {
  TFrmTelemetry& form = LoadedWindow();
  int p = 499;
  form.scbarLog->setValue(1);
  form.btnToBeginClick();
  for (auto _ : state) {
    form.scbarLog->setValue(p);  // the follow-up moves all charts one page forward
    p += 500;
    if (p >= kRecords) {
      state.PauseTiming();
      form.btnToBeginClick();
      p = 499;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_PageStep)->Unit(benchmark::kMicrosecond);

// A step as the user sees it: the handler, then the repaint of the window.
void BM_CursorStepWithRepaint(benchmark::State& state) {
  TFrmTelemetry& form = LoadedWindow();
  int p = 600001;
  form.scbarLog->setValue(p);
  QApplication::processEvents();
  for (auto _ : state) {
    p = p % 500 == 498 ? p - 497 : p + 1;
    form.scbarLog->setValue(p);
    form.repaint();
  }
}
BENCHMARK(BM_CursorStepWithRepaint)->Unit(benchmark::kMillisecond);

// The axes of the demo image's part-load maps, as their grids show them (loads falling).
TMapAxes DemoAxes() {
  TMapAxes axes;
  for (double rpm : {600, 800, 1000, 1200, 1600, 2000, 2400, 2800, 3200, 3600, 4000, 4400, 4800,
                     5200, 5600, 6400})
    axes.rpm.emplace_back(rpm);
  for (double load : {10.0, 9.0, 8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.5, 2.0, 1.5, 1.0})
    axes.load.emplace_back(load);
  return axes;
}

// The whole analysis of a log file as the window runs it: load, cells, fuel correction.
int AnalyseOnce(const QString& path) {
  const auto start = std::chrono::steady_clock::now();
  TEFILogger logger;
  logger.LoadFromFile(path, false);
  const auto loaded = std::chrono::steady_clock::now();
  const TMapAxes axes = DemoAxes();
  TAnalysisOptions options;
  options.filter.minCoolant = 60;
  options.filter.maxTpsStep = 5;
  const TLogAnalysis cells =
      AnalyseLog(logger.Records.Data(), logger.Records.Count(), axes, options);
  TFuelCorrectionInput input;
  input.axes = axes;
  input.current.assign(static_cast<size_t>(axes.Cols() * axes.Rows()), 1.0);
  input.filters.minCoolant = 60;
  input.filters.maxTpsChange = 5;
  const TValueRange storable = StorableRange(TCodedTable::FuelMain, 2);
  input.limits = [storable](int, int) { return TFactorLimits{storable.low, storable.high}; };
  input.quantise = [](int, int, double f) { return StoredFuelFactor(f); };
  const TFuelCorrection fuel =
      ProposeFuelCorrection(logger.Records.Data(), logger.Records.Count(), input);
  const auto end = std::chrono::steady_clock::now();
  int64_t changed = 0;
  for (char c : fuel.changed) changed += c;
  std::printf("analysis %.3f s (load %.3f s), %d records, %lld filtered, %lld cells changed\n",
              std::chrono::duration<double>(end - start).count(),
              std::chrono::duration<double>(loaded - start).count(), logger.Records.Count(),
              static_cast<long long>(cells.filtered), static_cast<long long>(changed));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--make-log") == 0) {
    MakeLog(QString::fromLocal8Bit(argv[2]), argc >= 4 ? std::atoi(argv[3]) : kRecords);
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "--load-once") == 0) {
    // --parts N reads in N pieces (1: line by line, as small files are read).
    if (argc >= 5 && std::strcmp(argv[3], "--parts") == 0) {
      TEFILogger::ParallelParts = std::atoi(argv[4]);
      if (TEFILogger::ParallelParts <= 1) TEFILogger::ParallelFromBytes = INT64_MAX;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    TEFILogger logger;
    logger.LoadFromFile(QString::fromLocal8Bit(argv[2]), false);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // The processor time of all threads too: on a busy machine it says what the wall clock
    // cannot.
    std::printf("load %.3f s, %d records, cpu %.3f s\n", took.count(), logger.Records.Count(),
                static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "--analyse-once") == 0)
    return AnalyseOnce(QString::fromLocal8Bit(argv[2]));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
