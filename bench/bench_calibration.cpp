// The calibration document's speed: each operation on the whole part-load fuel map (the
// step computed and applied), its undo and redo, and the memory of 10 000 single-cell
// edits in the history (what the history counts and what the process grows by).
// Goals: an operation, an undo, a redo under 5 ms; 10 000 edits under 10 MB.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <functional>

#include "calibration/Calibration.h"
#include "calibration/CalibrationOps.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"

namespace {
const TEFIOperator& Demo() {
  static const TEFIOperator* op = [] {
    auto* efi = new TEFIOperator(true);
    efi->LoadDefaultConfig();
    efi->fImage = MakeDemoImage();
    efi->DecodeImage();
    return efi;
  }();
  return *op;
}

const TTableId kFuel = TTableId::FuelMain;

TSelection Whole(const TCalTable& t) {
  return {t.fixedCols, t.fixedRows, t.cols - 1, t.rows - 1};
}

using Operation = std::function<TOpResult(const TCalTable&, int n)>;

// One operation computed and applied per iteration; the undo that keeps the map from
// drifting is not timed.
void RunOperation(benchmark::State& state, const Operation& op) {
  TCalibration doc;
  doc.Load(Demo());
  int n = 0;
  size_t cells = 0;
  for (auto _ : state) {
    const TOpResult r = op(doc.Table(kFuel), n++);
    cells = r.step.cells.size();
    const bool applied = doc.Apply(r.step);
    state.PauseTiming();
    if (applied) doc.Undo();
    state.ResumeTiming();
  }
  state.counters["cells"] = static_cast<double>(cells);
}

void BM_SetValue(benchmark::State& state) {
  RunOperation(state,
               [](const TCalTable& t, int n) { return SetValue(t, Whole(t), n % 2 ? 1.1 : 1.2); });
}
void BM_AddValue(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return AddValue(t, Whole(t), 0.05); });
}
void BM_ScalePercent(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return ScalePercent(t, Whole(t), 105); });
}
void BM_StepUp(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return StepCodes(t, Whole(t), 1); });
}
void BM_InterpolateH(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return InterpolateH(t, Whole(t)); });
}
void BM_InterpolateV(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return InterpolateV(t, Whole(t)); });
}
void BM_Interpolate2D(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return Interpolate2D(t, Whole(t)); });
}
void BM_Smooth(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) { return Smooth(t, Whole(t)); });
}
void BM_Paste(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) {
    QString shifted = CopyText(t, Whole(t), ',');
    shifted.replace(QStringLiteral("1,1"), QStringLiteral("1,2"));
    return Paste(t, t.fixedCols, t.fixedRows, shifted, ',');
  });
}
void BM_ImportCsv(benchmark::State& state) {
  RunOperation(state, [](const TCalTable& t, int) {
    QString csv = ExportCsv(t, '.');
    csv.replace(QStringLiteral(",1.1,"), QStringLiteral(",1.2,"));
    return ImportCsv(t, csv, '.');
  });
}
BENCHMARK(BM_SetValue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddValue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScalePercent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InterpolateH)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InterpolateV)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Interpolate2D)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Smooth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paste)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMicrosecond);

// Undo and redo of a step over the whole map, each timed on its own.
void BM_UndoRedo(benchmark::State& state, bool undo) {
  TCalibration doc;
  doc.Load(Demo());
  const TCalTable& t = doc.Table(kFuel);
  doc.Apply(ScalePercent(t, Whole(t), 97).step);
  for (auto _ : state) {
    if (undo) {
      doc.Undo();
      state.PauseTiming();
      doc.Redo();
      state.ResumeTiming();
    } else {
      state.PauseTiming();
      doc.Undo();
      state.ResumeTiming();
      doc.Redo();
    }
  }
}
BENCHMARK_CAPTURE(BM_UndoRedo, Undo, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_UndoRedo, Redo, false)->Unit(benchmark::kMicrosecond);

// The resident set in bytes (Linux).
double ResidentBytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toDouble() * 4096 : 0;
}

void BM_History10000Edits(benchmark::State& state) {
  for (auto _ : state) {
    TCalibration doc;
    doc.Load(Demo());
    const double before = ResidentBytes();
    const TCalTable& t = doc.Table(kFuel);
    for (int n = 0; n < 10000; ++n) {
      const int col = 1 + n % (t.cols - 1), row = 1 + (n / (t.cols - 1)) % (t.rows - 1);
      doc.Apply(
          {QStringLiteral("Ввод значения"), {{kFuel, col, row, {}, 0.8 + (n % 50) / 100.0}}, {}});
    }
    state.counters["history_MB"] = static_cast<double>(doc.HistoryBytes()) / (1 << 20);
    state.counters["rss_growth_MB"] = (ResidentBytes() - before) / (1 << 20);
  }
}
BENCHMARK(BM_History10000Edits)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
