#pragma once
// TfrmProfileEditor ("Редактор профиля"): a profile made against the image it describes.
// Every key of the model configuration with its meaning (TProfileForm), the image as a hex
// dump with each configured table tinted (THexView), and the table being edited decoded live
// as a grid and a chart; each change of an address or a size shows at once, with the tables
// that overlap another, run past the image or decode to impossible axes marked with the
// reason. A click on a byte makes it the start of the table (or of the offset key last
// entered); the axis search lists the places where the table's axes could lie. Profiles are
// opened and saved as ".prf"; "Проверить" reports the layout check and the checksum.

#include <QWidget>
#include <cstdint>
#include <vector>

#include "image/ModelConfig.h"
#include "image/ProfileKeys.h"
#include "profile/ProfileCheck.h"

class QComboBox;
class QFileDialog;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class THexView;
class TLineChart;
class TProfileForm;
class TStringGrid;

class TfrmProfileEditor : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmProfileEditor(QWidget* parent = nullptr);

  // Starts editing `config` against `image` (empty: none at hand).
  void Open(const TModelConfig& config, const std::vector<uint8_t>& image);
  const TModelConfig& Config() const;
  const TProfileReport& Report() const { return fReport; }
  // The table the grid and the chart show.
  TImageTable CurrentTable() const { return fCurrent; }
  void SelectTable(TImageTable table);

  // --- Commands (the buttons) ---
  void OpenProfileClick();
  void SaveProfileClick();
  void OpenImageClick();
  void CheckClick();
  void AxisSearchClick();

  TProfileForm* pnlProfileKeys = nullptr;
  THexView* hexImage = nullptr;
  QComboBox* cbProfileTable = nullptr;
  TStringGrid* sgProfileTable = nullptr;
  TLineChart* chrtProfileTable = nullptr;
  QLabel* lProfileTable = nullptr;
  QLabel* lProfileClick = nullptr;
  QListWidget* lbProfileProblems = nullptr;
  QComboBox* cbAxisSearch = nullptr;
  QListWidget* lbAxisCandidates = nullptr;
  QPlainTextEdit* memProfileCheck = nullptr;
  QPushButton* btnProfileOpen = nullptr;
  QPushButton* btnProfileSave = nullptr;
  QPushButton* btnProfileImage = nullptr;
  QPushButton* btnProfileCheck = nullptr;
  QPushButton* btnAxisSearch = nullptr;
  QFileDialog* odProfileOpen = nullptr;
  QFileDialog* sdProfileSave = nullptr;
  QFileDialog* odProfileImage = nullptr;

 private:
  QWidget* BuildTablePanel();
  QWidget* BuildSearchPanel();
  void Refresh();
  void MarkGroups();
  void PaintHex();
  void ShowCurrent();
  void FillSearchModes();
  // The key of the current table's start (its high part's when that was entered last).
  const TProfileKey* StartKey() const;
  // The key a click on a byte sets: the offset key last entered, else the current table's
  // start.
  const TProfileKey* ClickTarget() const;
  void ByteClicked(int64_t address);
  void CandidateChosen(QListWidgetItem* item);

  std::vector<uint8_t> fImage;
  TProfileReport fReport;
  TImageTable fCurrent = TImageTable::FuelMain;
  bool fHighPart = false;  // the current table's high part was entered last (variant 1)
  const TProfileKey* fTarget = nullptr;
};
