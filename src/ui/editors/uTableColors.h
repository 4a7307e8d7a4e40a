#pragma once
// The 13 colours of the part-load maps' scale, from red-orange (0) through greyish violet
// to light cyan (12).

#include <QColor>
#include <array>

const std::array<QColor, 13>& TableColors();
// Green of the live operating point.
inline QColor LiveMarkColor() {
  return QColor(0, 128, 0);
}
