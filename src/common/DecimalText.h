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

// A number a person typed: with `separator` or with the other decimal mark (',' for '.',
// '.' for ','), as a desktop's settings and a keypad's decimal key need not agree. A text
// with both marks is no number ("1.234,5" is refused, never read as 1.2345 or 1234.5).
std::optional<double> TryTypedFloat(QStringView text, QChar separator);
// The typed text of a number with `separator` as its decimal mark, its digits as typed
// ("1.20" becomes "1,20"); a text TryTypedFloat refuses comes back unchanged.
QString TypedFloatText(const QString& text, QChar separator);

// The difference of two numbers given as decimal texts (either mark), at the precision of
// the texts: the more decimals of the two, so that 1.07 - 1 is 0.07 and not the binary
// 0.0700000000000001; texts in scientific notation give the plain difference.
std::optional<double> TextDifference(QStringView current, QStringView reference);
// A value rounded to `decimals` places as its decimal text would be (halves away from zero).
double RoundToDecimals(double value, int decimals);

// Parses a 32-bit integer: decimal, or hexadecimal after "$"; blanks around it allowed.
std::optional<int32_t> TryStrToInt(QStringView text);
// Throws EConvertError ("'%s' is not a valid integer value") on failure.
int32_t StrToInt(const QString& text);
