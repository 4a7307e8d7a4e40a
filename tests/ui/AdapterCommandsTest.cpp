// The adapter exchanges from the window, against the simulated adapter: the store
// exchange and the save command, reading the image, uploading an image file or the editor's
// image with its changes.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "calibration/CalibrationSession.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "link/ScanUtils.h"
#include "sim/Simulator.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/MapEditors.h"
#include "ui/link/AdapterCommands.h"
#include "ui/link/ComPort.h"
#include "ui/link/LinkPanel.h"
#include "ui/widgets/StringGrid.h"

namespace {
class AdapterCommandsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    TheSimulator()->Reset();
    TheSimulator()->SetImage(MakeDemoImage());
    TAdapterCommands::SetTimings(400, 400, 0);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    TAdapterCommands::SetTimings(5000, 1500, 1);
  }
  void StartWithDevice(const QByteArray& device) {
    QDir().mkpath(TempPath("config/Tarvelo"));
    QFile ini(TempPath("config/Tarvelo/CTESTER.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[COMM]\r\nPORT=0\r\n[DEVICES]\r\nCOM1=" + device + "\r\n");
    ini.close();
    Start(true);
  }
  void Adapter(const SimAdapterSettings& settings) { TheSimulator()->SetAdapterSettings(settings); }
  void LoadDemoImage() {
    const std::vector<uint8_t> image = MakeDemoImage();
    WriteFile("demo.bin", QByteArray(reinterpret_cast<const char*>(image.data()), image.size()));
    AnswerFileDialog(TempPath("demo.bin"));
    MainAction("BIN1")->trigger();
  }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(TempPath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadFile(const QString& name) {
    QFile file(TempPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // The bytes the program put on the simulated wire.
  QByteArray ProgramBytes() {
    QByteArray bytes;
    for (const SimWireByte& b : TheSimulator()->WireLog())
      if (b.fromProgram) bytes.append(static_cast<char>(b.value));
    return bytes;
  }
  // Saves through "&Сохранить"; `warning` receives the warning's text, if one appears.
  void Save(const QString& name, QString* warning) {
    if (warning) {
      AnswerNextModal([=, this](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
          *warning = box->text();
          box->button(QMessageBox::Ok)->click();
          AnswerFileDialog(TempPath(name));
        } else {
          auto* dialog = qobject_cast<QFileDialog*>(modal);
          ASSERT_NE(dialog, nullptr);
          SelectInFileDialog(dialog, TempPath(name));
          static_cast<QDialog*>(dialog)->accept();
        }
      });
    } else {
      AnswerFileDialog(TempPath(name));
    }
    MainAction("N7")->trigger();
  }
  // Answers the upload's file dialog with the file `name`, then the questions that follow
  // in turn with `answers`; their texts go to `texts`.
  void AnswerUpload(const QString& name, const std::vector<QMessageBox::StandardButton>& answers,
                    QStringList* texts = nullptr) {
    const QString path = TempPath(name);
    AnswerNextModal([=](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      SelectInFileDialog(dialog, path);
      AnswerBoxes(answers, texts);
      static_cast<QDialog*>(dialog)->accept();
    });
  }
  static void AnswerBoxes(std::vector<QMessageBox::StandardButton> answers, QStringList* texts) {
    if (answers.empty()) return;
    AnswerNextModal([=](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr) << modal->metaObject()->className();
      EXPECT_EQ(box->windowTitle(), "Внимание!");
      if (texts) *texts << box->text();
      QAbstractButton* button = box->button(answers.front());
      ASSERT_NE(button, nullptr);
      AnswerBoxes({answers.begin() + 1, answers.end()}, texts);
      button->click();
    });
  }
  // Whether connect, save, read and upload can be used now.
  std::vector<bool> LineCommands() {
    return {Find<QToolButton>("sbConnect")->isEnabled(), MainAction("N7")->isEnabled(),
            MainAction("N8")->isEnabled(), MainAction("N16")->isEnabled()};
  }
  TAdapterCommands& Cmd() { return MainAdapter(); }
};

const std::vector<bool> kAllEnabled{true, true, true, true};
const std::vector<bool> kAllDisabled{false, false, false, false};
}  // namespace

TEST_F(AdapterCommandsTest, PortNameShowsTheSimulator) {
  StartWithDevice("sim");
  EXPECT_EQ(Find<QLabel>("Label16")->text(), "COM1 (симулятор)");
}

TEST_F(AdapterCommandsTest, StoreAnsweredSavesWithoutWarning) {
  StartWithDevice("sim");
  LoadDemoImage();
  TheSimulator()->SetWireLogging(true);
  QString warning;
  Save("a.dme", &warning);
  EXPECT_TRUE(warning.isEmpty());
  EXPECT_EQ(ReadFile("a.dme").size(), 1172);
  EXPECT_EQ(TheSimulator()->StoreCommands(), 1);
  EXPECT_EQ(ProgramBytes(), QByteArray("sok\r"));
  // Saving again without an edit writes the same bytes.
  Save("b.dme", nullptr);
  EXPECT_EQ(ReadFile("a.dme"), ReadFile("b.dme"));
}

TEST_F(AdapterCommandsTest, WrongStoreAnswerWarnsAndStillSaves) {
  SimAdapterSettings settings;
  settings.storeAnswer = 0x8D;
  Adapter(settings);
  StartWithDevice("sim");
  LoadDemoImage();
  TheSimulator()->SetWireLogging(true);
  QString warning;
  Save("c.dme", &warning);
  EXPECT_EQ(warning, "Нет связи с DME, изменения будут сохранены только в файле.");
  EXPECT_EQ(ReadFile("c.dme").size(), 1172);
  EXPECT_EQ(ProgramBytes(), QByteArray("sok\r"));
}

TEST_F(AdapterCommandsTest, NoDeviceAtAllWarnsAndStillSaves) {
  StartWithDevice(TempPath("no-such-device").toLocal8Bit());
  LoadDemoImage();
  QString warning;
  Save("d.dme", &warning);
  EXPECT_EQ(warning, "Нет связи с DME, изменения будут сохранены только в файле.");
  EXPECT_EQ(ReadFile("d.dme").size(), 1172);
}

TEST_F(AdapterCommandsTest, SaveDoesNothingBeforeTablesAreLoaded) {
  StartWithDevice("sim");
  MainAction("N7")->setEnabled(true);
  MainAction("N7")->trigger();
  Pump(50);
  EXPECT_EQ(TheSimulator()->StoreCommands(), 0);
}

TEST_F(AdapterCommandsTest, ReadTakesTheImageWithoutItsFirstCharacter) {
  StartWithDevice("sim");
  MainAction("N8")->setEnabled(true);
  MainAction("N8")->trigger();
  EXPECT_EQ(MainEfi().fImage, MakeDemoImage());
  EXPECT_TRUE(MainSession().Loaded());
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Загрузка завешена!");
  EXPECT_FALSE(Find<QWidget>("sbStop")->isVisible());
  // Reading does not enable the save command.
  EXPECT_FALSE(MainAction("N7")->isEnabled());
}

TEST_F(AdapterCommandsTest, ShortStreamIsAnErrorAndLeavesTheImage) {
  SimAdapterSettings settings;
  settings.streamLength = 32768;
  Adapter(settings);
  StartWithDevice("sim");
  QString text;
  AnswerMessageBox(QMessageBox::Ok, &text);
  MainAdapter().N8Click();
  EXPECT_EQ(text, "Ошибка передачи данных из DME");
  EXPECT_TRUE(MainEfi().fImage.empty());
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Загрузка завешена!");
}

TEST_F(AdapterCommandsTest, LongQuietStreamLoadsNothingAndSaysNothing) {
  SimAdapterSettings settings;
  settings.streamLength = 524289;
  Adapter(settings);
  StartWithDevice("sim");
  bool asked = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout,
                   [&] { asked = asked || QApplication::activeModalWidget(); });
  probe.start(5);
  MainAdapter().N8Click();
  EXPECT_FALSE(asked);
  EXPECT_TRUE(MainEfi().fImage.empty());
}

TEST_F(AdapterCommandsTest, SilentAdapterEndsAfterTheBoundAndStopCancels) {
  SimAdapterSettings settings;
  settings.streamLength = 0;
  settings.ctsChanges = 0;
  Adapter(settings);
  StartWithDevice("sim");
  QString text;
  AnswerMessageBox(QMessageBox::Ok, &text);
  MainAdapter().N8Click();
  EXPECT_EQ(text, "Ошибка передачи данных из DME");
  // The stop button ends the wait the same way, long before the bound.
  TAdapterCommands::SetTimings(60000, 400, 0);
  QTimer::singleShot(100, [] { Find<QToolButton>("sbStop")->click(); });
  text.clear();
  QTimer::singleShot(120, [&] { AnswerMessageBox(QMessageBox::Ok, &text); });
  QElapsedTimer timer;
  timer.start();
  MainAdapter().N8Click();
  EXPECT_LT(timer.elapsed(), 5000);
  EXPECT_EQ(text, "Ошибка передачи данных из DME");
}

TEST_F(AdapterCommandsTest, UploadSendsTheHandshakeAndEveryByte) {
  StartWithDevice("sim");
  std::vector<uint8_t> image = MakeDemoImage();
  WriteFile("up.bin", QByteArray(reinterpret_cast<const char*>(image.data()), image.size()));
  auto* progress = Find<QProgressBar>("pgLoadTo");
  int highest = -1;
  QObject::connect(progress, &QProgressBar::valueChanged,
                   [&](int v) { highest = std::max(highest, v); });
  AnswerUpload("up.bin", {QMessageBox::Yes});
  MainAdapter().N16Click();
  EXPECT_EQ(progress->maximum(), 32768);
  EXPECT_EQ(highest, 32768);
  std::vector<uint8_t> expected(image.size() + 2);
  expected[0] = 0x6F;
  expected[1] = 0x6B;
  std::copy(image.begin(), image.end(), expected.begin() + 2);
  ASSERT_TRUE(
      PumpUntil([&] { return TheSimulator()->Uploaded().size() >= expected.size(); }, 5000));
  EXPECT_EQ(TheSimulator()->Uploaded(), expected);
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Нет соединения!");
}

TEST_F(AdapterCommandsTest, UploadRefusedByTheAdapterSendsNoData) {
  SimAdapterSettings settings;
  settings.uploadAnswer = 0x8E;
  Adapter(settings);
  StartWithDevice("sim");
  WriteFile("up.bin", QByteArray(100, '\x42'));
  TheSimulator()->SetWireLogging(true);
  QStringList texts;
  AnswerUpload("up.bin", {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok}, &texts);
  MainAdapter().N16Click();
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[2], "Ошибка передачи данных в DME");
  EXPECT_EQ(ProgramBytes(), QByteArray("\x70", 1));
}

TEST_F(AdapterCommandsTest, EmptyFileClosesTheLineAfterTheHandshake) {
  StartWithDevice("sim");
  WriteFile("empty.bin", QByteArray());
  AnswerUpload("empty.bin", {QMessageBox::Yes, QMessageBox::Yes});
  MainAdapter().N16Click();
  ASSERT_TRUE(PumpUntil([] { return TheSimulator()->Uploaded().size() >= 2; }, 3000));
  EXPECT_EQ(TheSimulator()->Uploaded(), (std::vector<uint8_t>{0x6F, 0x6B}));
  EXPECT_TRUE(PumpUntil([] { return TheSimulator()->OpenDevices() == 0; }, 3000));
}

TEST_F(AdapterCommandsTest, StopEndsTheUpload) {
  TAdapterCommands::SetTimings(400, 400, 1);
  StartWithDevice("sim");
  WriteFile("up.bin", QByteArray(32768, '\x11'));
  AnswerUpload("up.bin", {QMessageBox::Yes});
  QTimer::singleShot(400, [] { Find<QToolButton>("sbStop")->click(); });
  MainAdapter().N16Click();
  Pump(50);
  EXPECT_LT(TheSimulator()->Uploaded().size(), 32770u);
  EXPECT_FALSE(Find<QWidget>("sbStop")->isVisible());
}

TEST_F(AdapterCommandsTest, UploadWaitsForTheDiagnosticConnectionToEnd) {
  ScanUtils::SetWakeTiming(250, 50);
  TLinkPanel::SetRestMs(20);
  SimUnitSettings unit;
  unit.wakeBitMs = 50;
  TheSimulator()->SetUnitSettings(unit);
  StartWithDevice("sim");
  Find<QToolButton>("sbConnect")->click();
  ASSERT_TRUE(PumpUntil([] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  QString text, title;
  AnswerMessageBox(QMessageBox::Ok, &text, &title);
  MainAdapter().N16Click();
  EXPECT_EQ(title, "Внимание!");
  EXPECT_TRUE(text.startsWith("Идёт диагностический сеанс"));
  EXPECT_TRUE(MainLink().Connected());
  MainLink().EndConnection();
  ScanUtils::SetWakeTiming(1000, 200);
  TLinkPanel::SetRestMs(2000);
}

TEST_F(AdapterCommandsTest, ReadEditSaveEndToEnd) {
  StartWithDevice("sim");
  MainAdapter().N8Click();
  ASSERT_TRUE(MainSession().Loaded());
  MainAction("N7")->setEnabled(true);
  TStringGrid* fuel = MapWidgets().sgFuelMain;
  fuel->SetCell(3, 4, "1.23");
  QLocale::setDefault(QLocale::c());
  Save("edit.dme", nullptr);
  const QByteArray saved = ReadFile("edit.dme");
  ASSERT_EQ(saved.size(), 1172);
  // Part-load fuel map, low part: 10 + 1 + 32 + 120 + 222 bytes in, 16 RPM codes, 0xFF 0xFF,
  // 12 load codes, then values column by column. Grid (3, 4) is table row 9, column 3.
  const int values = 10 + 1 + 32 + 120 + 222 + 16 + 2 + 12;
  const int index = values + (3 - 1) * 12 + (9 - 1);
  EXPECT_EQ(static_cast<uint8_t>(saved[index]), 128 + 31);  // (1.23 - 1) / 0.0075 = 30.67 -> 31
}

TEST_F(AdapterCommandsTest, UploadAsksFirstNamingTheFileItsSizeAndVersion) {
  StartWithDevice("sim");
  TheSimulator()->SetWireLogging(true);
  const std::vector<uint8_t> image = MakeDemoImage();
  WriteFile("up.bin", QByteArray(reinterpret_cast<const char*>(image.data()), image.size()));
  QStringList texts;
  AnswerUpload("up.bin", {QMessageBox::No}, &texts);
  MainAdapter().N16Click();
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(texts[0].contains("up.bin")) << texts[0].toStdString();
  EXPECT_TRUE(texts[0].contains("32768 байт")) << texts[0].toStdString();
  EXPECT_TRUE(texts[0].contains(kDemoVersionText)) << texts[0].toStdString();
  Pump(50);
  EXPECT_TRUE(ProgramBytes().isEmpty());
  EXPECT_EQ(TheSimulator()->OpenDevices(), 0);
  EXPECT_FALSE(Find<QWidget>("pgLoadTo")->isVisible());
}

TEST_F(AdapterCommandsTest, AFileThatIsNotAnImageNeedsASecondExplicitYes) {
  StartWithDevice("sim");
  LoadDemoImage();
  // A settings file, as a user might pick by mistake.
  MainEfi().SaveSettings(1, TempPath("settings.dme"));
  ASSERT_EQ(ReadFile("settings.dme").size(), 1172);
  TheSimulator()->SetWireLogging(true);
  QStringList texts;
  AnswerUpload("settings.dme", {QMessageBox::Yes, QMessageBox::No}, &texts);
  MainAdapter().N16Click();
  ASSERT_EQ(texts.size(), 2);
  EXPECT_TRUE(texts[0].contains("1172 байт")) << texts[0].toStdString();
  EXPECT_TRUE(texts[1].contains("settings.dme")) << texts[1].toStdString();
  EXPECT_TRUE(texts[1].contains("не похож на прошивку")) << texts[1].toStdString();
  Pump(50);
  EXPECT_TRUE(ProgramBytes().isEmpty());

  // Confirmed twice, it is sent as it is.
  texts.clear();
  AnswerUpload("settings.dme", {QMessageBox::Yes, QMessageBox::Yes}, &texts);
  MainAdapter().N16Click();
  EXPECT_EQ(texts.size(), 2);
  ASSERT_TRUE(PumpUntil([] { return TheSimulator()->Uploaded().size() >= 1174; }, 5000));
  EXPECT_EQ(TheSimulator()->Uploaded().size(), 1174u);
}

TEST_F(AdapterCommandsTest, TheLineCommandsWaitWhileAnUploadRunsAndComeBackAfterStop) {
  TAdapterCommands::SetTimings(400, 400, 1);
  StartWithDevice("sim");
  LoadDemoImage();
  MainAction("N8")->setEnabled(true);
  ASSERT_EQ(LineCommands(), kAllEnabled);
  WriteFile("up.bin", QByteArray(32768, '\x11'));
  AnswerUpload("up.bin", {QMessageBox::Yes});
  std::vector<bool> during;
  QTimer::singleShot(400, [&] {
    during = LineCommands();
    // Nothing starts meanwhile, whichever way it is asked for.
    Find<QToolButton>("sbConnect")->click();
    MainAction("N8")->trigger();
    Cmd().N8Click();
    Find<QToolButton>("sbStop")->click();
  });
  Cmd().N16Click();
  EXPECT_EQ(during, kAllDisabled);
  EXPECT_EQ(LineCommands(), kAllEnabled);
  EXPECT_FALSE(MainLink().Connected());
  EXPECT_FALSE(Find<QToolButton>("sbConnect")->isChecked());
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Нет соединения!");
}

TEST_F(AdapterCommandsTest, TheLineCommandsWaitWhileAReadOrAStoreRuns) {
  StartWithDevice("sim");
  LoadDemoImage();
  MainAction("N8")->setEnabled(true);
  std::vector<bool> during;
  QTimer::singleShot(0, [&] { during = LineCommands(); });
  Cmd().N8Click();
  EXPECT_EQ(during, kAllDisabled);
  EXPECT_EQ(LineCommands(), kAllEnabled);

  // A store exchange that fails: the warning comes while the exchange still holds the port.
  SimAdapterSettings settings;
  settings.storeAnswer = 0x8D;
  Adapter(settings);
  during.clear();
  AnswerNextModal([&](QWidget* modal) {
    during = LineCommands();
    AnswerFileDialog(TempPath("s.dme"));
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
  });
  MainAction("N7")->trigger();
  EXPECT_EQ(during, kAllDisabled);
  EXPECT_EQ(LineCommands(), kAllEnabled);
  EXPECT_EQ(ReadFile("s.dme").size(), 1172);

  // And after a read that fails.
  settings = SimAdapterSettings{};
  settings.streamLength = 100;
  Adapter(settings);
  AnswerMessageBox(QMessageBox::Ok);
  Cmd().N8Click();
  EXPECT_EQ(LineCommands(), kAllEnabled);
}

TEST_F(AdapterCommandsTest, AQuickAdapterLosesNoCharacters) {
  // CTS changes a fraction of a millisecond apart, before the program has read the stream,
  // and the last characters arrive only after the changes.
  SimAdapterSettings settings;
  settings.ctsIntervalUs = 200;
  settings.ctsAfterDrain = false;
  settings.lateChars = 300;
  settings.lateDelayMs = 10;
  Adapter(settings);
  StartWithDevice("sim");
  bool warned = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      warned = true;
      box->button(QMessageBox::Ok)->click();
    }
  });
  probe.start(5);
  Cmd().N8Click();
  EXPECT_FALSE(warned);
  EXPECT_EQ(MainEfi().fImage, MakeDemoImage());
}

TEST_F(AdapterCommandsTest, UploadOffersTheEditedImageWithItsChecksumCorrected) {
  StartWithDevice("sim");
  LoadDemoImage();
  // Without changes only a file is offered (the file dialog comes first; cancelled here).
  AnswerFileDialog(QString());
  MainAdapter().N16Click();
  EXPECT_TRUE(TheSimulator()->Uploaded().empty());

  MapWidgets().sgFuelMain->SetCell(3, 4, QLocale().toString(1.23));
  // Cancel (the default) uploads nothing; No goes on to the file as before.
  AnswerNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "EditedImageQuestion");
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              box->button(QMessageBox::Cancel));
    box->button(QMessageBox::Cancel)->click();
  });
  MainAdapter().N16Click();
  QString text;
  AnswerNextModal([&text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    text = box->text();
    AnswerFileDialog(QString());
    box->button(QMessageBox::No)->click();
  });
  MainAdapter().N16Click();
  EXPECT_TRUE(text.startsWith("Загрузить изменённую прошивку из редактора?")) << text.toStdString();
  Pump(50);
  EXPECT_TRUE(TheSimulator()->Uploaded().empty());

  // Yes: the loaded image with the edit, its checksum right.
  AnswerBoxes({QMessageBox::Yes}, nullptr);
  MainAdapter().N16Click();
  ASSERT_TRUE(PumpUntil([] { return TheSimulator()->Uploaded().size() >= 32770u; }, 5000));
  const std::vector<uint8_t> uploaded = TheSimulator()->Uploaded();
  const std::vector<uint8_t> sent(uploaded.begin() + 2, uploaded.end());
  const std::vector<uint8_t> demo = MakeDemoImage();
  ASSERT_EQ(sent.size(), demo.size());
  EXPECT_NE(sent, demo);
  const TChecksumStatus status = CheckChecksum(sent, MainEfi());
  EXPECT_EQ(status.kind, TChecksumKind::Sum16BE);
  EXPECT_TRUE(status.valid);
}

TEST_F(AdapterCommandsTest, UploadOfATunedImageWhoseAxisDoesNotRiseAsksFirst) {
  StartWithDevice("sim");
  // Two equal RPM breakpoints of the part-load fuel map (a gap code of 0), a right checksum.
  std::vector<uint8_t> image = MakeDemoImage();
  TEFIOperator& efi = MainEfi();
  image[static_cast<size_t>(efi.fStartMainFuelTableAddress_Lo + 2)] = 0;
  StoreChecksum(image, efi, efi.fCRCKind);
  WriteFile("flat.bin", QByteArray(reinterpret_cast<const char*>(image.data()),
                                   static_cast<qsizetype>(image.size())));
  AnswerFileDialog(TempPath("flat.bin"));
  MainAction("BIN1")->trigger();
  MapWidgets().sgFuelMain->SetCell(3, 4, QLocale().toString(1.23));
  QString text;
  AnswerNextModal([&text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "EditedImageQuestion");
    AnswerNextModal([&text](QWidget* next) {
      auto* question = qobject_cast<QMessageBox*>(next);
      ASSERT_NE(question, nullptr);
      EXPECT_EQ(question->objectName(), "AxisOrderQuestion");
      EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()),
                question->button(QMessageBox::No));
      text = question->text();
      question->button(QMessageBox::No)->click();
    });
    box->button(QMessageBox::Yes)->click();
  });
  MainAdapter().N16Click();
  Pump(50);
  EXPECT_TRUE(text.contains("fFuelMainMatrix")) << text.toStdString();
  EXPECT_TRUE(TheSimulator()->Uploaded().empty());
}
