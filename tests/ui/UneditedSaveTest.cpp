// Saving a calibration nobody edited gives back what was loaded: the settings file the
// codec writes for the image and the burnable image byte for byte, also for images whose
// values lie outside the editors' limits (random images that hold every code).
#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <random>

#include "support/MainWindowParts.h"
#include "support/RandomImage.h"
#include "support/UiTestHelpers.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"

namespace {
std::vector<uint8_t> ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

void WriteAll(const QString& path, const std::vector<uint8_t>& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// A random image in which every run of 256 bytes holds every code once, so that each large
// table holds every code and the small ones many, far outside the editors' limits.
std::vector<uint8_t> EveryCodeImage(std::mt19937& rng, const TEFIOperator& op) {
  std::vector<uint8_t> image = RandomImage(rng, op);
  std::vector<uint8_t> codes(256);
  for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>(i);
  for (size_t start = 0; start < image.size(); start += codes.size()) {
    std::shuffle(codes.begin(), codes.end(), rng);
    std::copy(codes.begin(), codes.end(), image.begin() + static_cast<std::ptrdiff_t>(start));
  }
  // The version digits and the older units' rev limiter code as RandomImage makes them.
  const std::vector<uint8_t> fixed = RandomImage(rng, op);
  for (int i = 0; i < 10; ++i) {
    const auto at = static_cast<size_t>(op.fVersionAddress + i);
    image[at] = fixed[at];
  }
  auto& rev = image[static_cast<size_t>(op.fMaxRPMAddress1)];
  if (rev == 0) rev = 1;
  return image;
}

// Answers every dialog while a command runs: message boxes with Yes or OK, file dialogs
// with `path`.
class AnswerEverything {
 public:
  explicit AnswerEverything(const QString& path) {
    QObject::connect(&fTimer, &QTimer::timeout, [path] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        (yes ? yes : box->button(QMessageBox::Ok))->click();
      } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        SelectInFileDialog(dialog, path);
        // Queued: an overwrite question the accept asks must find this timer free.
        QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
      }
    });
    fTimer.start(5);
  }

 private:
  QTimer fTimer;
};

class UneditedSaveTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start(true);
  }
  // Loads `image` through the menu, saves settings and the burnable image without an edit.
  void LoadAndSave(const std::vector<uint8_t>& image) {
    WriteAll(TempPath("random.bin"), image);
    {
      const AnswerEverything answers(TempPath("random.bin"));
      MainAction("BIN1")->trigger();
    }
    ASSERT_EQ(MainEfi().fImage, image);
    {
      const AnswerEverything answers(TempPath("unedited.dme"));
      MainAction("N7")->trigger();
    }
    {
      const AnswerEverything answers(TempPath("unedited.bin"));
      MainAction("actSaveTunedBin")->trigger();
    }
  }
  // The settings file the codec writes for `image` under the window's configuration, as
  // `tarvelo-cli bin2dme` writes it.
  std::vector<uint8_t> CodecSettings(const std::vector<uint8_t>& image) {
    TEFIOperator op(false);
    static_cast<TModelConfig&>(op) = MainEfi();
    op.fImage = image;
    op.DecodeImage();
    op.SaveSettings(1, TempPath("codec.dme"));
    return ReadAll(TempPath("codec.dme"));
  }
  void ExpectUneditedSavesGiveBackTheLoadedCalibration(int seed) {
    std::mt19937 rng(static_cast<unsigned>(seed));
    for (int n = 0; n < 3; ++n) {
      SCOPED_TRACE(n);
      const std::vector<uint8_t> image = EveryCodeImage(rng, MainEfi());
      LoadAndSave(image);
      const std::vector<uint8_t> settings = ReadAll(TempPath("unedited.dme"));
      ASSERT_FALSE(settings.empty());
      EXPECT_EQ(settings, CodecSettings(image));
      const std::vector<uint8_t> burnable = ReadAll(TempPath("unedited.bin"));
      ASSERT_EQ(burnable.size(), image.size());
      size_t changed = 0;
      for (size_t i = 0; i < image.size(); ++i) changed += burnable[i] != image[i];
      EXPECT_EQ(changed, 0u);
    }
  }
};
}  // namespace

TEST_F(UneditedSaveTest, SavingAnUneditedCalibrationOutsideTheEditorLimitsChangesNoValue) {
  ASSERT_EQ(MainEfi().fVersion, 2);
  ExpectUneditedSavesGiveBackTheLoadedCalibration(24);
}

TEST_F(UneditedSaveTest, SavingAnUneditedOlderCalibrationChangesNoValue) {
  QTemporaryDir dir;
  MainEfi().LoadProfile(dir.filePath("none.prf"));
  ASSERT_EQ(MainEfi().fVersion, 1);
  ExpectUneditedSavesGiveBackTheLoadedCalibration(25);
}
