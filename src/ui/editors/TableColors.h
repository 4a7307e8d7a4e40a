#pragma once
// Unit uTableColors, the colour scale of the part-load maps: TableColors, its 13 colours, from
// red-orange (0) through greyish violet to light cyan (12), and the green of the live
// operating-point mark. The part-load map pages paint their cells with it (PartLoadPage.cpp,
// the colour scale of the maps); TColorLegend shows its key.

#include <QColor>
#include <array>

const std::array<QColor, 13>& TableColors();
// Green of the live operating point.
inline QColor LiveMarkColor() {
  return QColor(0, 128, 0);
}
