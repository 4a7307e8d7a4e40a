#include "analysis/TargetTable.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "common/DecimalText.h"

namespace {
// The first field of the header line.
const QString kCorner = QStringLiteral("AFR");

QString AxisText(const std::optional<double>& value, QChar separator) {
  return value ? FloatToStr(*value, separator) : QString();
}

bool SameAxisValue(const QString& text, const std::optional<double>& value, QChar separator) {
  if (text.trimmed().isEmpty()) return !value;
  const std::optional<double> read = TryStrToFloat(text, separator);
  return read && value && std::abs(*read - *value) <= 1e-9 * std::max(1.0, std::abs(*value));
}
}  // namespace

double TargetTenth(double value) {
  return std::round(value * 10) / 10;
}

QString TargetTableText(const TMapAxes& axes, const std::vector<double>& targets, QChar separator) {
  QString text = kCorner;
  for (const auto& rpm : axes.rpm) text += QLatin1Char('\t') + AxisText(rpm, separator);
  text += QLatin1Char('\n');
  for (int r = 0; r < axes.Rows(); ++r) {
    text += AxisText(axes.load[static_cast<size_t>(r)], separator);
    for (int c = 0; c < axes.Cols(); ++c)
      text += QLatin1Char('\t') +
              FormatFixed(targets[static_cast<size_t>(r * axes.Cols() + c)], 0, 1, separator);
    text += QLatin1Char('\n');
  }
  return text;
}

std::optional<std::vector<double>> ParseTargetTable(const QString& text, const TMapAxes& axes,
                                                    QChar separator) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines)
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.pop_back();
  const int cols = axes.Cols(), rows = axes.Rows();
  if (cols == 0 || rows == 0 || lines.size() != rows + 1) return std::nullopt;
  const QStringList head = lines[0].split(QLatin1Char('\t'));
  if (head.size() != cols + 1) return std::nullopt;
  for (int c = 0; c < cols; ++c)
    if (!SameAxisValue(head[c + 1], axes.rpm[static_cast<size_t>(c)], separator))
      return std::nullopt;
  std::vector<double> targets;
  for (int r = 0; r < rows; ++r) {
    const QStringList fields = lines[r + 1].split(QLatin1Char('\t'));
    if (fields.size() != cols + 1 ||
        !SameAxisValue(fields[0], axes.load[static_cast<size_t>(r)], separator))
      return std::nullopt;
    for (int c = 0; c < cols; ++c) {
      const std::optional<double> value = TryStrToFloat(fields[c + 1], separator);
      if (!value || !(*value >= kTargetAfrLow && *value <= kTargetAfrHigh)) return std::nullopt;
      targets.push_back(TargetTenth(*value));
    }
  }
  return targets;
}
