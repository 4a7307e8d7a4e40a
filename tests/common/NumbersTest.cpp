#include <gtest/gtest.h>

#include <QLocale>
#include <cfenv>
#include <climits>
#include <cmath>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"

TEST(Nearest, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(Nearest(0.5L), 0);
  EXPECT_EQ(Nearest(1.5L), 2);
  EXPECT_EQ(Nearest(2.5L), 2);
  EXPECT_EQ(Nearest(-0.5L), 0);
  EXPECT_EQ(Nearest(-1.5L), -2);
  EXPECT_EQ(Nearest(-2.5L), -2);
  EXPECT_EQ(Nearest(2.4999L), 2);
  EXPECT_EQ(Nearest(-2.5001L), -3);
  EXPECT_EQ(Nearest(922.5L), 922);
}

// Numbers read from files become integers only through the checked form.
TEST(Nearest, CheckedFormRefusesWhatNoInt64Holds) {
  EXPECT_EQ(TryNearest(2.5L), 2);
  EXPECT_EQ(TryNearest(-2.5L), -2);
  EXPECT_EQ(TryNearest(-9223372036854775808.0L), INT64_MIN);
  EXPECT_EQ(TryNearest(9223372036854775807.0L), INT64_MAX);
  EXPECT_EQ(TryNearest(-9223372036854775808.4L), INT64_MIN);
  EXPECT_FALSE(TryNearest(9223372036854775808.0L));
  EXPECT_FALSE(TryNearest(-9223372036854775809.0L));
  EXPECT_FALSE(TryNearest(1e30L));
  EXPECT_FALSE(TryNearest(-1e30L));
  EXPECT_FALSE(TryNearest(HUGE_VALL));
  EXPECT_FALSE(TryNearest(-HUGE_VALL));
  EXPECT_FALSE(TryNearest(NAN));
}

TEST(RoundToDigit, TruncatesAfterAddingAHalfSoNegativesAreNotSymmetric) {
  EXPECT_DOUBLE_EQ(RoundToDigit(-2.44, -1), -2.3);
  EXPECT_DOUBLE_EQ(RoundToDigit(2.44, -1), 2.4);
  EXPECT_DOUBLE_EQ(RoundToDigit(27.5, 0), 28);
  EXPECT_DOUBLE_EQ(RoundToDigit(27.4, 0), 27);
  EXPECT_DOUBLE_EQ(RoundToDigit(0.456, -2), 0.46);
  EXPECT_DOUBLE_EQ(RoundToDigit(-12.34, -1), -12.2);
}

TEST(RoundToDigit, QuotientIsFormedInExtendedPrecision) {
  // -3.25 / 0.1 is just above -32.5 in 80 bits; a 64-bit quotient would round to -32.5.
  EXPECT_EQ(RoundToDigit(-3.25, -1), -3.1);
  EXPECT_EQ(RoundToDigit(-1.75, -1), -1.6);
  EXPECT_EQ(RoundToDigit(-0.25, -1), -0.1);
  // The product is formed in 80 bits too, so it may sit one unit off the nearest double;
  // what the user sees is still the short text.
  EXPECT_DOUBLE_EQ(RoundToDigit(-2.5, -1), -2.4);
  EXPECT_EQ(FloatToStr(RoundToDigit(-2.5, -1), '.'), "-2.4");
}

TEST(GeneralForm, FixedNotationWithoutTrailingZeros) {
  EXPECT_EQ(FloatToStr(0, '.'), "0");
  EXPECT_EQ(FloatToStr(-0.0, '.'), "0");
  EXPECT_EQ(FloatToStr(1.5, '.'), "1.5");
  EXPECT_EQ(FloatToStr(1.5, ','), "1,5");
  EXPECT_EQ(FloatToStr(-30, ','), "-30");
  EXPECT_EQ(FloatToStr(1.05, '.'), "1.05");
  EXPECT_EQ(FloatToStr(0.1 + 0.2, '.'), "0.3");
  EXPECT_EQ(FloatToStr(6500, '.'), "6500");
  EXPECT_EQ(FloatToStr(1234567.125, ','), "1234567,125");
}

TEST(GeneralForm, FifteenSignificantDigits) {
  EXPECT_EQ(FloatToStr(1.0 / 3.0, '.'), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3.0, '.'), "0.666666666666667");
  EXPECT_EQ(FloatToStr(123456789012345.0, '.'), "123456789012345");
  EXPECT_EQ(FloatToStr(999999999999999.0, '.'), "999999999999999");
  // Sixteen digits before the point: scientific.
  EXPECT_EQ(FloatToStr(1e15, '.'), "1E15");
  EXPECT_EQ(FloatToStr(1234567890123456.0, '.'), "1.23456789012346E15");
  // Rounding to 15 digits carries into a new leading digit.
  EXPECT_EQ(FloatToStr(9.9999999999999999, '.'), "10");
}

TEST(GeneralForm, SmallValuesTurnScientificBelowOneHundredThousandth) {
  EXPECT_EQ(FloatToStr(0.00001, '.'), "0.00001");
  EXPECT_EQ(FloatToStr(-0.00001, ','), "-0,00001");
  EXPECT_EQ(FloatToStr(0.0000099, '.'), "9.9E-6");
  EXPECT_EQ(FloatToStr(0.0000099, ','), "9,9E-6");
  EXPECT_EQ(FloatToStr(1e-300, '.'), "1E-300");
  EXPECT_EQ(FloatToStr(0.000123, '.'), "0.000123");
}

TEST(GeneralForm, FollowsTheUserLocale) {
  QLocale::setDefault(QLocale(QLocale::Russian));
  EXPECT_EQ(FloatToStr(1.05), "1,05");
  EXPECT_DOUBLE_EQ(StrToFloat("1,05"), 1.05);
  EXPECT_THROW(StrToFloat("1.05"), EConvertError);
  QLocale::setDefault(QLocale(QLocale::English));
  EXPECT_EQ(FloatToStr(1.05), "1.05");
  EXPECT_DOUBLE_EQ(StrToFloat("1.05"), 1.05);
  EXPECT_THROW(StrToFloat("1,05"), EConvertError);
  QLocale::setDefault(QLocale::c());
}

TEST(ParseFloat, AcceptsBlanksSignsAndExponents) {
  EXPECT_EQ(TryStrToFloat(u"  1.5  ", '.'), 1.5);
  EXPECT_EQ(TryStrToFloat(u"-2", '.'), -2.0);
  EXPECT_EQ(TryStrToFloat(u"+2", '.'), 2.0);
  EXPECT_EQ(TryStrToFloat(u".5", '.'), 0.5);
  EXPECT_EQ(TryStrToFloat(u"5.", '.'), 5.0);
  EXPECT_EQ(TryStrToFloat(u"1E3", '.'), 1000.0);
  EXPECT_EQ(TryStrToFloat(u"1,5e-2", ','), 0.015);
  EXPECT_EQ(TryParseFloat("  850", '.'), 850.0);
}

TEST(ParseFloat, RefusesWhatIsNotANumber) {
  for (const char16_t* bad : {u"", u" ", u"abc", u"12a", u"1.5.5", u"1e", u"--1", u"1 5", u".",
                              u"$10", u"1,5", u"nan", u"inf", u"1e999"})
    EXPECT_FALSE(TryStrToFloat(bad, '.').has_value()) << QString::fromUtf16(bad).toStdString();
  try {
    QLocale::setDefault(QLocale::c());
    StrToFloat("x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid floating point value");
  }
}

TEST(ParseFloat, RoundTripsTheGeneralForm) {
  for (double v : {0.98, -3.1, 1.0 / 3.0, 123.456, 1e-7, 6.02e23, -0.00001})
    EXPECT_EQ(TryStrToFloat(FloatToStr(v, ','), ',').value(),
              TryStrToFloat(FloatToStr(v, '.'), '.').value());
}

TEST(ParseInt, DecimalAndDollarHex) {
  EXPECT_EQ(TryStrToInt(u"32246"), 32246);
  EXPECT_EQ(TryStrToInt(u"$7DF6"), 32246);
  EXPECT_EQ(TryStrToInt(u"$7df6"), 32246);
  EXPECT_EQ(TryStrToInt(u" -12 "), -12);
  EXPECT_EQ(TryStrToInt(u"2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(TryStrToInt(u"$FFFFFFFF"), -1);
  for (const char16_t* bad : {u"", u"2147483648", u"-2147483649", u"99999999999999999999", u"0x10",
                              u"1.0", u"$", u"$G", u"$123456789", u"12a"})
    EXPECT_FALSE(TryStrToInt(bad).has_value()) << QString::fromUtf16(bad).toStdString();
  try {
    StrToInt("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
}

TEST(FormatFixed, PadsAndRoundsLikeTheLogFields) {
  EXPECT_EQ(FormatFixed(0, 5, 3, '.'), "0.000");
  EXPECT_EQ(FormatFixed(850, 5, 0, '.'), "  850");
  EXPECT_EQ(FormatFixed(25.3, 2, 1, '.'), "25.3");
  EXPECT_EQ(FormatFixed(0.45, 5, 2, '.'), " 0.45");
  EXPECT_EQ(FormatFixed(12, 3, 1, '.'), "12.0");
  EXPECT_EQ(FormatFixed(3, 5, 0, ','), "    3");
  EXPECT_EQ(FormatFixed(85.5, 5, 1, ','), " 85,5");
  EXPECT_EQ(FormatFixed(123456.789, 5, 1, '.'), "123456.8");
  EXPECT_EQ(FormatFixed(850.5, 5, 0, '.'), "  851");
  EXPECT_EQ(FormatFixed(-0.001, 5, 2, '.'), " 0.00");
  EXPECT_EQ(FormatFixed(-2.25, 1, 1, '.'), "-2.3");
  EXPECT_EQ(FormatFixed(9.96, 1, 1, '.'), "10.0");
}

TEST(Errors, RuntimeMessages) {
  EXPECT_STREQ(EInOutError(2).what(), "File not found");
  EXPECT_STREQ(EInOutError(100).what(), "Read beyond end of file");
  EXPECT_STREQ(EInOutError(5).what(), "I/O error 5");
  EXPECT_STREQ(EZeroDivide().what(), "Floating point division by zero");
  EXPECT_STREQ(EListError("TEFILogList").what(), "TEFILogList:\r\nList Operation Error.");
}

// A number typed under one desktop's settings with the other's mark (or a keypad's) is the
// number typed; one with both marks is none, never a guess at either reading.
TEST(TypedNumbers, EitherDecimalMarkButNeverBoth) {
  EXPECT_EQ(TryTypedFloat(u"1.2", ','), 1.2);
  EXPECT_EQ(TryTypedFloat(u"1,3", '.'), 1.3);
  EXPECT_EQ(TryTypedFloat(u" -0,75 ", ','), -0.75);
  EXPECT_FALSE(TryTypedFloat(u"1.234,5", ','));
  EXPECT_FALSE(TryTypedFloat(u"1,234.5", '.'));
  EXPECT_FALSE(TryTypedFloat(u"+", ','));
  EXPECT_FALSE(TryTypedFloat(u"*", '.'));
  // The cell keeps the digits as typed, in the user's mark.
  EXPECT_EQ(TypedFloatText("1.20", ','), "1,20");
  EXPECT_EQ(TypedFloatText("1,20", ','), "1,20");
  EXPECT_EQ(TypedFloatText("1.2,0", ','), "1.2,0");
}

// A difference of two shown values has their precision, not the subtraction's binary rest.
TEST(TypedNumbers, DifferenceOfTwoTextsHasTheirPrecision) {
  EXPECT_EQ(TextDifference(u"1,07", u"1"), 0.07);
  EXPECT_EQ(FloatToStr(*TextDifference(u"1.07", u"1"), ','), "0,07");
  EXPECT_EQ(FloatToStr(*TextDifference(u"14.18", u"14.5"), '.'), "-0.32");
  EXPECT_EQ(FloatToStr(*TextDifference(u"1.0078125", u"1.015625"), '.'), "-0.0078125");
  EXPECT_EQ(TextDifference(u"2", u"2"), 0.0);
  EXPECT_FALSE(TextDifference(u"abc", u"1"));
  EXPECT_EQ(RoundToDecimals(0.11399999999999721, 4), 0.114);
}
