// The calibration document: loading, collecting back, the history.
#include <gtest/gtest.h>

#include "calibration/Calibration.h"

TEST(CalibrationDocument, StartsEmpty) {
  TCalibration doc;
  EXPECT_FALSE(doc.Loaded());
  EXPECT_FALSE(doc.CanUndo());
}
