#include "telemetry/LiveCell.h"

#include <cmath>

int FindLiveColumn(const HeaderValue& rpmHeader, int colCount, double rpm) {
  const int n = colCount - 2;
  if (n <= 0) return 0;
  // The whole engine speed, ties to even, kept a float: no integer conversion, so any
  // value (even one no integer can hold) only decides where the search stops.
  const double speed = std::rint(rpm);
  int c = 1;
  for (int step = 0; step < n; ++step) {
    const std::optional<double> header = rpmHeader(c + 1);
    if (header && *header > speed) break;
    ++c;
  }
  return c;
}

int FindLiveRow(const HeaderValue& loadHeader, int rowCount, double load) {
  const int m = rowCount - 2;
  if (m <= 0) return 0;
  int r = 1;
  for (int step = 0; step < m; ++step) {
    const std::optional<double> header = loadHeader(r + 1);
    if (header && *header < load) break;
    ++r;
  }
  return r;
}
