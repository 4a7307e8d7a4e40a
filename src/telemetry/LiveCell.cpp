#include "telemetry/LiveCell.h"

int FindLiveColumn(const HeaderValue& rpmHeader, int colCount, double rpm) {
  return SearchLiveColumn(rpmHeader, colCount, rpm);
}

int FindLiveRow(const HeaderValue& loadHeader, int rowCount, double load) {
  return SearchLiveRow(loadHeader, rowCount, load);
}
