#pragma once
// TCalibrationSession: the calibration being worked on. It holds the image object (the
// configuration, the image bytes, the tables in units), the image as it was loaded and
// decoded (what writing back compares the edited tables with), what the loaded image's
// checksum was found to be, and the document the editors change. Opening a file, the
// tuned image and "has changes" are answered here, once, for the window and its commands.
// QtCore only.

#include <QObject>
#include <memory>
#include <vector>

#include "calibration/Calibration.h"
#include "image/Checksum.h"
#include "image/ChecksumSearch.h"
#include "image/EfiOperator.h"

class TCalibrationSession : public QObject {
  Q_OBJECT
 public:
  explicit TCalibrationSession(QObject* parent = nullptr);
  ~TCalibrationSession() override;

  TEFIOperator& Efi() { return fEFI; }
  const TEFIOperator& Efi() const { return fEFI; }
  TCalibration& Doc() { return fDoc; }
  const TCalibration& Doc() const { return fDoc; }

  // --- The configuration ---
  // The built-in configuration of the chosen model, or a profile file's: the tables held
  // no longer belong to it, so nothing counts as loaded until the next image or file.
  void UseBuiltInConfig();
  void UseProfile(const QString& path);

  // --- Opening ---
  // Reads an image file's first 32768 bytes (throws EInOutError as LoadImageFile does; the
  // bytes read before a short file ends are held then, nothing is decoded).
  void ReadImageFile(const QString& path);
  // Decodes the image held, when a model is chosen and an image is there, and keeps the
  // loaded state of a whole image; returns whether it decoded. The document is loaded by
  // the editors once their grids are laid out for the tables (LoadDocument).
  bool DecodeHeld();
  // The tables no longer stand for the image as it was loaded and decoded (they were set
  // otherwise): nothing to write back into.
  void DropLoadedImage() { KeepLoadedImage(false); }
  // Whether a settings file's version bytes differ from the configuration's (the file is
  // not read further then).
  bool SettingsFileMismatch(const QString& path);
  // Reads a settings file's tables into the image object; the image is cut to the version
  // bytes then, so there is nothing to write back into.
  void ReadSettingsFile(const QString& path);
  // The document takes the decoded tables: a new history, saved.
  void LoadDocument();
  // True once the document holds tables loaded for the current configuration.
  bool Loaded() const { return fDoc.Loaded(); }

  // --- Saving ---
  // Writes the settings file from the tables collected into the image object.
  void SaveSettingsFile(const QString& path);

  // --- The tuned image: the edited calibration written back into the loaded image ---
  // True while a whole image is held as it was loaded and decoded.
  bool HasTunedImage() const;
  // The collected tables with the CO trim the document holds: what the tuned image writes.
  TEFIOperator TunedTables() const;
  // The loaded image with the collected tables written back (checksums as loaded).
  std::vector<uint8_t> WriteTunedTables() const;
  // True when the collected tables, written back, change the loaded image.
  bool HasTunedChanges() const;
  // What the loaded image's stored checksum was found to be, and the schemes that held.
  const TChecksumStatus& LoadedChecksum() const { return fChecksum; }
  const TSchemeSearch& LoadedSchemes() const { return fSchemes; }
  // The image as it was loaded (empty without a tuned image).
  const std::vector<uint8_t>& LoadedImage() const;

 signals:
  // The loaded state changed: a whole image decoded (with its checksum found) or none held.
  void LoadedImageChanged();

 private:
  // Takes the loaded state after a decode (a whole image) or drops it.
  void KeepLoadedImage(bool decodedNow);
  bool HoldsWholeImage() const;

  TEFIOperator fEFI{true};
  TCalibration fDoc;
  // The image object right after DecodeImage of a whole image: tables in units, the image
  // itself in fImage. Empty otherwise.
  std::unique_ptr<TEFIOperator> fLoaded;
  TChecksumStatus fChecksum;
  TSchemeSearch fSchemes;
};
