#pragma once
// Writing a calibration back into the firmware image it was loaded from, and putting a
// settings file's codes into an image, at the places the calibration layout gives. Only
// table bytes are written: the two bytes before each table and between a map's axes, the
// version characters and every byte outside the tables keep their values. The checksum is a
// separate step (Checksum.h); WriteBackImage does both.

#include <QString>
#include <cstdint>
#include <vector>

#include "image/EfiOperator.h"
#include "image/ModelConfig.h"

// A copy of `image` in which every cell of `edited` whose value differs from its value in
// `decoded` gets its new code; every other byte keeps its original value, even where decoding
// and encoding are not inverse (fuel codes 2 modulo 4, warm-up temperatures), so unedited
// tables give `image` byte for byte. `decoded` is the operator as it was right after
// DecodeImage of `image` (tables in engineering units), `edited` the same after editing;
// both must hold the same configuration. A cell is taken as changed when the code its
// edited value gives differs from the code its decoded value gives. An edited breakpoint
// writes the gap codes on both sides of it, an edited rev limit its byte, an edited CO trim
// its byte. Throws ERuntimeError when the configurations differ or the layout does not fit
// the image (CheckLayout), and what the conversions throw (EZeroDivide for a rev limit of 0
// in variant 1).
std::vector<uint8_t> WriteBackTables(const std::vector<uint8_t>& image, const TEFIOperator& decoded,
                                     const TEFIOperator& edited);

// WriteBackTables, then the checksum of `kind` stored anew (not for None: the image then
// keeps its old checksum bytes, which the caller must tell the user).
std::vector<uint8_t> WriteBackImage(const std::vector<uint8_t>& image, const TEFIOperator& decoded,
                                    const TEFIOperator& edited, TChecksumKind kind);

// A copy of `image` in which the cells whose value in the settings file at `path` differs
// from the image's decoded value get the file's code; every other byte keeps its value, so
// a settings file made from `image` gives `image` back byte for byte. The rule is
// WriteBackTables', with the file's tables as the edited calibration. The file's version
// digits and the tables only the file holds are passed over. Throws ERuntimeError
// (CheckLayout), EInOutError for a file that cannot be read or is too short, EZeroDivide
// for a rev limiter code of 0 in variant 1.
std::vector<uint8_t> ApplySettingsFile(const std::vector<uint8_t>& image,
                                       const TModelConfig& config, const QString& path);
