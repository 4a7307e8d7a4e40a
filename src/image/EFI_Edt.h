#pragma once
// TEFIOperator: the calibration image of one DME with its model configuration, the tables
// decoded from it in engineering units, and the codec between firmware codes and units.

#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

#include "image/ModelConfig.h"

using TFloatMatrix = std::vector<std::vector<double>>;
using TIntMatrix = std::vector<std::vector<int32_t>>;

// Size of a whole firmware image.
constexpr int kImageSize = 32768;

class TEFIOperator : public TModelConfig {
 public:
  // A new object with an all-zero configuration and empty tables and image; the profile
  // switch is set when `profileSwitch` is true.
  explicit TEFIOperator(bool profileSwitch);

  // --- Model configuration ---
  // Copies the built-in configuration and resizes the tables (cells kept).
  void LoadDefaultConfig();
  // Reads section "config" of the profile at `path`: missing or bad keys take the profile
  // defaults, an unreadable file gives all defaults. Resizes the tables.
  void LoadProfile(const QString& path);
  // Gives every table the size the configuration asks for; existing cells keep their values.
  void ResizeTables();

  // --- Codec ---
  // Checks that every table the configuration places lies inside fImage and that the
  // warm-up table has two rows; returns an empty text when it does, else the reason.
  QString CheckLayout() const;
  // Fills every table from fImage and converts them to engineering units. Throws
  // ERuntimeError (Russian reason) for a layout outside the image, EZeroDivide for a rev
  // limiter code of 0 in variant 1.
  void DecodeImage();
  // kind: "xx", "max" or "main"; direction: "MotrToSi" or "SiToMotr".
  void ConvertSpark(std::string_view kind, std::string_view direction);
  void ConvertFuel(std::string_view kind, std::string_view direction);
  void ConvertRPMTempCorr(std::string_view direction);
  // Stores v as fMaxRPM when it differs from it and is not above 9000.
  void SetMaxRPM(int32_t v);
  // The rev limiter rule: rpm of a code, and code of an rpm (before taking 8 bits).
  int32_t MaxRPMFromCode(int code) const;
  int64_t CodeFromMaxRPM(int32_t rpm) const;

  // --- Settings file ---
  // Writes the settings file; throws EInOutError, EConvertError or EZeroDivide. The file is
  // written beside the target and renamed over it only when complete.
  void SaveSettings(uint8_t convert, const QString& path);
  // mode 0: version check (sets `mismatch`); mode 1: loads every table.
  void LoadSettings(uint8_t mode, const QString& path, uint8_t& mismatch);

  // --- Data ---
  QString fVersionText;
  int32_t fMaxRPM = 0;
  bool fProfileSwitch = false;
  TFloatMatrix fFuelMainMatrix;
  TFloatMatrix fSparkMainMatrix;
  TFloatMatrix fFuelXXMatrix;
  TFloatMatrix fSparkXXMatrix;
  TFloatMatrix fFuelMaxMatrix;
  TFloatMatrix fSparkMaxMatrix;
  std::vector<uint16_t> fMAFTable;
  TIntMatrix fRPMTempCorrTable;
  uint8_t fCOReg = 0;
  std::vector<uint8_t> fImage;
};
