#pragma once
// Unit EFI_Edt, TEFIOperator: the calibration image of one DME with its model
// configuration, the tables decoded from it in engineering units, and the codec between
// firmware codes and units (ImageCodec.cpp, SettingsFile.cpp, configuration in
// EfiOperator.cpp).

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
  // defaults, an unreadable file gives all defaults. Key CRCKind names the checksum kind
  // (Checksum.h); without it the kind is found on the image. Resizes the tables.
  void LoadProfile(const QString& path);
  // Gives every table the size the configuration asks for; existing cells keep their values.
  void ResizeTables();

  // --- Codec ---
  // Checks that every table has the size the configuration gives it and a shape the codec
  // and the settings file can work with (an RPM breakpoint and a load breakpoint in every
  // map, an axis row and a value row in every curve, two rows in the warm-up table, the
  // low part's load rows inside the part-load maps); empty when it has, else the reason
  // in Russian. Needs no image.
  QString CheckTables() const;
  // CheckTables, and that every byte DecodeImage reads for this variant, and the checksum's
  // area and place (ChecksumLayoutProblem), lie inside fImage; empty when they do, else the
  // reason in Russian.
  QString CheckLayout() const;
  // Fills every table from fImage and converts them to engineering units. Resizes the tables
  // to the configuration first, then throws ERuntimeError with the reason of CheckLayout
  // before reading any byte when the layout does not fit; EZeroDivide for a rev limiter
  // code of 0 in variant 1 (the tables then hold raw codes).
  void DecodeImage();
  // Convert one table in place. kind: "xx", "max" or "main"; direction: "MotrToSi" or
  // "SiToMotr". Throw ERuntimeError for another text or a table whose shape the conversion
  // cannot work on (nothing is changed then).
  void ConvertSpark(std::string_view kind, std::string_view direction);
  void ConvertFuel(std::string_view kind, std::string_view direction);
  void ConvertRPMTempCorr(std::string_view direction);
  // Stores v as fMaxRPM when it differs from it and is not above 9000.
  void SetMaxRPM(int32_t v);
  // The rev limiter rule: rpm of a code, and code of an rpm (before taking 8 bits). Both
  // throw EZeroDivide for 0 in variant 1, where the code is the period between sparks.
  int32_t MaxRPMFromCode(int code) const;
  int64_t CodeFromMaxRPM(int32_t rpm) const;

  // --- Settings file ---
  // Writes the settings file, converting each table to codes first when `convert` is not 0
  // (the idle fuel table outside variant 1 and the warm-up table always); the tables stay
  // in codes. Throws ERuntimeError (CheckTables), EConvertError for a version character
  // that is not a digit, EZeroDivide for fMaxRPM 0 in variant 1, EInOutError when the file
  // cannot be written. The bytes go to a temporary file beside the target that replaces it
  // only when complete, so a failure leaves an earlier file of that name as it was.
  void SaveSettings(uint8_t convert, const QString& path);
  // mode 0: reads the 10 version bytes and sets `mismatch` (1 when fVersionText is set and
  // differs; else adopts the file's text). mode 1: loads every table and the rev limiter,
  // converts them to units, sets `mismatch` to 0 and cuts fImage to 10 bytes. Other modes
  // do nothing. Throws EInOutError ("File not found", "Read beyond end of file", ...),
  // ERuntimeError (CheckTables, mode 1) and EZeroDivide (rev limiter code 0 in variant 1).
  void LoadSettings(uint8_t mode, const QString& path, uint8_t& mismatch);
  // Bytes SaveSettings writes for the current configuration and version text.
  int64_t SettingsFileSize() const;

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
