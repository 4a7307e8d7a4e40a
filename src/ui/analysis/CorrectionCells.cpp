#include "ui/analysis/CorrectionCells.h"

#include <QCoreApplication>
#include <cmath>

#include "common/DecimalText.h"

namespace {
const QColor kRicher(255, 200, 180), kLeaner(190, 215, 255), kLocked(255, 240, 180);
const QColor kFaint(150, 150, 150);

QString Number(double v, int decimals) {
  return FormatFixed(v, 0, decimals, DecimalSeparator());
}

QString Swatch(const QColor& colour, const QString& text) {
  return QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span> %2")
      .arg(colour.name(), text);
}
}  // namespace

QColor CorrectionCellColour(const TFuelCorrection& c, size_t i, double current) {
  if (c.outcome[i] == TCellOutcome::Locked) return kLocked;
  if (!c.changed[i]) return Qt::white;
  return c.proposed[i] > current ? kRicher : kLeaner;
}

bool CorrectionCellFaint(const TFuelCorrection& c, size_t i) {
  return c.outcome[i] == TCellOutcome::NoData || c.outcome[i] == TCellOutcome::FewData;
}

QString CorrectionCellTip(const TFuelCorrection& c, size_t i, double current,
                          const std::function<QString(double)>& shown) {
  QStringList lines;
  lines << QCoreApplication::translate("CorrectionCells", "Записей: %1, вес: %2")
               .arg(c.counts[i])
               .arg(Number(c.weight[i], 1));
  if (std::isfinite(c.measuredAfr[i]))
    lines << QCoreApplication::translate("CorrectionCells", "AFR измеренный: %1, целевой: %2")
                 .arg(Number(c.measuredAfr[i], 2), Number(c.target[i], 2));
  else
    lines << QCoreApplication::translate("CorrectionCells", "AFR целевой: %1")
                 .arg(Number(c.target[i], 2));
  switch (c.outcome[i]) {
    case TCellOutcome::Changed:
      lines << QCoreApplication::translate("CorrectionCells", "Изменение: %1 -> %2 (%3 %)")
                   .arg(shown(current), shown(c.proposed[i]),
                        Number((c.proposed[i] / current - 1) * 100, 1));
      break;
    case TCellOutcome::NoData:
      lines << QCoreApplication::translate("CorrectionCells", "Без изменения: нет записей");
      break;
    case TCellOutcome::FewData:
      lines << QCoreApplication::translate("CorrectionCells",
                                           "Без изменения: мало данных (вес меньше наименьшего)");
      break;
    case TCellOutcome::Locked:
      lines << QCoreApplication::translate("CorrectionCells", "Без изменения: ячейка закреплена");
      break;
    case TCellOutcome::Deadband:
      lines << QCoreApplication::translate(
          "CorrectionCells",
          "Без изменения: уже в пределах точности (полшага кода или погрешность)");
      break;
    case TCellOutcome::Kept:
      lines << QCoreApplication::translate(
          "CorrectionCells", "Без изменения: удержана шагом, допуском или пределами ячейки");
      break;
  }
  return lines.join(QLatin1Char('\n'));
}

QString CorrectionLegend() {
  return Swatch(kRicher,
                QCoreApplication::translate("CorrectionCells", "богаче (больше топлива)")) +
         QStringLiteral("&nbsp;&nbsp; ") +
         Swatch(kLeaner,
                QCoreApplication::translate("CorrectionCells", "беднее (меньше топлива)")) +
         QStringLiteral("&nbsp;&nbsp; ") +
         Swatch(kLocked,
                QCoreApplication::translate("CorrectionCells", "закреплена (двойной щелчок)")) +
         QStringLiteral("&nbsp;&nbsp; ") +
         Swatch(Qt::white, QCoreApplication::translate("CorrectionCells", "без изменения")) +
         QStringLiteral("&nbsp;&nbsp; ") +
         QStringLiteral("<span style=\"color:%1\">1,00</span> ").arg(kFaint.name()) +
         QCoreApplication::translate("CorrectionCells", "мало данных");
}
