// The edited calibration written back into the loaded firmware image from the window: the
// written image loads back with the edit and a right checksum, an image whose checksum is
// wrong asks before it is written, and the command is there only while a whole
// loaded image is held.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "image/ChecksumScheme.h"
#include "image/DemoImage.h"
#include "image/FillerSum.h"
#include "image/ProfileFile.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
using TAnswer = std::function<void(QWidget*)>;

// Answers the modal dialogs to come, one after the other.
void AnswerInTurn(std::vector<TAnswer> answers) {
  if (answers.empty()) return;
  AnswerNextModal([answers](QWidget* modal) {
    AnswerInTurn({answers.begin() + 1, answers.end()});
    answers.front()(modal);
  });
}

TAnswer Box(QMessageBox::StandardButton button, const char* name, QString* text = nullptr) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << modal->metaObject()->className();
    EXPECT_EQ(box->objectName(), name);
    if (text) *text = box->text();
    box->button(button)->click();
  };
}

TAnswer File(const QString& path) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
    SelectInFileDialog(dialog, path);
    static_cast<QDialog*>(dialog)->accept();
  };
}

class TunedImageTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    QLocale::setDefault(QLocale(QLocale::Russian));
    Start(true);
    demo = MakeDemoImage();
    Write("demo.bin", demo);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    QLocale::setDefault(QLocale::c());
  }
  void Write(const QString& name, const std::vector<uint8_t>& image) {
    QFile file(TempPath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
  }
  std::vector<uint8_t> Read(const QString& name) {
    QFile file(TempPath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
  }
  void LoadImage(const QString& name) {
    AnswerFileDialog(TempPath(name));
    MainAction("BIN1")->trigger();
  }
  // Types a value into a cell of the part-load fuel map and moves on; the cell's text after.
  QString EditFuelCell(int col, int row, const QString& value) {
    TStringGrid* grid = MapWidgets().sgFuelMain;
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
    QApplication::setActiveWindow(frmMain);
    grid->setFocus();
    Pump(10);
    grid->SelectCell(col, row);
    Pump(10);
    for (QChar ch : value) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    Pump(5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    Pump(10);
    return grid->Cell(col, row);
  }
  QString ChecksumText() { return Find<QLabel>("lChecksum")->text(); }

  std::vector<uint8_t> demo;
};
}  // namespace

TEST_F(TunedImageTest, EditedFuelCellIsWrittenBackAndTheImageLoadsWithARightChecksum) {
  LoadImage("demo.bin");
  EXPECT_EQ(ChecksumText(), "КС: верна (16 бит, 69FE-797F -> 7980)");
  // Unedited, the written image is the loaded one byte for byte.
  AnswerFileDialog(TempPath("same.bin"));
  MainAction("actSaveTunedBin")->trigger();
  EXPECT_EQ(Read("same.bin"), demo);

  const QString before = MapWidgets().sgFuelMain->Cell(4, 5);
  const QString edited = EditFuelCell(4, 5, "1,23");
  ASSERT_NE(edited, before);
  ASSERT_TRUE(MainMaps().Doc().IsModified());
  AnswerFileDialog(TempPath("tuned.bin"));
  MainAction("actSaveTunedBin")->trigger();
  const std::vector<uint8_t> tuned = Read("tuned.bin");
  ASSERT_EQ(tuned.size(), demo.size());
  // The cell's byte and the two checksum bytes, nothing else.
  int differing = 0;
  for (size_t i = 0; i < demo.size(); ++i) differing += tuned[i] != demo[i];
  EXPECT_GE(differing, 1);
  EXPECT_LE(differing, 3);
  // The written image holds the changes: loading it asks nothing about unsaved changes.
  EXPECT_FALSE(MainMaps().Doc().IsModified());

  LoadImage("tuned.bin");
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "tuned.bin");
  EXPECT_EQ(MapWidgets().sgFuelMain->Cell(4, 5), edited);
  EXPECT_EQ(ChecksumText(), "КС: верна (16 бит, 69FE-797F -> 7980)");
}

// The CO trim is calibration data: the image with changes holds the trim the user moved
// to, the settings file keeps the loaded byte as it always has, and loading the image back
// shows the trim.
TEST_F(TunedImageTest, AMovedCOTrimIsWrittenIntoTheImageButNotIntoTheSettingsFile) {
  LoadImage("demo.bin");
  TEFIOperator& efi = MainEfi();
  const size_t at = static_cast<size_t>(efi.fCORegAddress);
  const uint8_t loaded = demo[at];
  QScrollBar* trim = MapWidgets().sbCOreg;
  trim->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  trim->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  trim->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  ASSERT_TRUE(MainMaps().Doc().IsModified());
  AnswerFileDialog(TempPath("trim.bin"));
  MainAction("actSaveTunedBin")->trigger();
  const std::vector<uint8_t> tuned = Read("trim.bin");
  ASSERT_EQ(tuned.size(), demo.size());
  EXPECT_EQ(tuned[at], loaded + 3);
  int differing = 0;
  for (size_t i = 0; i < demo.size(); ++i) differing += tuned[i] != demo[i];
  EXPECT_LE(differing, 3);  // the trim byte and the two checksum bytes
  // The settings file of the same session: the loaded byte, as an unedited one holds it.
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = demo;
  op.DecodeImage();
  op.SaveSettings(1, TempPath("stock.dme"));
  // No unit is connected: the save says so, then asks for the file.
  AnswerNextModal([this](QWidget* modal) {
    AnswerFileDialog(TempPath("trim.dme"));
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
  });
  MainAction("N7")->trigger();
  EXPECT_EQ(Read("trim.dme"), Read("stock.dme"));
  LoadImage("trim.bin");
  EXPECT_EQ(trim->value(), loaded + 3 - 128);
  EXPECT_EQ(ChecksumText(), "КС: верна (16 бит, 69FE-797F -> 7980)");
}

TEST_F(TunedImageTest, ImageWithAWrongChecksumAsksBeforeItIsWrittenAndKeepsItsBytes) {
  std::vector<uint8_t> broken = demo;
  const auto place = static_cast<size_t>(MainEfi().fCRCAddress);
  broken[place] ^= 0x5A;
  broken[place + 1] ^= 0xA5;
  Write("broken.bin", broken);
  LoadImage("broken.bin");
  // The built-in configuration knows its kind: wrong, not "not found".
  EXPECT_EQ(ChecksumText(), "КС: неверна");
  EditFuelCell(4, 5, "1,23");

  // No (the default): nothing is written, the changes stay unsaved.
  AnswerInTurn({[](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "ChecksumQuestion");
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
    box->button(QMessageBox::No)->click();
  }});
  MainAction("actSaveTunedBin")->trigger();
  EXPECT_FALSE(QFile::exists(TempPath("tuned.bin")));
  EXPECT_TRUE(MainMaps().Doc().IsModified());

  // Yes: written with the old checksum bytes, and the result says so.
  QString note;
  AnswerInTurn({Box(QMessageBox::Yes, "ChecksumQuestion"), File(TempPath("tuned.bin")),
                Box(QMessageBox::Ok, "ChecksumNotCorrected", &note)});
  MainAction("actSaveTunedBin")->trigger();
  const std::vector<uint8_t> tuned = Read("tuned.bin");
  ASSERT_EQ(tuned.size(), broken.size());
  EXPECT_EQ(tuned[place], broken[place]);
  EXPECT_EQ(tuned[place + 1], broken[place + 1]);
  EXPECT_NE(tuned, broken);
  EXPECT_TRUE(note.contains("Контрольная сумма не исправлена: она была неверна"))
      << note.toStdString();
  EXPECT_TRUE(note.contains("tuned.bin")) << note.toStdString();
}

TEST_F(TunedImageTest, ImageWithoutAHeldSchemeKeepsItsSumWithTheTwoFillerBytesItShows) {
  std::vector<uint8_t> broken = demo;
  const auto place = static_cast<size_t>(MainEfi().fCRCAddress);
  broken[place] ^= 0x5A;
  // Filler outside the tables: a run of 0xFF and one of 0x00.
  std::fill(broken.begin() + 0x1000, broken.begin() + 0x1040, 0xFF);
  std::fill(broken.begin() + 0x2000, broken.begin() + 0x2040, 0x00);
  Write("broken.bin", broken);
  LoadImage("broken.bin");
  EditFuelCell(4, 5, "1,23");
  QString shown;
  AnswerInTurn({[](QWidget* modal) {
                  auto* box = qobject_cast<QMessageBox*>(modal);
                  ASSERT_NE(box, nullptr);
                  EXPECT_EQ(box->objectName(), "ChecksumQuestion");
                  box->findChild<QPushButton*>("btnKeepSum")->click();
                },
                Box(QMessageBox::Ok, "KeepSumBytes", &shown), File(TempPath("kept.bin")),
                Box(QMessageBox::Ok, "ChecksumNotCorrected")});
  MainAction("actSaveTunedBin")->trigger();
  const std::vector<uint8_t> kept = Read("kept.bin");
  ASSERT_EQ(kept.size(), broken.size());
  EXPECT_EQ(ImageSum16(kept), ImageSum16(broken));
  // Every changed byte is in the fuel map or one of the two the box named.
  std::vector<size_t> filler;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i] == broken[i]) continue;
    const bool inMap = i >= 0x70FC && i < 0x70FC + 0xC0 + 32;
    if (!inMap) filler.push_back(i);
  }
  ASSERT_EQ(filler.size(), 2u) << shown.toStdString();
  EXPECT_EQ(filler[1], filler[0] + 1);
  EXPECT_TRUE((filler[0] >= 0x1000 && filler[1] < 0x1040) ||
              (filler[0] >= 0x2000 && filler[1] < 0x2040));
  for (const size_t at : filler)
    EXPECT_TRUE(shown.contains(QStringLiteral("%1: ").arg(at, 4, 16, QLatin1Char('0')).toUpper()))
        << shown.toStdString();
  EXPECT_TRUE(shown.contains(QString::number(ImageSum16(broken), 16).toUpper()));
}

// Two images the calibration loader's fuzzing found: part-load ignition values beyond the
// editors' 60 degrees, and a rev limit beyond its box's 9000 rpm. Loaded and not edited,
// they were taken as tuned and written back with those bytes changed.
TEST_F(TunedImageTest, UneditedImageBeyondTheEditorsLimitsIsNotTuned) {
  const QString seeds = qEnvironmentVariable("TARVELO_SOURCE_DIR") + "/fuzz/seeds/calibration/";
  for (const char* seed : {"ignition-beyond-limits.bin", "rev-limit-beyond-box.bin"}) {
    QFile file(seeds + seed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << seed;
    const QByteArray bytes = file.readAll().mid(1);  // the fuzz target's first byte chooses
    ASSERT_EQ(bytes.size(), kImageSize) << seed;
    Write("odd.bin", {bytes.begin(), bytes.end()});
    LoadImage("odd.bin");
    EXPECT_FALSE(MainTuned().HasChanges()) << seed;
  }
}

TEST_F(TunedImageTest, AnErasedImageHasNoRightChecksumAndAnUnknownKindIsRefused) {
  // A sum of zeros over zeros is no evidence of a checksum.
  Write("zero.bin", std::vector<uint8_t>(demo.size(), 0));
  LoadImage("zero.bin");
  EXPECT_EQ(ChecksumText(), "КС: неверна");
  // A profile naming a kind the program does not know: refused, the configuration kept.
  QFile profile(TempPath("crc.prf"));
  ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
  profile.write("[config]\r\nCRCKind=crc32\r\n");
  profile.close();
  const TModelConfig before = MainEfi();
  QString said;
  AnswerInTurn({File(TempPath("crc.prf")), [&](QWidget* modal) {
                  auto* box = qobject_cast<QMessageBox*>(modal);
                  ASSERT_NE(box, nullptr);
                  EXPECT_EQ(box->windowTitle(), "Tarvelo");
                  said = box->text();
                  box->accept();
                }});
  MainAction("N6")->trigger();
  EXPECT_TRUE(said.contains("CRCKind=crc32")) << said.toStdString();
  EXPECT_TRUE(said.contains("sum16be")) << said.toStdString();
  EXPECT_EQ(static_cast<const TModelConfig&>(MainEfi()), before);
}

TEST_F(TunedImageTest, CommandNeedsAWholeLoadedImage) {
  QAction* save = MainAction("actSaveTunedBin");
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(ChecksumText().isEmpty());
  LoadImage("demo.bin");
  EXPECT_TRUE(save->isEnabled());
  // A settings file leaves only the version bytes of the image: nothing to write into.
  MainEfi().SaveSettings(1, TempPath("a.dme"));
  // The save left the tables in codes; the grids are filled from the image again.
  frmMain->FillGrids(false);
  AnswerFileDialog(TempPath("a.dme"));
  MainAction("N17")->trigger();
  EXPECT_EQ(MainEfi().fImage.size(), 10u);
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(ChecksumText().isEmpty());
  // A model confirmed again: the tables no longer belong to the image as it was loaded.
  LoadImage("demo.bin");
  ASSERT_TRUE(save->isEnabled());
  AnswerNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
  MainAction("DME1")->trigger();
  EXPECT_FALSE(save->isEnabled());
}

namespace {
TAnswer SaveBinAnswer(const char* button, bool* defaultIsWithChanges = nullptr) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << modal->metaObject()->className();
    EXPECT_EQ(box->objectName(), "SaveBinQuestion");
    if (defaultIsWithChanges)
      *defaultIsWithChanges = box->defaultButton() != nullptr &&
                              box->defaultButton()->objectName() == "btnSaveWithChanges";
    if (QString(button) == "cancel") {
      box->button(QMessageBox::Cancel)->click();
      return;
    }
    auto* chosen = box->findChild<QAbstractButton*>(button);
    ASSERT_NE(chosen, nullptr) << button;
    chosen->click();
  };
}
}  // namespace

TEST_F(TunedImageTest, SaveBinWithTableEditsAsksWhichImageAndNamesTheFileSaved) {
  // Unedited: no question, the image as loaded.
  LoadImage("demo.bin");
  AnswerFileDialog(TempPath("plain.bin"));
  MainAction("N9")->trigger();
  EXPECT_EQ(Read("plain.bin"), demo);

  EditFuelCell(4, 5, "1,23");
  // Not at all: nothing written, the changes still unsaved.
  bool defaultIsWithChanges = false;
  AnswerInTurn({SaveBinAnswer("cancel", &defaultIsWithChanges)});
  MainAction("N9")->trigger();
  EXPECT_TRUE(defaultIsWithChanges);
  EXPECT_FALSE(QFile::exists(TempPath("none.bin")));
  EXPECT_TRUE(MainMaps().Doc().IsModified());

  // As loaded: the loaded bytes, the changes still unsaved, the strip names the file.
  AnswerInTurn({SaveBinAnswer("btnSaveAsLoaded"), File(TempPath("loaded.bin"))});
  MainAction("N9")->trigger();
  EXPECT_EQ(Read("loaded.bin"), demo);
  EXPECT_TRUE(MainMaps().Doc().IsModified());
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "loaded.bin");

  // With the changes: the tuned image, the changes saved, the strip names it.
  AnswerInTurn({SaveBinAnswer("btnSaveWithChanges"), File(TempPath("tuned.bin"))});
  MainAction("N9")->trigger();
  const std::vector<uint8_t> tuned = Read("tuned.bin");
  ASSERT_EQ(tuned.size(), demo.size());
  EXPECT_NE(tuned, demo);
  EXPECT_FALSE(MainMaps().Doc().IsModified());
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "tuned.bin");

  // Every image saved is among the recent files.
  QStringList recent;
  for (QAction* action : frmMain->findChildren<QAction*>())
    if (action->objectName().startsWith("actRecent")) recent << action->text();
  const QString all = recent.join('|');
  for (const char* name : {"plain.bin", "loaded.bin", "tuned.bin"})
    EXPECT_TRUE(all.contains(name)) << all.toStdString();
}

TEST_F(TunedImageTest, ASumOnlyTheSearchFoundIsCorrectedOnlyWhenTheUserAgrees) {
  // Nothing named or configured: the checksum is searched for.
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fCRCKind = TChecksumKind::None;
  op.fStartDataAreaAddress = op.fEndDataAreaAddress = op.fCRCAddress = 0;
  SaveProfile(op, TempPath("auto.prf"));
  AnswerInTurn({File(TempPath("auto.prf"))});
  MainAction("N6")->trigger();
  // The demo with a calibration area's sum the search finds, at no fixed place.
  TChecksumScheme cal;
  cal.kind = TChecksumKind::Sum16BE;
  cal.ranges = {{0x6800, 0x79FF}};
  cal.place = 0x7A00;
  std::vector<uint8_t> image = demo;
  StoreScheme(image, cal);
  Write("searched.bin", image);
  LoadImage("searched.bin");
  EXPECT_EQ(ChecksumText(), "КС: верна (поиск: 16 бит, 6800-79FF -> 7A00)");
  EditFuelCell(4, 5, "1,23");

  // Declined: its two bytes stay as loaded, the edit is written.
  const auto answer = [](const char* button, QString* text) {
    return [=](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->objectName(), "SearchedChecksumQuestion");
      *text = box->text();
      if (button) {
        box->findChild<QPushButton*>(button)->click();
      } else {
        box->defaultButton()->click();
      }
    };
  };
  QString asked;
  AnswerInTurn({answer("btnLeaveSearched", &asked), File(TempPath("left.bin"))});
  MainAction("actSaveTunedBin")->trigger();
  EXPECT_TRUE(asked.contains("6800-79FF")) << asked.toStdString();
  EXPECT_TRUE(asked.contains("7A00-7A01")) << asked.toStdString();
  const std::vector<uint8_t> left = Read("left.bin");
  ASSERT_EQ(left.size(), image.size());
  EXPECT_NE(left, image);
  EXPECT_EQ(left[0x7A00], image[0x7A00]);
  EXPECT_EQ(left[0x7A01], image[0x7A01]);
  EXPECT_FALSE(SchemeHolds(left, cal));

  // The default answer corrects it.
  AnswerInTurn({answer(nullptr, &asked), File(TempPath("corrected.bin"))});
  MainAction("actSaveTunedBin")->trigger();
  const std::vector<uint8_t> corrected = Read("corrected.bin");
  ASSERT_EQ(corrected.size(), image.size());
  EXPECT_TRUE(SchemeHolds(corrected, cal));
  for (size_t i = 0; i < corrected.size(); ++i) {
    if (i != 0x7A00 && i != 0x7A01) {
      ASSERT_EQ(corrected[i], left[i]) << i;
    }
  }
}
