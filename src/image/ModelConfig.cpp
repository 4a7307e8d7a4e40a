#include "image/ModelConfig.h"

int TModelConfig::SparkMaxRows() const {
  return fVersion == 1 ? fSparkMaxMatrixDim1 : fSparkMaxMatrixDim1 + 1;
}

int TModelConfig::SparkMaxCols() const {
  return fVersion == 1 ? fSparkMaxMatrixDim2 : fSparkMaxMatrixDim2 + 1;
}

void TModelConfig::ComputeDerivedSizes() {
  // The sums are 8-bit fields, so they wrap like the unit's configuration bytes.
  if (fVersion == 1) {
    fFuelMainRows = static_cast<uint8_t>(fFuelMainMatrixDim1_Lo + fFuelMainMatrixDim1_Hi + 1);
    fSparkMainRows = static_cast<uint8_t>(fSparkMainMatrixDim1_Lo + fSparkMainMatrixDim1_Hi + 1);
  } else {
    fFuelMainRows = static_cast<uint8_t>(fFuelMainMatrixDim1_Lo + 1);
    fSparkMainRows = static_cast<uint8_t>(fSparkMainMatrixDim1_Lo + 1);
  }
  fFuelMainCols = static_cast<uint8_t>(fFuelMainMatrixDim2_Lo + 1);
  fSparkMainCols = static_cast<uint8_t>(fSparkMainMatrixDim2_Lo + 1);
}
