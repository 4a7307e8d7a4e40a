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
#include "support/MainWindowParts.h"
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
    MainAction("BIN1")->trigger();
  }
};
}  // namespace

TEST_F(FileCommandsTest, ImageFileFillsEveryPage) {
  LoadImage("demo.bin");
  const TMapWidgets maps = MapWidgets();
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "demo.bin");
  EXPECT_TRUE(MainSession().Loaded());
  EXPECT_TRUE(MainAction("N7")->isEnabled());
  EXPECT_TRUE(MainAction("N9")->isEnabled());
  EXPECT_EQ(Find<QLabel>("lVersion")->text(), MainEfi().fVersionText);
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
  MainAction("BIN1")->trigger();
  EXPECT_EQ(error, "Read beyond end of file");
  EXPECT_EQ(title, "Tarvelo");
  EXPECT_EQ(Find<QLabel>("lBinFName")->text(), "short.bin");
  EXPECT_FALSE(MainAction("N7")->isEnabled());
  EXPECT_FALSE(MainSession().Loaded());
}

TEST_F(FileCommandsTest, ImageIsSavedByteForByte) {
  LoadImage("demo.bin");
  AnswerFileDialog(TempPath("copy.bin"));
  MainAction("N9")->trigger();
  EXPECT_EQ(Read("copy.bin"), Read("demo.bin"));
}

TEST_F(FileCommandsTest, SettingsFileRightAfterTheModelChoiceAdoptsItsVersion) {
  LoadImage("demo.bin");
  TEFIOperator& efi = MainEfi();
  const QString version = efi.fVersionText;
  efi.SaveSettings(1, TempPath("a.dme"));
  EndProgram();
  fStarted = false;
  Start(true);
  AnswerFileDialog(TempPath("a.dme"));
  MainAction("N17")->trigger();
  EXPECT_EQ(MainEfi().fVersionText, version);
  EXPECT_EQ(MainEfi().fImage, std::vector<uint8_t>(10, 0));
  EXPECT_TRUE(MainSession().Loaded());
  EXPECT_TRUE(MainAction("N7")->isEnabled());
  EXPECT_FALSE(MainAction("N9")->isEnabled());
  EXPECT_EQ(MapWidgets().sgrdIgnXX->Cell(7, 0), "1600");
}

TEST_F(FileCommandsTest, SettingsOfAnotherVersionAskFirst) {
  LoadImage("demo.bin");
  TEFIOperator& efi = MainEfi();
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
  MainAction("N17")->trigger();
  EXPECT_EQ(question,
            "Загружаемые данные не соответствуют текущей версии прошивки! Продолжить загрузку?");
  EXPECT_EQ(efi.fImage.size(), 32768u);
  // Yes: the tables are loaded, the version text stays.
  AnswerFileDialog(TempPath("b.dme"));
  QTimer::singleShot(0, [&] { AnswerMessageBox(QMessageBox::Yes); });
  MainAction("N17")->trigger();
  EXPECT_EQ(efi.fVersionText, version);
  EXPECT_EQ(efi.fImage.size(), 10u);
  EXPECT_TRUE(MainAction("N7")->isEnabled());
}
