#include "ui/editors/TableColors.h"

const std::array<QColor, 13>& TableColors() {
  static const std::array<QColor, 13> colors = {
      QColor(255, 50, 0),    QColor(230, 50, 25),   QColor(205, 50, 50),   QColor(180, 75, 75),
      QColor(153, 102, 102), QColor(128, 102, 128), QColor(102, 102, 153), QColor(78, 128, 180),
      QColor(51, 153, 204),  QColor(51, 175, 204),  QColor(51, 204, 204),  QColor(28, 204, 235),
      QColor(0, 235, 255)};
  return colors;
}
