#pragma once
// Numbers as text, the way every grid, edit box, label and text file of the program shows
// and reads them: the user's decimal separator, no thousands separator.

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>
#include <string>

// The user's decimal separator (the default QLocale's).
QChar DecimalSeparator();

// The general decimal form: rounded to 15 significant digits; fixed notation without
// trailing zeros when the value is 0 or at least 0.00001 in magnitude with at most 15
// digits before the point; otherwise scientific ("1.5E-6", "1E20").
QString FloatToStr(double value);
QString FloatToStr(double value, QChar separator);
std::string FloatToStdString(double value, char separator);

// "%w.pf": fixed notation rounded to `decimals` places (halves away from zero), padded on
// the left with blanks to at least `width` characters.
QString FormatFixed(double value, int width, int decimals, QChar separator);
std::string FormatFixedStd(double value, int width, int decimals, char separator);

// Parses a decimal number with the given separator; blanks around it are allowed.
std::optional<double> TryStrToFloat(QStringView text, QChar separator);
std::optional<double> TryParseFloat(std::string_view text, char separator);
// As above with the user's separator; throws EConvertError with the text on failure.
double StrToFloat(const QString& text);

// Parses a 32-bit integer: decimal, or hexadecimal after "$"; blanks around it allowed.
std::optional<int32_t> TryStrToInt(QStringView text);
// Throws EConvertError ("'%s' is not a valid integer value") on failure.
int32_t StrToInt(const QString& text);
