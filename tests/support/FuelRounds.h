#pragma once
// Rounds of "drive, log, analyse, apply" against the virtual engine on the demo image's
// part-load fuel map, as a tuner would run them: each round the engine drives one sweep with
// the map as it stands, the fuel correction analyses that log and its proposal is applied to
// the calibration as one step. The engine's true need differs from the demo map by a smooth
// error and a chequered one (the kind a per-cell average does not see); what each round
// leaves is measured against it. Shared by the convergence test and the benchmark.

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/FuelMapInput.h"
#include "calibration/Calibration.h"
#include "image/CodeRange.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "sim/VirtualEngine.h"

struct TRoundResult {
  double rms = 0;       // of the visited cells' error, a share of their need
  double max = 0;       // the largest error there
  int visited = 0;      // cells with weight enough in the first round
  int changed = 0;      // cells this round changed
  int movedAway = 0;    // cells whose error grew this round by more than one code
  int64_t records = 0;  // the round's log
  int64_t used = 0;     // records the filters kept
};

class TFuelRounds {
 public:
  explicit TFuelRounds(TVirtualEngineOptions options = {}) : fOp(true) {
    fOp.LoadDefaultConfig();
    fOp.fImage = MakeDemoImage();
    fOp.DecodeImage();
    fDoc.Load(fOp);
    const TCalTable& map = fDoc.Table(TTableId::FuelMain);
    const TMapAxes axes = AxesOfTable(map);
    for (const auto& v : axes.rpm) fRpm.push_back(*v);
    for (const auto& v : axes.load) fLoad.push_back(*v);
    fOriginal = ValuesOfTable(map);
    std::vector<double> start;
    for (double f : fOriginal) start.push_back(UnitFuelFactor(f));
    const std::vector<double> need = PracticeNeed(start, static_cast<size_t>(axes.Cols()));
    fEngine = std::make_unique<TVirtualEngine>(fRpm, fLoad, need, options);
    fLastError = Errors();
  }

  // One round; `configure` may change the correction's settings first.
  template <typename Configure>
  TRoundResult Round(unsigned seed, Configure&& configure) {
    const TCalTable& map = fDoc.Table(TTableId::FuelMain);
    std::vector<double> exact;
    for (double f : ValuesOfTable(map)) exact.push_back(UnitFuelFactor(f));
    fEngine->SetFuelMap(exact);
    fEngine->Restart(seed);
    const std::vector<LiveRecord> log = fEngine->Drive(fEngine->SweepSeconds());
    TFuelCorrectionInput in = FuelMapInput(map);
    in.original = fOriginal;
    configure(in);
    const TFuelCorrection fc =
        ProposeFuelCorrection(log.data(), static_cast<int64_t>(log.size()), in);
    if (fVisited.empty())
      for (double w : fc.weight) fVisited.push_back(w >= in.minWeight);
    fDoc.Apply(CorrectionStep(map, fc, QStringLiteral("round")));
    TRoundResult out;
    out.records = fc.records;
    out.used = fc.used;
    out.changed = fc.ChangedCount();
    const std::vector<double> errors = Errors();
    double sum = 0;
    for (size_t i = 0; i < errors.size(); ++i) {
      if (!fVisited[i]) continue;
      ++out.visited;
      sum += errors[i] * errors[i];
      out.max = std::max(out.max, std::fabs(errors[i]));
      const double code = 0.0075 / fEngine->Need()[i];
      if (std::fabs(errors[i]) > std::fabs(fLastError[i]) + code * 1.001) ++out.movedAway;
    }
    out.rms = out.visited ? std::sqrt(sum / out.visited) : 0;
    fLastError = errors;
    return out;
  }
  TRoundResult Round(unsigned seed) {
    return Round(seed, [](TFuelCorrectionInput&) {});
  }

  const TCalibration& Doc() const { return fDoc; }
  // The visited cells' error before any round (RMS and largest, shares of the need); the
  // cells are those of the first round, all of them before it.
  TRoundResult Start() const {
    TRoundResult out;
    double sum = 0;
    for (double e : fLastError) {
      ++out.visited;
      sum += e * e;
      out.max = std::max(out.max, std::fabs(e));
    }
    out.rms = std::sqrt(sum / out.visited);
    return out;
  }

 private:
  // Each cell's factor as the unit uses it against the true need, a share of the need.
  std::vector<double> Errors() const {
    const std::vector<double> values = ValuesOfTable(fDoc.Table(TTableId::FuelMain));
    std::vector<double> errors;
    for (size_t i = 0; i < values.size(); ++i)
      errors.push_back(UnitFuelFactor(values[i]) / fEngine->Need()[i] - 1);
    return errors;
  }

  TEFIOperator fOp;
  TCalibration fDoc;
  std::vector<double> fRpm, fLoad, fOriginal, fLastError;
  std::vector<char> fVisited;
  std::unique_ptr<TVirtualEngine> fEngine;
};
