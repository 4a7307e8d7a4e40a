// A full disk under the window: each save that cannot be written shows the error box and
// leaves the earlier file as it was (settings, burnable image, CSV export), and a live log
// that can no longer be written ends the run with a message naming it.
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <csignal>

#include "EditTestSupport.h"
#include "common/SafeFileWrite.h"
#include "support/MainWindowParts.h"
#include "ui/app/MainWindow.h"
#include "ui/telemetry/LiveLoop.h"

namespace {
QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Answers every dialog of a command: file dialogs with `path`, message boxes with OK (or
// Yes), and keeps the text of the last box captioned "Tarvelo", the error box.
class Answers {
 public:
  explicit Answers(const QString& path) {
    QObject::connect(&fTimer, &QTimer::timeout, [this, path] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        SelectInFileDialog(dialog, path);
        // Queued: an overwrite question the accept asks must find this timer free.
        QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (box->windowTitle() == "Tarvelo") error = box->text();
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        (yes ? yes : box->button(QMessageBox::Ok))->click();
      }
    });
    fTimer.start(5);
  }
  QString error;

 private:
  QTimer fTimer;
};

class FullDiskTest : public EditTest {
 protected:
  void TearDown() override {
    FailSafeWritesForTests(-1, 0);
    EditTest::TearDown();
  }
};
}  // namespace

TEST_F(FullDiskTest, AFullDiskKeepsEveryEarlierFileAndShowsTheErrorBox) {
  Select(maps->sgFuelMain, 4, 4);
  Type("1,37");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  Pump(10);
  ASSERT_TRUE(doc->IsModified());
  const struct {
    const char* file;
    std::function<void()> command;
  } saves[] = {
      {"keep.dme", [] { MainAction("N7")->trigger(); }},
      {"keep.bin", [] { MainAction("actSaveTunedBin")->trigger(); }},
      {"keep.csv", [this] { Run("actExportCsv"); }},
  };
  for (const auto& save : saves) {
    SCOPED_TRACE(save.file);
    const QString path = TempPath(save.file);
    Put(path, "good earlier file");
    // The first write fails, as a small buffered write on a full disk does.
    FailSafeWritesForTests(0, ENOSPC);
    Answers answers(path);
    if (QString(save.file).endsWith(".csv")) Select(maps->sgFuelMain, 4, 4);
    save.command();
    Pump(20);
    FailSafeWritesForTests(-1, 0);
    EXPECT_TRUE(answers.error.contains("I/O error 28")) << answers.error.toStdString();
    EXPECT_EQ(Contents(path), "good earlier file");
    EXPECT_EQ(QDir(fTemp.path()).entryList({"*.tmp-*"}, QDir::Files | QDir::Hidden), QStringList());
  }
  // Nothing was saved: the changes are still to be saved.
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(FullDiskTest, ALogThatCanNoLongerBeWrittenEndsTheRunWithAMessage) {
  const QString oldDir = QDir::currentPath();
  QDir::setCurrent(fTemp.path());
  Put(TempPath("demo.dat"), "1;10\r\n2;20\r\n3;30\r\n");
  // The kernel refuses the log past 1000 bytes (about ten records), as a full disk would.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const QString log = TempPath("full.txt");
  Answers answers(log);
  auto* button = Find<QToolButton>("sbWriteLog");
  // Released after 10 s should the run go on regardless.
  QTimer::singleShot(10000, button, [button] {
    if (frmMain && MainLive().Mark.LiveLoopActive == 1 && button->isChecked()) button->click();
  });
  button->click();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  QDir::setCurrent(oldDir);
  EXPECT_TRUE(answers.error.contains("full.txt")) << answers.error.toStdString();
  EXPECT_TRUE(answers.error.contains("I/O error 27")) << answers.error.toStdString();
  // The lines written before stay.
  EXPECT_GE(Contents(log).count('\n'), 5);
  EXPECT_LE(Contents(log).size(), 1000);
  if (button->isChecked()) button->click();
}
