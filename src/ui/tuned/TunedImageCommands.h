#pragma once
// TTunedImageCommands: the edited calibration written back into the firmware image it was
// loaded from, for "Сохранить BIN с изменениями..." and for the upload to the unit: the
// questions about the checksum and the axes, the checksum status on the strip. What is
// written comes from the session; the window asks only what the user must decide.

#include <QObject>
#include <functional>
#include <optional>
#include <vector>

#include "image/ChecksumScheme.h"

class QAction;
class QFileDialog;
class QWidget;
class TCalibrationSession;
class TRecentFiles;
class TStatusStrip;

class TTunedImageCommands : public QObject {
  Q_OBJECT
 public:
  struct Views {
    QWidget* window = nullptr;  // the parent of the questions
    TStatusStrip* strip = nullptr;
    TRecentFiles* recent = nullptr;
    QFileDialog* saveDialog = nullptr;  // the image save dialog
    QAction* saveAction = nullptr;      // actSaveTunedBin
  };
  // `collect` brings what the editors show into the session's image object (typing ended).
  TTunedImageCommands(QObject* parent, TCalibrationSession& session, std::function<void()> collect,
                      const Views& views);

  // True when the editors' tables, written back, change the loaded image.
  bool HasChanges();
  // The loaded image with the editors' changes and every checksum scheme that held on it
  // corrected; asks first when none held (nothing when the user declines), and offers to keep
  // the image's 16-bit sum with two filler bytes then. Sets `checksumKept` to whether the
  // image keeps its old checksum bytes.
  std::optional<std::vector<uint8_t>> Build(bool& checksumKept);
  // Before the tuned image goes to the unit: true when every axis of the collected tables
  // rises, else when the user, told the first that does not, still wants it uploaded.
  bool ConfirmAxes();
  // "Сохранить BIN с изменениями...": the tuned image through the image save dialog.
  void SaveClick();

 private:
  // The loaded image's checksum on the strip and the command's state (a whole image
  // decoded, or none held).
  void ShowLoadedState();
  // Gives `image` the loaded image's 16-bit sum by changing two filler bytes, once the user
  // has seen their addresses and agreed; false when declined or impossible.
  bool KeepImageSum(std::vector<uint8_t>& image);
  // The schemes that held on the loaded image and are to be corrected: each one only the
  // area search found is corrected only when the user agrees, shown its area and place.
  std::vector<TChecksumScheme> SchemesToCorrect();

  TCalibrationSession& fSession;
  std::function<void()> fCollect;
  Views fViews;
};
