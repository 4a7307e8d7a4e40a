#include "common/ShownText.h"

namespace {
bool IsControl(char16_t c) {
  return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f);
}
}  // namespace

QString EscapeControls(const QString& text) {
  bool any = false;
  for (const QChar c : text) any = any || IsControl(c.unicode());
  if (!any) return text;
  QString out;
  out.reserve(text.size() + 8);
  for (const QChar c : text) {
    if (IsControl(c.unicode()))
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    else
      out += c;
  }
  return out;
}

QString ShownPiece(const QString& text, qsizetype maxChars) {
  if (text.size() <= maxChars) return EscapeControls(text);
  return EscapeControls(text.left(maxChars)) + QStringLiteral("...");
}
