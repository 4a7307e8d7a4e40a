// The operations on a block of cells, the clipboard and CSV.
#include "calibration/CalibrationOps.h"

TOpResult SetValue(const TCalTable&, const TSelection&, double) {
  return {};
}
TOpResult AddValue(const TCalTable&, const TSelection&, double) {
  return {};
}
TOpResult ScalePercent(const TCalTable&, const TSelection&, double) {
  return {};
}
TOpResult StepCodes(const TCalTable&, const TSelection&, int) {
  return {};
}
TOpResult InterpolateH(const TCalTable&, const TSelection&) {
  return {};
}
TOpResult InterpolateV(const TCalTable&, const TSelection&) {
  return {};
}
TOpResult Interpolate2D(const TCalTable&, const TSelection&) {
  return {};
}
TOpResult Smooth(const TCalTable&, const TSelection&) {
  return {};
}
QString CopyText(const TCalTable&, const TSelection&, QChar) {
  return {};
}
TOpResult Paste(const TCalTable&, int, int, const QString&, QChar) {
  return {};
}
QString ExportCsv(const TCalTable&, QChar) {
  return {};
}
TOpResult ImportCsv(const TCalTable&, const QString&, QChar) {
  return {};
}
