// The CSV import of one table: any text into any table of the demo calibration, with the
// full stop or the comma as the decimal mark (the first byte chooses both). An accepted
// import must be one step whose every changed value is one the cell can store, and undoing
// it must give back the table as it was; a refused one must change nothing.

#include <QString>
#include <algorithm>
#include <cmath>

#include "calibration/Calibration.h"
#include "calibration/CalibrationOps.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"

namespace {

TCalibration& Demo() {
  static TCalibration* doc = [] {
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fImage = MakeDemoImage();
    op.DecodeImage();
    auto* d = new TCalibration;
    d->Load(op);
    return d;
  }();
  return *doc;
}

bool SameValues(const TCalTable& a, const TCalTable& b) {
  if (a.cols != b.cols || a.rows != b.rows) return false;
  for (int r = 0; r < a.rows; ++r)
    for (int c = 0; c < a.cols; ++c)
      if (a.Value(c, r) != b.Value(c, r)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TCalibration& doc = Demo();
  const auto id = static_cast<TTableId>((data[0] & 0x7f) % kTableCount);
  const QChar decimal = data[0] & 0x80 ? QLatin1Char(',') : QLatin1Char('.');
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  const TCalTable before = doc.Table(id);
  const TOpResult result = ImportCsv(before, text, decimal);
  if (!result.error.isEmpty()) {
    if (!SameValues(doc.Table(id), before)) __builtin_trap();
    return 0;
  }
  doc.Apply(result.step);
  const TCalTable& after = doc.Table(id);
  for (int r = 0; r < after.rows; ++r)
    for (int c = 0; c < after.cols; ++c) {
      // Cells the import left as loaded keep their loaded values, storable under the
      // editors' limits or not; what it changed must be storable.
      const std::optional<double> v = after.Value(c, r);
      if (!v || after.IsFixed(c, r) || v == before.Value(c, r)) continue;
      // The stored value is the one its code gives, up to the binary noise of the two
      // ways of computing it: its text, as the grid shows it, is the quantised value's.
      const TCellRule rule = after.Rule(c, r);
      if (!std::isfinite(*v) || rule.Show(rule.Quantise(*v)) != rule.Show(*v) ||
          std::abs(rule.Quantise(*v) - *v) > 1e-9 * std::max(1.0, std::abs(*v)))
        __builtin_trap();
    }
  if (doc.CanUndo()) doc.Undo();
  if (!SameValues(doc.Table(id), before)) __builtin_trap();
  return 0;
}
