// The file commands as a user meets them: an image file into the grids, the image back
// out, a settings file with the version question.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>

#include "calibration/CalibrationSession.h"
#include "image/DemoImage.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
class FileCommandsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start(true);
    const std::vector<uint8_t> image = MakeDemoImage();
    Write("demo.bin", QByteArray(reinterpret_cast<const char*>(image.data()), image.size()));
  }
  void Write(const QString& name, const QByteArray& bytes) {
    QFile file(TempPath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const QString& name) {
    QFile file(TempPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void LoadImage(const QString& name) {
    AnswerFileDialog(TempPath(name));
    frmMain->BIN1->trigger();
  }
};
}  // namespace

TEST_F(FileCommandsTest, ImageFileFillsEveryPage) {
  LoadImage("demo.bin");
  TMapEditors& maps = frmMain->Maps();
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "demo.bin");
  EXPECT_TRUE(frmMain->Session().Loaded());
  EXPECT_TRUE(frmMain->N7->isEnabled());
  EXPECT_TRUE(frmMain->N9->isEnabled());
  EXPECT_EQ(Find<QLabel>("lVersion")->text(), frmMain->EFI().fVersionText);
  EXPECT_FALSE(maps.sgFuelMain->Cell(5, 5).isEmpty());
  // The idle ignition of the demo image: 600 ... 1600 rpm at 20 degrees.
  EXPECT_EQ(maps.sgrdIgnXX->Cell(0, 0), "600");
  EXPECT_EQ(maps.sgrdIgnXX->Cell(7, 0), "1600");
  EXPECT_EQ(maps.sgrdIgnXX->Cell(3, 1), "20");
  EXPECT_EQ(maps.seMaxRMP->value(), 6500);
}

TEST_F(FileCommandsTest, ShortImageFileStopsWithTheReadError) {
  Write("short.bin", QByteArray(100, '\x01'));
  QString error, title;
  AnswerFileDialog(TempPath("short.bin"));
  QTimer::singleShot(0, [&] { AnswerMessageBox(QMessageBox::Ok, &error, &title); });
  frmMain->BIN1->trigger();
  EXPECT_EQ(error, "Read beyond end of file");
  EXPECT_EQ(title, "Tarvelo");
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "short.bin");
  EXPECT_FALSE(frmMain->N7->isEnabled());
  EXPECT_FALSE(frmMain->Session().Loaded());
}

TEST_F(FileCommandsTest, ImageIsSavedByteForByte) {
  LoadImage("demo.bin");
  AnswerFileDialog(TempPath("copy.bin"));
  frmMain->N9->trigger();
  EXPECT_EQ(Read("copy.bin"), Read("demo.bin"));
}

TEST_F(FileCommandsTest, SettingsFileRightAfterTheModelChoiceAdoptsItsVersion) {
  LoadImage("demo.bin");
  TEFIOperator& efi = frmMain->EFI();
  const QString version = efi.fVersionText;
  efi.SaveSettings(1, TempPath("a.dme"));
  EndProgram();
  fStarted = false;
  Start(true);
  AnswerFileDialog(TempPath("a.dme"));
  frmMain->N17->trigger();
  EXPECT_EQ(frmMain->EFI().fVersionText, version);
  EXPECT_EQ(frmMain->EFI().fImage, std::vector<uint8_t>(10, 0));
  EXPECT_TRUE(frmMain->Session().Loaded());
  EXPECT_TRUE(frmMain->N7->isEnabled());
  EXPECT_FALSE(frmMain->N9->isEnabled());
  EXPECT_EQ(frmMain->Maps().sgrdIgnXX->Cell(7, 0), "1600");
}

TEST_F(FileCommandsTest, SettingsOfAnotherVersionAskFirst) {
  LoadImage("demo.bin");
  TEFIOperator& efi = frmMain->EFI();
  const QString version = efi.fVersionText;
  QByteArray other;
  {
    efi.SaveSettings(1, TempPath("b.dme"));
    other = Read("b.dme");
    other[0] = static_cast<char>((other[0] + 1) % 10);
    Write("b.dme", other);
  }
  LoadImage("demo.bin");
  // No: nothing is loaded, yet the save command is enabled.
  QString question;
  AnswerFileDialog(TempPath("b.dme"));
  QTimer::singleShot(0, [&] { AnswerMessageBox(QMessageBox::No, &question); });
  frmMain->N17->trigger();
  EXPECT_EQ(question,
            "Загружаемые данные не соответствуют текущей версии прошивки! Продолжить загрузку?");
  EXPECT_EQ(efi.fImage.size(), 32768u);
  // Yes: the tables are loaded, the version text stays.
  AnswerFileDialog(TempPath("b.dme"));
  QTimer::singleShot(0, [&] { AnswerMessageBox(QMessageBox::Yes); });
  frmMain->N17->trigger();
  EXPECT_EQ(efi.fVersionText, version);
  EXPECT_EQ(efi.fImage.size(), 10u);
  EXPECT_TRUE(frmMain->N7->isEnabled());
}
