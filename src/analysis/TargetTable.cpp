#include "analysis/TargetTable.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "common/DecimalText.h"

bool SameAxisValue(const QString& text, const std::optional<double>& value, QChar decimal) {
  if (text.trimmed().isEmpty()) return !value;
  const std::optional<double> read = TryStrToFloat(text, decimal);
  return read && value && std::abs(*read - *value) <= 1e-9 * std::max(1.0, std::abs(*value));
}

std::optional<std::vector<double>> ParseTargetTable(const QString& text, const TMapAxes& axes,
                                                    double low, double high, QChar decimal) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines)
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.pop_back();
  const int cols = axes.Cols(), rows = axes.Rows();
  if (cols == 0 || rows == 0 || lines.size() != rows + 1) return std::nullopt;
  const QStringList head = lines[0].split(QLatin1Char('\t'));
  if (head.size() != cols + 1) return std::nullopt;
  for (int c = 0; c < cols; ++c)
    if (!SameAxisValue(head[c + 1], axes.rpm[static_cast<size_t>(c)], decimal)) return std::nullopt;
  std::vector<double> targets;
  targets.reserve(static_cast<size_t>(rows) * static_cast<size_t>(cols));
  for (int r = 0; r < rows; ++r) {
    const QStringList fields = lines[r + 1].split(QLatin1Char('\t'));
    if (fields.size() != cols + 1 ||
        !SameAxisValue(fields[0], axes.load[static_cast<size_t>(r)], decimal))
      return std::nullopt;
    for (int c = 0; c < cols; ++c) {
      const std::optional<double> value = TryStrToFloat(fields[c + 1], decimal);
      if (!value || !(*value >= low && *value <= high)) return std::nullopt;
      targets.push_back(std::round(*value * 10) / 10);
    }
  }
  return targets;
}
