#include "telemetry/LiveCell.h"

#include "common/Numbers.h"

int FindLiveColumn(const HeaderValue& rpmHeader, int colCount, double rpm) {
  const int n = colCount - 2;
  if (n <= 0) return 0;
  const auto speed = static_cast<double>(Nearest(rpm));
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
