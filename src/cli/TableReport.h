#pragma once
// The decoded tables of a TEFIOperator as text for people or as JSON for programs. Every
// number is written in the general decimal form with a full stop, whatever the locale.

#include <string>

class TEFIOperator;

struct TReportContent {
  bool idleFuel = true;  // fFuelXXMatrix holds decoded values
  bool maf = true;       // fMAFTable holds the air-mass curve
  bool coTrim = true;    // fCOReg was read from an image
};

std::string TextReport(const TEFIOperator& op, const TReportContent& content);
std::string JsonReport(const TEFIOperator& op, const TReportContent& content);
// A JSON string literal of `text` (UTF-8), quotes included.
std::string JsonString(const std::string& text);
