#include "calibration/CalibrationSession.h"

#include <algorithm>

#include "image/ImageFile.h"
#include "image/ImageWriteBack.h"

TCalibrationSession::TCalibrationSession(QObject* parent) : QObject(parent) {}

TCalibrationSession::~TCalibrationSession() = default;

void TCalibrationSession::UseBuiltInConfig() {
  fEFI.LoadDefaultConfig();
  fDoc.Unload();
  KeepLoadedImage(false);
}

void TCalibrationSession::UseProfile(const QString& path) {
  fEFI.LoadProfile(path);
  fDoc.Unload();
  KeepLoadedImage(false);
}

void TCalibrationSession::ReadImageFile(const QString& path) {
  LoadImageFile(path, fEFI.fImage);
  KeepLoadedImage(false);
}

bool TCalibrationSession::DecodeHeld() {
  KeepLoadedImage(false);
  if (fEFI.fVersion <= 0 || fEFI.fImage.size() < 2) return false;
  fEFI.DecodeImage();
  KeepLoadedImage(true);
  return true;
}

bool TCalibrationSession::SettingsFileMismatch(const QString& path) {
  uint8_t mismatch = 0;
  fEFI.LoadSettings(0, path, mismatch);
  return mismatch != 0;
}

void TCalibrationSession::ReadSettingsFile(const QString& path) {
  uint8_t mismatch = 0;
  fEFI.LoadSettings(1, path, mismatch);
  KeepLoadedImage(false);
}

void TCalibrationSession::LoadDocument() {
  fDoc.Load(fEFI);
}

void TCalibrationSession::SaveSettingsFile(const QString& path) {
  fEFI.SaveSettings(1, path);
  fDoc.MarkSaved();
}

bool TCalibrationSession::HoldsWholeImage() const {
  return fEFI.fImage.size() == static_cast<size_t>(kImageSize);
}

void TCalibrationSession::KeepLoadedImage(bool decodedNow) {
  fLoaded.reset();
  fChecksum = {};
  fSchemes = {};
  if (decodedNow && HoldsWholeImage()) {
    fLoaded = std::make_unique<TEFIOperator>(fEFI);
    fChecksum = CheckChecksum(fEFI.fImage, fEFI);
    fSchemes = FindSchemes(fEFI.fImage, fEFI);
  }
  emit LoadedImageChanged();
}

bool TCalibrationSession::HasTunedImage() const {
  return fLoaded && HoldsWholeImage();
}

const std::vector<uint8_t>& TCalibrationSession::LoadedImage() const {
  static const std::vector<uint8_t> kNone;
  return fLoaded ? fLoaded->fImage : kNone;
}

TEFIOperator TCalibrationSession::TunedTables() const {
  TEFIOperator tuned(fEFI);
  // The CO trim is calibration data the image keeps: a trim the user moved is written, one
  // left as loaded keeps the loaded byte (beyond the bar's ends too). The settings file keeps
  // the loaded byte either way.
  if (fEFI.fVersion != 1 && fLoaded) {
    const int loaded = std::clamp(int{fLoaded->fCOReg} - 128, -50, 50);
    const int trim = static_cast<int>(fDoc.Setting(QStringLiteral("COTrim")));
    if (trim != loaded) tuned.fCOReg = static_cast<uint8_t>(128 + trim);
  }
  return tuned;
}

std::vector<uint8_t> TCalibrationSession::WriteTunedTables() const {
  if (!HasTunedImage()) return {};
  return WriteBackTables(fLoaded->fImage, *fLoaded, TunedTables());
}

bool TCalibrationSession::HasTunedChanges() const {
  return HasTunedImage() && WriteTunedTables() != fLoaded->fImage;
}
